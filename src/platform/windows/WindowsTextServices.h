#pragma once

#include "platform/TextServices.h"

namespace quillfen::platform {

// Engine text is UTF-8 (WTF-8 for names that are not valid UTF-16). The 8-bit form is the system's
// legacy ANSI code page, that of the system default locale: a process that runs with the UTF-8
// code page still searches and stores 8-bit text the way older versions wrote it.
class WindowsTextServices final : public TextServices {
public:
    // The system's ANSI code page.
    WindowsTextServices();
    // A given code page, for a system other than the one running.
    explicit WindowsTextServices(unsigned codePage);

    std::string foldCase(std::string_view text) const override;
    void foldCaseInto(std::string_view text, std::string& folded) const override;
    std::u16string toUtf16(std::string_view text) const override;
    std::string fromUtf16(std::u16string_view text) const override;
    unsigned ansiCodePage() const override { return codePage_; }
    std::optional<std::string> toAnsiCodePage(std::string_view text) const override;
    std::string fromAnsiCodePage(std::string_view bytes) const override;
    bool hasLegacyCodePage() const override { return true; }
    bool knowsCodePage(unsigned codePage) const override;
    std::optional<std::string> toCodePage(std::string_view text, unsigned codePage) const override;
    std::optional<std::string> fromCodePage(std::string_view bytes,
                                            unsigned codePage) const override;
    bool isLeadByte(unsigned char byte, unsigned codePage) const override;

    // The ANSI code page of the system default locale; the UTF-8 code page for a locale that has
    // none (a Unicode-only language).
    static unsigned systemAnsiCodePage();

private:
    unsigned codePage_;
};

}  // namespace quillfen::platform
