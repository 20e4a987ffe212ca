#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// Registry access by location text: a root name, a backslash and the key path below the root, as
// "HKEY_CLASSES_ROOT\Folder\DefaultIcon". The root name may be written in any case; the key path
// keeps its own. An empty value name stands for the key's default value. Results are 0 or the
// system's error code, or one of the negative codes below.

// The location has no backslash, or one at its start.
inline constexpr int kRegMalformedPath = -1;
// The root name is none of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_CURRENT_CONFIG, HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA.
inline constexpr int kRegUnknownRoot = -2;
// regSetString and regDeleteValue: the key cannot be opened.
inline constexpr int kRegKeyNotOpened = -3;
// regDeleteKey: the location names a key directly below the root, which is never deleted.
inline constexpr int kRegKeyBelowRoot = -3;
// regDeleteKey: the parent of the key cannot be opened.
inline constexpr int kRegParentNotOpened = -4;

// The kinds regQueryString reads a value as: text (string or expandable string, unexpanded), or a
// number, given as the signed decimal text of the value's first four bytes.
inline constexpr int kRegString = 1;
inline constexpr int kRegExpandString = 2;
inline constexpr int kRegNumber = 4;

// Sets a string value, creating the missing keys below the key's first level, one level at a time;
// a missing first level is not created, and the key then cannot be opened.
int regSetString(std::string_view location, std::string_view valueName, std::string_view value);
// The value read as the kind asks; the empty text on any failure (malformed location, unknown
// root, missing key or value, a value larger than 32768 bytes).
std::string regQueryString(std::string_view location, std::string_view valueName, int kind);
int regDeleteValue(std::string_view location, std::string_view valueName);
// Deletes the key, which must have no subkeys.
int regDeleteKey(std::string_view location);
// True when the key exists and this process may create keys and set values in it; a program
// that runs without elevation may not in the machine's own keys.
bool regMayWrite(std::string_view location);

}  // namespace quillfen::platform
