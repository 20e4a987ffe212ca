#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/DuplicateSearchFixture.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

using DuplicateSearchTest = test::DuplicateSearchFixture;
using Rows = std::vector<std::string>;

TEST_F(DuplicateSearchTest, NameRulesFollowTheChosenOptions) {
    for (const char* name : {"ref/Report.Doc", "a/report.doc", "b/REPORT.DOC", "c/report.txt",
                             "d/report", "e/other.doc", "f/report.docx"}) {
        folder.writeFile(name, "body");
    }
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", true, true, false, false)),
              (Rows{at("a/report.doc"), at("b/REPORT.DOC")}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", true, false, false, false)),
              (Rows{at("a/report.doc"), at("b/REPORT.DOC"), at("c/report.txt"), at("d/report"),
                    at("f/report.docx")}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", false, true, false, true)),
              (Rows{at("a/report.doc"), at("b/REPORT.DOC"), at("e/other.doc")}));
    EXPECT_EQ(duplicatesOf(inputs("ref/Report.Doc", false, false, false, true)),
              (Rows{at("a/report.doc"), at("b/REPORT.DOC"), at("c/report.txt"), at("d/report"),
                    at("e/other.doc"), at("f/report.docx")}));
}

TEST_F(DuplicateSearchTest, NameWithoutPointMustMatchWhole) {
    folder.writeFile("ref/makefile", "all:");
    folder.writeFile("x/Makefile", "all:");
    folder.writeFile("x/other", "all:");
    EXPECT_EQ(duplicatesOf(inputs("ref/makefile", false, false, false, true)),
              Rows{at("x/Makefile")});
}

TEST_F(DuplicateSearchTest, TimeAloneAlsoComparesBodies) {
    folder.writeFile("ref.txt", "same");
    folder.writeFile("a.txt", "same");
    folder.writeFile("b.txt", "diff");
    // Whole seconds, which every system's file times can hold.
    const fs::file_time_type when =
        std::chrono::floor<std::chrono::seconds>(fs::last_write_time(folder / "ref.txt"));
    for (const char* name : {"ref.txt", "a.txt", "b.txt"}) {
        fs::last_write_time(folder / name, when);
    }
    DuplicateInputs timeOnly = inputs("ref.txt", false, false, true, false);
    EXPECT_EQ(duplicatesOf(timeOnly), Rows{at("a.txt")});
    DuplicateInputs ticked = timeOnly;
    buildDuplicateRequest(ticked);
    EXPECT_TRUE(ticked.matchBody);
}

TEST_F(DuplicateSearchTest, BodiesAroundTheChunkSizeAreComparedExactly) {
    const std::string mebibyte(1 << 20, 'm');
    folder.writeFile("small/ref.bin", mebibyte);
    folder.writeFile("small/same.bin", mebibyte);
    folder.writeFile("small/last.bin", mebibyte.substr(0, mebibyte.size() - 1) + "x");
    EXPECT_EQ(duplicatesOf(inputs("small/ref.bin", false, false, false, true)),
              Rows{at("small/same.bin")});

    folder.writeFile("large/ref.bin", mebibyte + "!");
    folder.writeFile("large/same.bin", mebibyte + "!");
    folder.writeFile("large/last.bin", mebibyte + "?");
    DuplicateInputs large = inputs("large/ref.bin", false, false, false, true);
    large.lookIn = at("large");
    EXPECT_EQ(duplicatesOf(large), Rows{at("large/same.bin")});
    EXPECT_FALSE(observer.compared.empty());
}

// Bodies are compared end blocks first; a single changed byte anywhere, in particular at the
// edges of the blocks, makes a candidate differ, and an identical one is found whatever its size.
TEST_F(DuplicateSearchTest, OneChangedByteAnywhereMakesABodyDiffer) {
    std::mt19937 random(5);
    for (const std::int64_t size :
         {std::int64_t{1}, std::int64_t{4095}, std::int64_t{4096}, std::int64_t{5000},
          std::int64_t{8192}, std::int64_t{300000}, std::int64_t{(1 << 20) + 300000}}) {
        SCOPED_TRACE(size);
        const std::string set = "size" + std::to_string(size) + "/";
        std::string body(static_cast<std::size_t>(size), '\0');
        for (char& byte : body) {
            byte = static_cast<char>(random());
        }
        folder.writeFile(set + "ref.bin", body);
        folder.writeFile(set + "same.bin", body);
        for (const std::int64_t offset :
             {std::int64_t{0}, std::int64_t{4095}, std::int64_t{4096}, size / 2, size - 4097,
              size - 4096, size - 1, std::int64_t{262144}, std::int64_t{(1 << 20) + 1}}) {
            if (offset < 0 || offset >= size) {
                continue;
            }
            std::string changed = body;
            changed[static_cast<std::size_t>(offset)] ^= 1;
            folder.writeFile(set + "at" + std::to_string(offset) + ".bin", changed);
        }
        DuplicateInputs bodyOnly = inputs(set + "ref.bin", false, false, false, true);
        bodyOnly.lookIn = at(set);
        EXPECT_EQ(duplicatesOf(bodyOnly), Rows{at(set + "same.bin")});
    }
}

TEST_F(DuplicateSearchTest, TheReferenceIsNeverItsOwnDuplicateWhateverItsSpelling) {
    folder.writeFile("dir/ref.txt", "body");
    folder.writeFile("dir/copy.txt", "body");
    const Rows expected{at("dir/copy.txt")};

    DuplicateInputs viaDots = inputs("dir/../dir/ref.txt", false, false, false, true);
    EXPECT_EQ(duplicatesOf(viaDots), expected);

    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    DuplicateInputs relative{
        at("dir/ref.txt").substr(root().size()), root(), false, false, false, true};
    EXPECT_EQ(duplicatesOf(relative), expected);
    fs::current_path(previous);
}

TEST(DuplicateInputCheck, RefusesMissingAndEmptyReferences) {
    test::TemporaryFolder folder;
    folder.writeFile("empty", "");
    folder.writeFile("full", "x");
    const struct {
        std::string reference;
        std::string lookIn;
        std::optional<std::string> message;
    } cases[] = {
        {folder / "missing", folder.path(), "File not exists."},
        {folder / "empty", folder.path(), "It is an empty file."},
        {folder.path(), folder.path(), "It is an empty file."},
        {folder / "full", "  ", "Please select a folder for search."},
        {folder / "full", folder / "nowhere", "Folder not exists."},
        {folder / "full", "*", std::nullopt},
        {folder / "full", folder.path(), std::nullopt},
    };
    for (const auto& c : cases) {
        DuplicateInputs inputs{c.reference, c.lookIn};
        const auto problem = checkDuplicateInputs(inputs);
        EXPECT_EQ(problem ? std::optional(problem->message) : std::nullopt, c.message)
            << c.reference << " in " << c.lookIn;
    }
}

}  // namespace
}  // namespace quillfen
