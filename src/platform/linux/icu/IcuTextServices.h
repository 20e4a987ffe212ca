#pragma once

#include "platform/TextServices.h"

namespace quillfen::platform {

// The text services of ICU: the case rules of every character and the conversions into and out
// of the Windows code pages. The 8-bit form is UTF-8, the text as stored.
class IcuTextServices final : public TextServices {
public:
    std::string foldCase(std::string_view text) const override;
    void foldCaseInto(std::string_view text, std::string& folded) const override;
    std::u16string toUtf16(std::string_view text) const override;
    std::string fromUtf16(std::u16string_view text) const override;
    unsigned ansiCodePage() const override { return kUtf8CodePage; }
    std::optional<std::string> toAnsiCodePage(std::string_view text) const override {
        return std::string(text);
    }
    std::string fromAnsiCodePage(std::string_view bytes) const override {
        return std::string(bytes);
    }
    bool hasLegacyCodePage() const override { return false; }
    bool knowsCodePage(unsigned codePage) const override;
    std::optional<std::string> toCodePage(std::string_view text, unsigned codePage) const override;
    std::optional<std::string> fromCodePage(std::string_view bytes,
                                            unsigned codePage) const override;
    bool isLeadByte(unsigned char byte, unsigned codePage) const override;
};

}  // namespace quillfen::platform
