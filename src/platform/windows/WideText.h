#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// Engine text is UTF-8; Win32 calls take UTF-16. File names on Windows need not be valid UTF-16:
// a surrogate without its partner is carried in its 3-byte generalised UTF-8 form (WTF-8), so
// that such a name comes back from the engine exactly as the system listed it.
//
// UTF-8 (WTF-8) to UTF-16. A 3-byte form of a surrogate becomes that surrogate. Bytes that are not
// UTF-8 (stray continuation bytes, overlong forms, truncated sequences, code points above U+10FFFF)
// each become U+FFFD, one per maximal ill-formed stretch, as the Unicode standard recommends; such
// text cannot name a file that exists, so nothing is lost that could be found again.
std::wstring toWide(std::string_view utf8);

// UTF-16 to UTF-8; a surrogate without its partner becomes its 3-byte WTF-8 form.
std::string fromWide(std::wstring_view wide);

}  // namespace quillfen::platform
