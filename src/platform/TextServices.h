#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// Conversions and case rules of the system's 8-bit text encoding.
class TextServices {
public:
    virtual ~TextServices() = default;

    // Lower-cases text for case-insensitive comparison. Pattern texts and names pass through the
    // same function, so the result only has to be consistent, not reversible; bytes that do not
    // form a character of the encoding are kept as they are.
    virtual std::string foldCase(std::string_view text) const = 0;
    // The same into a string the caller keeps, so that folding name after name reuses one buffer.
    virtual void foldCaseInto(std::string_view text, std::string& folded) const = 0;
    virtual std::u16string toUtf16(std::string_view text) const = 0;
    virtual std::string fromUtf16(std::u16string_view text) const = 0;
};

}  // namespace quillfen::platform
