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

    // Whether 8-bit files written on this system are in ansiCodePage(). Where they are not (the
    // 8-bit form is UTF-8 and the system has no legacy code page), text that came from Windows is
    // searched in a code page chosen for the program's language.
    virtual bool hasLegacyCodePage() const = 0;
    // Any code page by its Windows number, for searching text written on another system.
    virtual bool knowsCodePage(unsigned codePage) const = 0;
    // The text in the code page; nothing when the code page is unknown or lacks one of its
    // characters.
    virtual std::optional<std::string> toCodePage(std::string_view text,
                                                  unsigned codePage) const = 0;
    // Bytes read in the code page, as engine text; nothing when they do not form whole characters
    // of it.
    virtual std::optional<std::string> fromCodePage(std::string_view bytes,
                                                    unsigned codePage) const = 0;
    // Whether the byte starts a character of two bytes in the code page.
    virtual bool isLeadByte(unsigned char byte, unsigned codePage) const = 0;
};

}  // namespace quillfen::platform
