#pragma once

#include <string>

namespace quillfen::platform {

// The path as Win32 takes it without the 260-character limit: made absolute ('/' to '\', "." and
// ".." resolved) and then given the "\\?\" prefix, or "\\?\UNC\" for a share. Every other name
// stays exactly as spelt, so a name that ends in a dot or a blank, or one such as "CON" or
// "nul.txt", names that file and no other, as the folder's listing gave it. A path that already
// has a "\\?\" or "\\.\" prefix is taken as it is. Empty when the path is empty or cannot be made
// absolute. The prefix stays inside the file system: paths shown to the user never carry it.
std::wstring longPath(const std::string& path);

// The same for a path that already is UTF-16.
std::wstring longPath(const std::wstring& path);

// What the system's own reading of a path makes of it (GetFullPathNameW): absolute, trailing dots
// and blanks of its names dropped, device names as "\\.\" paths; empty on failure.
std::wstring systemReading(const std::wstring& path);

// The path as the shell and other programs can be handed it, for they read it the system's way:
// as spelt when that reading keeps it, else its short (8.3) form when the file system has one
// that the reading keeps, else as spelt.
std::wstring shellSpelling(const std::string& path);

// The path without a "\\?\" or "\\?\UNC\" prefix, as the user spells it.
std::wstring withoutLongPrefix(const std::wstring& path);

}  // namespace quillfen::platform
