#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillfen::platform {

// Conversions and case rules of engine text, and of the system's 8-bit ("ANSI") code page in which
// content is searched and older settings and language files are written.
class TextServices {
public:
    // The code page number that says "the 8-bit form is UTF-8 itself".
    static constexpr unsigned kUtf8CodePage = 65001;

    virtual ~TextServices() = default;

    // Lower-cases text for case-insensitive comparison. Pattern texts and names pass through the
    // same function, so the result only has to be consistent, not reversible; bytes that do not
    // form a character of the encoding are kept as they are.
    virtual std::string foldCase(std::string_view text) const = 0;
    // The same into a string the caller keeps, so that folding name after name reuses one buffer.
    virtual void foldCaseInto(std::string_view text, std::string& folded) const = 0;
    virtual std::u16string toUtf16(std::string_view text) const = 0;
    virtual std::string fromUtf16(std::u16string_view text) const = 0;

    // The Windows code page number of the 8-bit form (1252, 936, ...; kUtf8CodePage when the
    // 8-bit form is the engine text as it is).
    virtual unsigned ansiCodePage() const = 0;
    // The text in the 8-bit code page; nothing when the code page cannot hold one of its
    // characters, since a stand-in character would stand for text that was never typed.
    virtual std::optional<std::string> toAnsiCodePage(std::string_view text) const = 0;
    // 8-bit bytes read in the code page, as engine text.
    virtual std::string fromAnsiCodePage(std::string_view bytes) const = 0;
};

}  // namespace quillfen::platform
