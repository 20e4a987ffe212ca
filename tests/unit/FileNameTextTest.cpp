#include "results/FileNameText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillfen {
namespace {

TEST(FileNameText, EachPathIsQuotedAndEndsWithCarriageReturnLineFeed) {
    const struct {
        std::vector<std::string> paths;
        const char* text;
    } cases[] = {
        {{"/A/x.txt", "/y.doc"}, "\"/A/x.txt\"\r\n\"/y.doc\"\r\n"},
        {{"C:\\A\\x.txt", "D:\\y.doc"}, "\"C:\\A\\x.txt\"\r\n\"D:\\y.doc\"\r\n"},
        {{"/with \"quotes\" and blanks"}, "\"/with \"quotes\" and blanks\"\r\n"},
        {{"/bad\xFFname"}, "\"/bad\xFFname\"\r\n"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileNameText(c.paths), c.text);
    }
}

// Lists longer than one batch, and ending inside one and exactly at one, keep every row once and
// in order.
TEST(FileNameText, BatchingKeepsEveryRowInOrder) {
    for (const std::size_t count : {99u, 100u, 101u, 200u, 250u}) {
        std::vector<std::string> paths;
        std::string names;
        for (std::size_t row = 0; row < count; ++row) {
            paths.push_back("/data/file" + std::to_string(row));
            names += "\"" + paths.back() + "\"\r\n";
        }
        EXPECT_EQ(fileNameText(paths), names) << count;
    }
}

}  // namespace
}  // namespace quillfen
