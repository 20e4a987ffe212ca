#include <gtest/gtest.h>

#include <vector>

#include "results/SortKeyList.h"

namespace quillfen {
namespace {

using Key = SortKeyList::Key;

constexpr bool kUp = true;
constexpr bool kDown = false;

struct ClickCase {
    std::vector<int> clicks;
    SortKeyList::Keys expected;
};

TEST(SortKeyList, HeaderClicksReorderTheKeys) {
    const ClickCase cases[] = {
        // Never-clicked columns break ties in column order, descending.
        {{}, {{{0, kDown}, {1, kDown}, {2, kDown}, {3, kDown}, {4, kDown}}}},
        {{4}, {{{4, kUp}, {0, kDown}, {1, kDown}, {2, kDown}, {3, kDown}}}},
        {{4, 4}, {{{4, kDown}, {0, kDown}, {1, kDown}, {2, kDown}, {3, kDown}}}},
        {{4, 4, 4}, {{{4, kUp}, {0, kDown}, {1, kDown}, {2, kDown}, {3, kDown}}}},
        {{0}, {{{0, kUp}, {1, kDown}, {2, kDown}, {3, kDown}, {4, kDown}}}},
        {{4, 0}, {{{0, kUp}, {4, kUp}, {1, kDown}, {2, kDown}, {3, kDown}}}},
        {{2, 0, 2}, {{{2, kDown}, {0, kUp}, {1, kDown}, {3, kDown}, {4, kDown}}}},
        {{3, 1, 3, 1}, {{{1, kDown}, {3, kDown}, {0, kDown}, {2, kDown}, {4, kDown}}}},
    };
    for (const ClickCase& c : cases) {
        SortKeyList list;
        for (int column : c.clicks) {
            EXPECT_TRUE(list.clickHeader(column)) << column;
        }
        EXPECT_EQ(list.keys(), c.expected) << testing::PrintToString(c.clicks);
    }
}

TEST(SortKeyList, ColumnsOutsideTheKeysChangeNothing) {
    for (int column : {5, -1, 6}) {
        SortKeyList list;
        list.clickHeader(2);
        const SortKeyList::Keys before = list.keys();
        EXPECT_FALSE(list.clickHeader(column)) << column;
        EXPECT_EQ(list.keys(), before) << column;
    }
}

}  // namespace
}  // namespace quillfen
