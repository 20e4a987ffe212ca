#pragma once

#include <string>

namespace quillfen {

// Spellings of cell texts for readers that cannot take every byte: paths are raw bytes, and a name
// may hold control characters or bytes that are not UTF-8. Each escape keeps two different names
// different.
class TextEscapes {
public:
    // Control characters and bytes that are not UTF-8 as \xHH, a backslash doubled.
    static std::string escapeForTerminal(const std::string& text);
    // Backslash, tab, carriage return and line feed as \\, \t, \r and \n; bytes that are not
    // UTF-8 as \xHH.
    static std::string escapeForTsv(const std::string& text);
    // In double quotes, inner quotes doubled, when the text holds a comma, a quote or a line end.
    static std::string quoteForCsv(const std::string& text);
    // A JSON string; a byte that is not UTF-8 becomes the text \xHH.
    static std::string quoteForJson(const std::string& text);
    static bool isUtf8(const std::string& text);
    static std::string base64(const std::string& bytes);
};

}  // namespace quillfen
