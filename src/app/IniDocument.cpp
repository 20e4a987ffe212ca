#include "app/IniDocument.h"

#include <utility>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
// Editors that save 8-bit files as UTF-8 may put this mark in front; it belongs to the file's form,
// not to its first line.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct LineSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t terminatorLength = 0;
};

// Splits at "\r\n", "\n" and a lone "\r", the three line ends the private-profile reader accepts.
template <typename Char>
std::vector<LineSpan> lineSpans(std::basic_string_view<Char> units) {
    constexpr Char kReturn = static_cast<Char>('\r');
    constexpr Char kLineFeed = static_cast<Char>('\n');
    std::vector<LineSpan> spans;
    std::size_t start = 0;
    while (start < units.size()) {
        std::size_t end = start;
        while (end < units.size() && units[end] != kReturn && units[end] != kLineFeed) {
            ++end;
        }
        std::size_t terminatorLength = 0;
        if (end < units.size()) {
            const bool crlf =
                units[end] == kReturn && end + 1 < units.size() && units[end + 1] == kLineFeed;
            terminatorLength = crlf ? 2 : 1;
        }
        spans.push_back({start, end - start, terminatorLength});
        start = end + terminatorLength;
    }
    return spans;
}

IniDocument::Encoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf16Mark)) {
        return IniDocument::Encoding::Utf16leWithBom;
    }
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        return IniDocument::Encoding::Utf16le;
    }
    return IniDocument::Encoding::EightBit;
}

std::u16string decodeUtf16le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(low | (high << 8));
    }
    return units;
}

std::string encodeUtf16le(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Line ends are ASCII, so their UTF-16 code units narrow without loss.
std::string narrowLineEnd(std::u16string_view terminator) {
    std::string narrowed;
    for (const char16_t unit : terminator) {
        narrowed.push_back(static_cast<char>(unit));
    }
    return narrowed;
}

bool isBlank(std::string_view line) {
    return trimWhiteSpace(line).empty();
}

// The name runs to the line's last closing bracket, as the private-profile reader reads it; a line
// that opens a bracket without closing it is no header and stays in the section before it.
std::optional<std::string_view> sectionNameOf(std::string_view line) {
    const std::string_view trimmed = trimWhiteSpace(line);
    const std::size_t close = trimmed.rfind(']');
    if (!trimmed.starts_with('[') || close == std::string_view::npos) {
        return std::nullopt;
    }
    return trimWhiteSpace(trimmed.substr(1, close - 1));
}

std::optional<std::string_view> keyOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || trimWhiteSpace(line).starts_with(';')) {
        return std::nullopt;
    }
    return trimWhiteSpace(line.substr(0, equals));
}

std::string_view withoutEnclosingQuotes(std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

// The UTF-16 code units a UTF-8 (WTF-8) lead byte starts: four-byte forms are surrogate pairs.
std::size_t utf16UnitsStartedBy(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) {
        return 0;
    }
    return byte >= 0xF0 ? 2 : 1;
}

// The reader's buffer counts characters, not the bytes of engine text; a character that does not
// fit whole is left out rather than cut in two.
std::string_view cutToReadableLength(std::string_view value) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::size_t started = utf16UnitsStartedBy(static_cast<unsigned char>(value[i]));
        if (units + started > IniDocument::kMaxValueUnits) {
            return value.substr(0, i);
        }
        units += started;
    }
    return value;
}

std::string valueOf(std::string_view keyLine) {
    const std::string_view value = trimWhiteSpace(keyLine.substr(keyLine.find('=') + 1));
    return std::string(cutToReadableLength(withoutEnclosingQuotes(value)));
}

// Names that would not read back as written: the line would end the name early, start a
// comment, or turn into a section header.
bool isWritableSectionName(std::string_view name) {
    return name.find_first_of("]\r\n") == std::string_view::npos;
}

bool isWritableKeyName(std::string_view name) {
    return name.find_first_of("=\r\n") == std::string_view::npos && !name.starts_with(';') &&
           !name.starts_with('[');
}

// A line break would carry the rest of the value onto lines of its own, where it could pose as
// another key; a reader sees only the first line anyway.
std::string_view firstLineOf(std::string_view value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

}  // namespace

IniDocument::IniDocument(std::string_view fileBytes, const platform::TextServices& text)
    : text_(text), encoding_(detectEncoding(fileBytes)) {
    std::string_view body = fileBytes;
    if (encoding_ == Encoding::Utf16leWithBom) {
        mark_ = kUtf16Mark;
    } else if (encoding_ == Encoding::EightBit && body.starts_with(kUtf8Mark)) {
        mark_ = kUtf8Mark;
    }
    body.remove_prefix(mark_.size());
    if (encoding_ == Encoding::EightBit) {
        parseEightBit(body);
    } else {
        if (body.size() % 2 != 0) {
            oddTrailingByte_ = body.substr(body.size() - 1);
            body.remove_suffix(1);
        }
        parseUtf16(body);
    }
    for (const Line& line : lines_) {
        if (!line.newline.empty()) {
            newline_ = line.newline;
            break;
        }
    }
}

IniDocument::IniDocument(Encoding encoding, const platform::TextServices& text)
    : text_(text),
      encoding_(encoding),
      mark_(encoding == Encoding::Utf16leWithBom ? kUtf16Mark : std::string_view()) {}

void IniDocument::parseEightBit(std::string_view bytes) {
    for (const LineSpan& span : lineSpans(bytes)) {
        lines_.push_back(
            {std::string(bytes.substr(span.start, span.length + span.terminatorLength)),
             decodeEightBit(bytes.substr(span.start, span.length)),
             std::string(bytes.substr(span.start + span.length, span.terminatorLength))});
    }
}

// A file marked as UTF-8 holds engine text; any other 8-bit file is in the system's code page, as
// the profile functions write it.
bool IniDocument::holdsUtf8() const {
    return mark_ == kUtf8Mark;
}

std::string IniDocument::decodeEightBit(std::string_view bytes) const {
    return holdsUtf8() ? std::string(bytes) : text_.fromAnsiCodePage(bytes);
}

void IniDocument::parseUtf16(std::string_view bytes) {
    const std::u16string units = decodeUtf16le(bytes);
    const std::u16string_view view = units;
    for (const LineSpan& span : lineSpans(view)) {
        lines_.push_back(
            {std::string(bytes.substr(2 * span.start, 2 * (span.length + span.terminatorLength))),
             text_.fromUtf16(view.substr(span.start, span.length)),
             narrowLineEnd(view.substr(span.start + span.length, span.terminatorLength))});
    }
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const auto header = findSection(trimWhiteSpace(section));
    if (!header) {
        return std::nullopt;
    }
    const auto line = findKey(*header, trimWhiteSpace(key));
    if (!line) {
        return std::nullopt;
    }
    return valueOf(lines_[*line].text);
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(trimWhiteSpace(section)).has_value();
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view sectionName = trimWhiteSpace(section);
    const std::string_view keyName = trimWhiteSpace(key);
    if (!isWritableSectionName(sectionName) || !isWritableKeyName(keyName)) {
        return;
    }
    const std::string_view storedValue = firstLineOf(value);
    const auto header = findSection(sectionName);
    if (!header) {
        insertLine(lines_.size(), "[" + std::string(sectionName) + "]");
        insertLine(lines_.size(), keyLine(keyName, storedValue));
        return;
    }
    if (const auto existing = findKey(*header, keyName)) {
        Line& line = lines_[*existing];
        line = makeLine(keyLine(*keyOf(line.text), storedValue), line.newline);
        return;
    }
    insertLine(lastNonBlankLine(*header) + 1, keyLine(keyName, storedValue));
}

std::string IniDocument::bytes() const {
    std::string result = mark_;
    for (const Line& line : lines_) {
        result += line.raw;
    }
    result += oddTrailingByte_;
    return result;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionNameOf(lines_[i].text);
        if (name && equalsIgnoringAsciiCase(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t sectionLine,
                                                std::string_view key) const {
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto name = keyOf(lines_[i].text);
        if (name && equalsIgnoringAsciiCase(*name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t sectionLine) const {
    std::size_t end = sectionLine + 1;
    while (end < lines_.size() && !sectionNameOf(lines_[end].text)) {
        ++end;
    }
    return end;
}

// New keys go after the section's last non-blank line, so that blank lines separating it from the
// next section keep separating them.
std::size_t IniDocument::lastNonBlankLine(std::size_t sectionLine) const {
    std::size_t last = sectionEnd(sectionLine) - 1;
    while (last > sectionLine && isBlank(lines_[last].text)) {
        --last;
    }
    return last;
}

std::optional<std::string> IniDocument::encode(std::string_view text) const {
    if (encoding_ != Encoding::EightBit) {
        return encodeUtf16le(text_.toUtf16(text));
    }
    return holdsUtf8() ? std::string(text) : text_.toAnsiCodePage(text);
}

// A text that the file's code page cannot hold would be written as stand-in characters and read
// back as something else; the file turns into UTF-16LE with a byte-order mark instead, which the
// profile functions read as well, and keeps every text it held.
void IniDocument::convertToUtf16() {
    encoding_ = Encoding::Utf16leWithBom;
    mark_ = kUtf16Mark;
    for (Line& line : lines_) {
        line.raw = encodeUtf16le(text_.toUtf16(line.text + line.newline));
    }
}

std::string IniDocument::encodeConverting(std::string_view text) {
    std::optional<std::string> encoded = encode(text);
    if (!encoded) {
        convertToUtf16();
        encoded = encode(text);
    }
    return std::move(encoded).value_or(std::string());
}

IniDocument::Line IniDocument::makeLine(std::string text, std::string newline) {
    std::string raw = encodeConverting(text);
    raw += encodeConverting(newline);
    return {std::move(raw), std::move(text), std::move(newline)};
}

void IniDocument::insertLine(std::size_t position, std::string text) {
    if (position > 0) {
        Line& previous = lines_[position - 1];
        if (previous.newline.empty()) {
            previous.raw += encodeConverting(newline_);
            previous.newline = newline_;
        }
    }
    const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(position);
    lines_.insert(at, makeLine(std::move(text), newline_));
}

}  // namespace quillfen
