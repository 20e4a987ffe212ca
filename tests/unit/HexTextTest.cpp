#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "search/HexText.h"

namespace quillfen {
namespace {

struct HexCase {
    const char* input;
    std::optional<std::string> normal;
};

class HexTextCheck : public testing::TestWithParam<HexCase> {};

TEST_P(HexTextCheck, AcceptsAndNormalisesOrRejects) {
    EXPECT_EQ(checkHex(GetParam().input), GetParam().normal) << "'" << GetParam().input << "'";
}

INSTANTIATE_TEST_SUITE_P(
    HexTextInputs, HexTextCheck,
    testing::Values(HexCase{"3132*3536", "31 32 * 35 36"},
                    HexCase{"31 32 * 35 36", "31 32 * 35 36"}, HexCase{"ab", "AB"},
                    HexCase{"a b", "AB"}, HexCase{"*ab**cd*", "AB * CD"}, HexCase{"0f0F", "0F 0F"},
                    // Nothing but blanks and stars is accepted and means no content test.
                    HexCase{"", ""}, HexCase{"   ", ""}, HexCase{" * ** ", ""},
                    HexCase{"abc", std::nullopt}, HexCase{"ab*c", std::nullopt},
                    HexCase{"g0", std::nullopt}, HexCase{"0x41", std::nullopt},
                    HexCase{"41\t42", std::nullopt}, HexCase{"4-", std::nullopt},
                    HexCase{"\xc3\xa4", std::nullopt}));

TEST(HexTextPieces, GivesTheBytesOfEachPiece) {
    EXPECT_EQ(hexPieces("31 32 * 35 36"), (std::vector<std::string>{"12", "56"}));
    EXPECT_EQ(hexPieces("00ff*FF00"),
              (std::vector<std::string>{std::string("\0\xff", 2), std::string("\xff\0", 2)}));
    EXPECT_TRUE(hexPieces(" * ").empty());
}

}  // namespace
}  // namespace quillfen
