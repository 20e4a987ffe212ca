#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// Engine text is UTF-8, Win32 text UTF-16. Names that are not valid UTF-16 (lone surrogates) are
// carried as WTF-8, the lone surrogate encoded like any other code point, so they round-trip.
// Bytes that are not WTF-8 become U+FFFD, one per byte.
std::wstring toWide(std::string_view text);
std::string fromWide(std::wstring_view text);

}  // namespace quillfen::platform
