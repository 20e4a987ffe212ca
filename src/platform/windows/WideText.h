#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// The engine's UTF-8 text and Windows' UTF-16. Windows names may hold surrogates without their
// partner, which UTF-8 cannot carry; they travel as WTF-8 (the surrogate encoded like any other
// code point in three bytes), so every name comes back to the system exactly as it was given.
// Bytes that are neither become U+FFFD.
std::wstring toWide(std::string_view text);
std::string fromWide(std::wstring_view text);

}  // namespace quillfen::platform
