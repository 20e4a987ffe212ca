#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The MD5 digest of the bytes as 32 upper-case hexadecimal digits.
std::string md5UpperHex(std::string_view bytes);

}  // namespace quillfen
