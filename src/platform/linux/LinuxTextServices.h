#pragma once

#include "platform/TextServices.h"

namespace quillfen::platform {

// The system 8-bit encoding on Linux is UTF-8; case rules come from ICU.
class LinuxTextServices final : public TextServices {
public:
    std::string foldCase(std::string_view text) const override;
    void foldCaseInto(std::string_view text, std::string& folded) const override;
    std::u16string toUtf16(std::string_view text) const override;
    std::string fromUtf16(std::u16string_view text) const override;
};

}  // namespace quillfen::platform
