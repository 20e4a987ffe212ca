#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The MD5 digest of the bytes as 32 upper-case hexadecimal digits, by the platform's digests;
// empty when the platform has none.
std::string md5UpperHex(std::string_view bytes);

}  // namespace quillfen
