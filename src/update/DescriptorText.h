#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// Characters 1 and 2, 3 and 4, … change places; an odd last character stays.
std::string swapCharacterPairs(std::string text);

// A serial or product text as a Windows storage device descriptor holds it, up to its first zero
// byte. Some drivers store it as hexadecimal digits of the bytes, white space standing for "0";
// those decode to the bytes they spell, up to a zero byte. Anything else is taken as it stands
// when every character is printable, else it gives nothing. The result is swapped in pairs when
// asked, then trimmed of white space at both ends.
std::string decodeDescriptorText(std::string_view stored, bool swapPairs);

}  // namespace quillfen
