#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The quoting layers that a path goes through on its way into a file manager's entry. Each takes
// raw bytes and keeps bytes above 127 as they are, so any encoding of a path survives.

// POSIX shell quoting: the text in single quotes, each single quote written '\''.
std::string shellQuoted(std::string_view text);

// One argument of a desktop-entry Exec line: in double quotes, with ", `, $ and \ preceded by a
// backslash.
std::string desktopExecQuoted(std::string_view text);

// A key-file string value: backslash, newline, tab and carriage return written as escapes, and a
// leading blank as \s, since readers strip blanks after the equals sign.
std::string keyFileEscaped(std::string_view text);

// Each % doubled, for lines in which a % starts a field code.
std::string percentsDoubled(std::string_view text);

// Character data or attribute text for XML, the five special characters as named entities.
std::string xmlEscaped(std::string_view text);
// The reverse of xmlEscaped, also for decimal and hexadecimal character references, which other
// writers of the same file use; an unknown or broken reference stays as it is.
std::string xmlUnescaped(std::string_view text);

}  // namespace quillfen
