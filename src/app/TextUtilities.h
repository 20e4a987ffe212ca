#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Splits text at every occurrence of the separator, keeping empty pieces: "a  b" split at a blank
// gives "a", "" and "b". A separator at the very end ends the last piece rather than starting an
// empty one. Empty text or an empty separator gives no pieces.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

// Blank, tab, line feed, carriage return, vertical tab and form feed.
bool isWhiteSpace(char c);
std::string_view trimWhiteSpace(std::string_view text);
std::string_view trimWhiteSpaceEnd(std::string_view text);
// ASCII upper-casing, as used for comparing section and key names.
std::string upperAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Puts the values in place of the markers ("%s", "%d"), in order, in one pass: a value that holds
// the marker itself (a folder named "%s") is never filled in again.
std::string filledIn(const std::string& pattern, std::string_view marker,
                     std::initializer_list<std::string> values);

}  // namespace quillfen
