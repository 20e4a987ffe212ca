#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextServices.h"

namespace quillfen {

// One ini file held in memory with the observable rules of the Windows private-profile functions:
// section and key names compare without regard to case and to surrounding white space, a value is
// read without surrounding white space (and without one pair of enclosing quotes), a changed key
// keeps its line's place, a new key goes to the end of its section and a new section to the end of
// the file. Every line the document does not change is written back byte for byte, in the file's
// own form: 8-bit, or UTF-16LE with or without a byte-order mark. An 8-bit file is in the system's
// 8-bit code page, unless a UTF-8 byte-order mark in front says it is UTF-8; the mark is kept and
// is not part of its first line. A value that the 8-bit code page cannot hold turns the file into
// UTF-16LE with a byte-order mark, so that no text is lost.
class IniDocument {
public:
    enum class Encoding { EightBit, Utf16le, Utf16leWithBom };

    // Longest value a read returns, in UTF-16 code units (the characters of a code page whose
    // characters are one byte each); longer values are cut.
    static constexpr std::size_t kMaxValueUnits = 32767;

    // Parses a file's bytes. The text services convert 8-bit and UTF-16LE content to engine text.
    IniDocument(std::string_view fileBytes, const platform::TextServices& text);
    // An empty document that serialises in the given form.
    IniDocument(Encoding encoding, const platform::TextServices& text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    Encoding encoding() const { return encoding_; }
    std::string bytes() const;

private:
    struct Line {
        std::string raw;      // the line's bytes in the file's form, terminator included
        std::string text;     // the line as engine text, terminator excluded
        std::string newline;  // the terminator; empty on an unterminated line
    };

    void parseEightBit(std::string_view bytes);
    void parseUtf16(std::string_view bytes);
    bool holdsUtf8() const;
    std::string decodeEightBit(std::string_view bytes) const;
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
    std::size_t sectionEnd(std::size_t sectionLine) const;
    std::size_t lastNonBlankLine(std::size_t sectionLine) const;
    std::optional<std::string> encode(std::string_view text) const;
    void convertToUtf16();
    std::string encodeConverting(std::string_view text);
    Line makeLine(std::string text, std::string newline);
    void insertLine(std::size_t position, std::string text);

    const platform::TextServices& text_;
    Encoding encoding_ = Encoding::EightBit;
    std::string newline_ = "\r\n";
    // The byte-order mark the file starts with, written back in front of the lines.
    std::string mark_;
    std::vector<Line> lines_;
    // Half a UTF-16 code unit at the end of the file; it stays the file's last byte.
    std::string oddTrailingByte_;
};

}  // namespace quillfen
