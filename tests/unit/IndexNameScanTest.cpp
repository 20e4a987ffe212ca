#include "index/IndexNameScan.h"

#include <gtest/gtest.h>

#include "IndexTestTree.h"

namespace quillfen {
namespace {

// One folder of many names: mixed case, bytes beyond ASCII (a Kelvin sign folds into ASCII
// 'k'), names longer than a vector step, folders and links. The names lie side by side, so the
// scan also meets pieces that run from one name into the next.
IndexData manyNames(std::uint32_t count) {
    const std::vector<std::string> stems = {"Report-2024.TXT",
                                            "report",
                                            "ort-20",
                                            "notes.txt",
                                            "\xe2\x84\xaa"
                                            "ey.txt",
                                            "K",
                                            "a-very-long-name-beyond-sixteen-bytes.Log",
                                            "t",
                                            ".txt",
                                            "x.tx",
                                            "txt.x",
                                            "caf\xc3\xa9.txt",
                                            "dir"};
    IndexData index;
    index.root = "/r/";
    index.folders.push_back({IndexData::kNone, 0, count, 0, 0, {}, 0, 0});
    for (std::uint32_t at = 0; at < count; ++at) {
        const std::string name = stems[at % stems.size()] + (at % 7 == 0 ? "" : std::to_string(at));
        const auto flags = static_cast<std::uint8_t>((at % 5 == 0 ? IndexData::kFolderFlag : 0) |
                                                     (at % 11 == 0 ? IndexData::kLinkFlag : 0));
        IndexData::Entry entry;
        entry.nameOffset = static_cast<std::uint32_t>(index.names.size());
        entry.setFlags(flags);
        index.entries.push_back(entry);
        index.names += name;
    }
    return index;
}

bool passesAsTheSearchTests(const NamePatternList& patterns, std::string name, std::uint8_t flags) {
    const bool link = (flags & IndexData::kLinkFlag) != 0;
    const bool folder = (flags & IndexData::kFolderFlag) != 0;
    return matchesName(patterns, folder ? name + '/' : name) ||
           (link && matchesName(patterns, folder ? name : name + '/'));
}

// The scan's answer is the test of every name, for patterns whose pieces are found in either
// case, across name ends and vector steps, only in names beyond ASCII, or nowhere; on few
// entries and on enough for two threads.
TEST(IndexNameScan, FindsExactlyTheNamesTheSearchWouldPass) {
    const std::vector<std::string> patternTexts = {"*.txt",
                                                   "report*",
                                                   "*ORT-20*",
                                                   "k*",
                                                   "*ey.txt",
                                                   "*beyond-sixteen-bytes.log",
                                                   "t*",
                                                   "*.tx",
                                                   "caf\xc3\x89*",
                                                   "\xc3\xa9*",
                                                   "d*/",
                                                   "*/",
                                                   "*1/",
                                                   "*9",
                                                   "x*t",
                                                   "nothing-like-this*",
                                                   "*.txt notes* k*",
                                                   "*"};
    for (const std::uint32_t count : {40u, 70000u}) {
        const IndexView index = test::IndexTestTree::stored(manyNames(count));
        for (const std::string& text : patternTexts) {
            SCOPED_TRACE(text + " in " + std::to_string(count));
            const NamePatternList patterns = compileNamePatterns(text);
            std::vector<std::uint32_t> expected;
            for (std::uint32_t at = 0; at < count; ++at) {
                if (passesAsTheSearchTests(patterns, std::string(index.name(at)),
                                           index.flagsOf(at))) {
                    expected.push_back(at);
                }
            }
            EXPECT_EQ(IndexNameScan(index, patterns, '/').passing(0, count), expected);
            EXPECT_EQ(IndexNameScan(index, patterns, '/').passing(3, count / 2),
                      std::vector<std::uint32_t>(
                          std::lower_bound(expected.begin(), expected.end(), 3u),
                          std::lower_bound(expected.begin(), expected.end(), count / 2)));
        }
    }
}

}  // namespace
}  // namespace quillfen
