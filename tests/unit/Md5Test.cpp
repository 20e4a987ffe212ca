#include <gtest/gtest.h>

#include <string>

#include "update/Md5.h"

namespace quillfen {
namespace {

// The test suite of RFC 1321, through the installed platform's digests.
TEST(Md5, GivesTheDigestsOfTheReferenceSuite) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {std::string("\0\xFF", 2), "D07D34EFAC6328007AD67C7E0A985E00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(md5UpperHex(c.input), c.digest) << c.input;
    }
}

}  // namespace
}  // namespace quillfen
