#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// Byte forms of UTF-16 text for searching file contents. Both work on code units, so text that
// is not well-formed still gives a definite result.

// Two bytes per code unit, low byte first, whatever the byte order of the machine.
std::string utf16LittleEndianBytes(std::u16string_view text);

// UTF-8; a surrogate without its partner becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace quillfen
