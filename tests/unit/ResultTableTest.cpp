#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "results/CellFormat.h"
#include "results/FoundFile.h"
#include "results/ResultTable.h"
#include "results/SortKeyList.h"

namespace quillfen {
namespace {

struct Entry {
    std::string name;
    std::int64_t size = 0;
    std::string folder = "/data/";
    std::string modified = "2024-01-01 00:00:00";
    std::string type = "Text";
};

FoundFile foundFile(const Entry& entry) {
    FoundFile file;
    file.name = entry.name;
    file.inFolder = entry.folder;
    file.modified = entry.modified;
    file.sizeText = formatSizeText(entry.size);
    file.sizeKey = formatSizeKey(entry.size);
    return file;
}

ResultTable tableOf(const std::vector<Entry>& entries) {
    ResultTable table;
    for (const Entry& entry : entries) {
        table.append(foundFile(entry), entry.type);
    }
    return table;
}

std::vector<std::string> columnTexts(const ResultTable& table, int column) {
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        texts.push_back(table.cellText(row, column));
    }
    return texts;
}

using Texts = std::vector<std::string>;

void sortAfterClicks(ResultTable& table, std::initializer_list<int> clicks) {
    SortKeyList keys;
    for (int column : clicks) {
        keys.clickHeader(column);
    }
    table.sort(keys);
}

TEST(ResultTableRow, FolderShowsItsNameWithoutSeparatorAndNoSize) {
    ResultTable table;
    table.append(FoundFile::describe("Photos", "/home/ann/", 4096, 0, true), "Folder", 3);
    EXPECT_EQ(table.cellText(0, ResultTable::kNameColumn), "Photos");
    EXPECT_EQ(table.cellText(0, ResultTable::kFolderColumn), "/home/ann/");
    EXPECT_EQ(table.cellText(0, ResultTable::kTypeColumn), "Folder");
    EXPECT_EQ(table.cellText(0, ResultTable::kSizeColumn), "");
    EXPECT_EQ(table.cellText(0, ResultTable::kSizeByteColumn), "-0000000000000000001");
    EXPECT_EQ(table.rowPath(0), "/home/ann/Photos");
    EXPECT_TRUE(table.isFolder(0));
    EXPECT_EQ(table.iconIndex(0), 3);
}

// The table keeps only the size; both size cells are made again from it.
TEST(ResultTableRow, FileSizeCellsComeBackFromTheKeyAndStrayCellsAreEmpty) {
    const ResultTable table = tableOf({{"notes.txt", 1536}});
    EXPECT_EQ(table.cellText(0, ResultTable::kSizeColumn), "1.5 KB");
    EXPECT_EQ(table.cellText(0, ResultTable::kSizeByteColumn), "00000000000000001536");
    EXPECT_EQ(table.cellText(0, ResultTable::kColumnCount), "");
    EXPECT_EQ(table.cellText(1, ResultTable::kNameColumn), "");
}

TEST(ResultTableRow, ModifiedTextLongerThanADateIsKeptWhole) {
    // Dates compare as texts, so a longer year is not a later one.
    const std::string farFuture = "10000000-01-01 00:00:00";
    ResultTable table =
        tableOf({{"b", 0, "/d/", "2024-01-01 00:00:00"}, {"a", 0, "/d/", farFuture}});
    sortAfterClicks(table, {ResultTable::kModifiedColumn});
    EXPECT_EQ(columnTexts(table, ResultTable::kModifiedColumn),
              (Texts{farFuture, "2024-01-01 00:00:00"}));
}

TEST(ResultTableSort, NameTwiceSortsUpThenDown) {
    ResultTable table = tableOf({{"b.txt"}, {"c.txt"}, {"a.txt"}});
    SortKeyList keys;
    keys.clickHeader(ResultTable::kNameColumn);
    table.sort(keys);
    EXPECT_EQ(columnTexts(table, 0), (Texts{"a.txt", "b.txt", "c.txt"}));
    keys.clickHeader(ResultTable::kNameColumn);
    table.sort(keys);
    EXPECT_EQ(columnTexts(table, 0), (Texts{"c.txt", "b.txt", "a.txt"}));
}

TEST(ResultTableSort, SizeThenNameOrdersEqualNamesBySizeUp) {
    ResultTable table =
        tableOf({{"b", 30, "/x/"}, {"a", 20, "/y/"}, {"b", 10, "/z/"}, {"a", 5, "/w/"}});
    sortAfterClicks(table, {ResultTable::kSizeColumn, ResultTable::kNameColumn});
    EXPECT_EQ(columnTexts(table, ResultTable::kFolderColumn), (Texts{"/w/", "/y/", "/z/", "/x/"}));
}

TEST(ResultTableSort, SizeSortsByValueWithFoldersFirst) {
    const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    ResultTable table = tableOf({{"ten", 10240},
                                 {"huge", largest},
                                 {"nine", 9216},
                                 {"empty", 0},
                                 {"dir/", -1},
                                 {"small", 1023}});
    sortAfterClicks(table, {ResultTable::kSizeColumn});
    EXPECT_EQ(columnTexts(table, 0), (Texts{"dir", "empty", "small", "nine", "ten", "huge"}));
    EXPECT_EQ(columnTexts(table, ResultTable::kSizeColumn),
              (Texts{"", "0  B", "1023  B", "9 KB", "10 KB", "8589934592 GB"}));
}

struct NamePair {
    const char* first;
    const char* second;
};

// Size breaks name ties, so names that are equal without case come out by size whichever way
// round they were appended.
TEST(ResultTableSort, NamesEqualWithoutCaseFallBackToTheNextKey) {
    const NamePair pairs[] = {{"Readme.txt", "README.TXT"}, {"Ärger.txt", "ärger.txt"}};
    for (const NamePair& pair : pairs) {
        for (const bool smallerFirst : {true, false}) {
            ResultTable table =
                tableOf({{pair.second, smallerFirst ? 2 : 1}, {pair.first, smallerFirst ? 1 : 2}});
            sortAfterClicks(table, {ResultTable::kSizeColumn, ResultTable::kNameColumn});
            const Texts expected =
                smallerFirst ? Texts{pair.first, pair.second} : Texts{pair.second, pair.first};
            EXPECT_EQ(columnTexts(table, 0), expected) << pair.first;
        }
    }
}

// The size tie-break would reverse each pair, so only the name order can put them right.
TEST(ResultTableSort, NamesCompareFoldedAsUnsignedBytes) {
    const NamePair pairs[] = {{"apple", "Banana"}, {"Zebra", "Äpfel"}, {"a", "a b"}};
    for (const NamePair& pair : pairs) {
        ResultTable table = tableOf({{pair.second, 1}, {pair.first, 2}});
        sortAfterClicks(table, {ResultTable::kSizeColumn, ResultTable::kNameColumn});
        EXPECT_EQ(columnTexts(table, 0), (Texts{pair.first, pair.second})) << pair.first;
    }
}

struct SharedTextCase {
    int column;
    const char* smaller;
    const char* sameA;
    const char* sameB;
};

// Folders and types are compared by rank among the table's distinct texts; texts that differ only
// by case must share a rank, whichever of them the table met first.
TEST(ResultTableSort, FoldersAndTypesCompareWithoutCase) {
    const SharedTextCase cases[] = {
        {ResultTable::kFolderColumn, "/apps/", "/Docs/", "/docs/"},
        {ResultTable::kTypeColumn, "archive", "Text", "TEXT"},
    };
    for (const SharedTextCase& c : cases) {
        for (const bool swapped : {false, true}) {
            std::vector<Entry> entries{{"big", 2}, {"small", 1}, {"first", 3}};
            const char* texts[] = {swapped ? c.sameB : c.sameA, swapped ? c.sameA : c.sameB,
                                   c.smaller};
            for (std::size_t index = 0; index < entries.size(); ++index) {
                (c.column == ResultTable::kFolderColumn ? entries[index].folder
                                                        : entries[index].type) = texts[index];
            }
            ResultTable table = tableOf(entries);
            sortAfterClicks(table, {ResultTable::kSizeColumn, c.column});
            EXPECT_EQ(columnTexts(table, 0), (Texts{"first", "small", "big"})) << c.sameA;
        }
    }
}

TEST(ResultTableSort, NeverClickedColumnsBreakTiesDescending) {
    ResultTable table = tableOf({{"a", 0, "/1/"},
                                 {"c", 0, "/1/"},
                                 {"b", 0, "/1/"},
                                 {"b", 0, "/2/"},
                                 {"c", 0, "/1/", "2024-01-01 00:00:00", "Other"}});
    sortAfterClicks(table, {ResultTable::kTypeColumn});
    EXPECT_EQ(columnTexts(table, ResultTable::kTypeColumn),
              (Texts{"Other", "Text", "Text", "Text", "Text"}));
    EXPECT_EQ(columnTexts(table, 0), (Texts{"c", "c", "b", "b", "a"}));
    EXPECT_EQ(columnTexts(table, ResultTable::kFolderColumn),
              (Texts{"/1/", "/1/", "/2/", "/1/", "/1/"}));
}

TEST(ResultTableSort, RowsEqualOnEveryKeyKeepTheirOrder) {
    constexpr int kRows = 1000;
    ResultTable table;
    for (int icon = 0; icon < kRows; ++icon) {
        table.append(foundFile({icon % 2 == 0 ? "b" : "a"}), "Text", icon);
    }
    for (int click = 0; click < 3; ++click) {
        sortAfterClicks(table, {ResultTable::kNameColumn});
        for (int row = 0; row < kRows; ++row) {
            const int appendedAs = row < kRows / 2 ? 2 * row + 1 : 2 * (row - kRows / 2);
            ASSERT_EQ(table.iconIndex(static_cast<std::size_t>(row)), appendedAs) << row;
        }
    }
}

TEST(ResultTableSort, RowsAppendedAfterASortStayAtTheEndUntilTheNextSort) {
    ResultTable table = tableOf({{"m"}, {"b"}});
    sortAfterClicks(table, {ResultTable::kNameColumn});
    table.append(foundFile({"a"}), "Text");
    EXPECT_EQ(columnTexts(table, 0), (Texts{"b", "m", "a"}));
    sortAfterClicks(table, {ResultTable::kNameColumn});
    EXPECT_EQ(columnTexts(table, 0), (Texts{"a", "b", "m"}));
}

}  // namespace
}  // namespace quillfen
