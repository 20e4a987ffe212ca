#include <gtest/gtest.h>

#include "app/IniFile.h"
#include "support/ProgramFolderFixture.h"
#include "ui/SearchHistory.h"

namespace quillfen {
namespace {

class SearchHistoryTest : public test::ProgramFolderFixture {
protected:
    void store(const std::vector<std::string>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            writeIniValue(settingsFile(), "Path", std::to_string(i), values[i]);
        }
    }
    std::vector<std::string> stored() const {
        std::vector<std::string> values;
        for (int i = 0; i < SearchHistory::kEntries; ++i) {
            values.push_back(readIniValue(settingsFile(), "Path", std::to_string(i)));
        }
        return values;
    }

    SearchHistory history{settingsFile()};
};

using Texts = std::vector<std::string>;

TEST_F(SearchHistoryTest, LoadStopsAtTheFirstEmptyEntry) {
    store({"/a", "/b", "", "/d"});
    EXPECT_EQ(history.load("Path"), (Texts{"/a", "/b"}));
    EXPECT_EQ(history.load("FileName"), Texts{});
    EXPECT_NE(folder.readFile("prog/anna.desk7.ini").find("[FileName]\r\n0=\r\n"),
              std::string::npos);
}

TEST_F(SearchHistoryTest, FirstSaveWritesTheTextAtTheFront) {
    const auto outcome = history.save("Path", "/data");
    EXPECT_TRUE(outcome.written);
    EXPECT_FALSE(outcome.movedFrom);
    EXPECT_EQ(readIniValue(settingsFile(), "Path", "0"), "/data");
    EXPECT_FALSE(history.save("Path", "/data").written);
    EXPECT_FALSE(history.save("Path", "").written);
}

TEST_F(SearchHistoryTest, AnOlderEntryMovesToTheFrontAndTheRestShiftDown) {
    store({"/0", "/1", "/2", "/3", "/4"});
    const auto outcome = history.save("Path", "/3");
    EXPECT_EQ(outcome.movedFrom, 3);
    const Texts after = stored();
    EXPECT_EQ(Texts(after.begin(), after.begin() + 6), (Texts{"/3", "/0", "/1", "/2", "/4", ""}));
}

TEST_F(SearchHistoryTest, ComparisonIsCaseSensitiveAndTheFiftiethEntryFallsOut) {
    Texts full;
    for (int i = 0; i < 50; ++i) {
        full.push_back("/d" + std::to_string(i));
    }
    store(full);
    history.save("Path", "/D0");
    const Texts after = stored();
    EXPECT_EQ(after.front(), "/D0");
    EXPECT_EQ(after[1], "/d0");
    EXPECT_EQ(after.back(), "/d48");
}

TEST_F(SearchHistoryTest, ASaveKeepsEntriesBehindAGap) {
    store({"/a", "/b", "", "/d"});
    history.save("Path", "/new");
    const Texts after = stored();
    EXPECT_EQ(Texts(after.begin(), after.begin() + 5), (Texts{"/new", "/a", "/b", "", "/d"}));
}

}  // namespace
}  // namespace quillfen
