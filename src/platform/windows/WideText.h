#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// The engine keeps text and paths as UTF-8; Win32 takes UTF-16. Windows names need not be valid
// UTF-16: a lone surrogate is carried as WTF-8 (its code unit encoded like a code point, three
// bytes from ED A0 80 to ED BF BF), so every name read from the system goes back to it unchanged.

// UTF-8 or WTF-8 to UTF-16. Each byte that starts no valid sequence becomes U+FFFD; an encoded
// surrogate becomes that code unit, so a name read by fromWide round-trips.
std::wstring toWide(std::string_view text);

// UTF-16 to UTF-8, with each lone surrogate written as WTF-8. Never fails.
std::string fromWide(std::wstring_view text);

}  // namespace quillfen::platform
