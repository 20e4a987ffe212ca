#include "search/DiskPace.h"

#include <gtest/gtest.h>

#include <string>

namespace quillfen {
namespace {

// Each letter is one piece of work: 'd' waited on the disk, 'c' came from the page cache.
TEST(DiskPace, TheDiskIsSlowFromOneWaitUntilAsManyPiecesInARowAsThePatienceHaveNot) {
    const struct {
        std::string work;
        bool slow;
    } cases[] = {
        {"", false},    {"ccc", false},     {"d", true},     {"dcc", true},     {"dccc", false},
        {"dccd", true}, {"dccdccc", false}, {"dcccd", true}, {"dcdcdcc", true}, {"cccccd", true},
    };
    for (const auto& [work, slow] : cases) {
        DiskPace pace(3);
        for (const char piece : work) {
            pace.record(piece == 'd');
        }
        EXPECT_EQ(pace.slow(), slow) << work;
    }
}

}  // namespace
}  // namespace quillfen
