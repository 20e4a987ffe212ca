#pragma once

#include <string>
#include <string_view>

// The engine's UTF-8 text and the UTF-16 of the Win32 calls. Windows names may hold lone
// surrogates, which no valid UTF-8 can carry; they travel as WTF-8 (the surrogate encoded like
// any other code point in three bytes), so that every name read from the system can be handed
// back to it unchanged. Standard C++ only, so that a program that links nothing else of the
// platform layer (the downloader) can use it.
namespace quillfen::platform {

// Bytes that are not UTF-8 (nor WTF-8) become U+FFFD, one per offending byte.
std::wstring toWide(std::string_view text);

// A surrogate without its partner becomes its three-byte WTF-8 form.
std::string fromWide(std::wstring_view text);

}  // namespace quillfen::platform
