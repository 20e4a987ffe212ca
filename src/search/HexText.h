#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Checks the hexadecimal form of the "Find:" input and gives it back in its normal shape: each
// byte as two upper-case digits followed by a blank, the pieces joined by " * ", as in
// "31 32 * 35 36". Blanks may be typed anywhere. Input of only blanks and '*' gives "". nullopt
// when a piece has an odd number of digits or a character that is not a hexadecimal digit.
std::optional<std::string> checkHex(std::string_view text);

// The byte strings the hexadecimal input asks for, one per non-empty piece between '*'
// characters. Meant for input that checkHex accepted; anything else is read leniently (a
// character that is not a digit counts as 0, an odd last digit is dropped, and a piece left without
// a byte is left out).
std::vector<std::string> hexPieces(std::string_view text);

}  // namespace quillfen
