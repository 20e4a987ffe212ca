#include <gtest/gtest.h>

#include <string>

#include "downloadlink/DownloadLink.h"

namespace quillfen {
namespace {

using namespace downloadlink;

TEST(DownloadLink, ArchiveByThePathAlone) {
    const struct {
        const char* link;
        bool archive;
        const char* fileName;
    } cases[] = {
        {"http://h/files/UPDATE.ZIP", true, "UPDATE.ZIP"},
        {"https://h/next.zip_", true, "next.zip_"},
        {"http://h/up.zip?mirror=2", true, "up.zip"},
        {"http://h/up.Zip#top", true, "up.Zip"},
        {"http://h/f/quillfen?.zip", false, "quillfen"},
        {"http://h/f/anna.desk7.ini#x.zip", false, "anna.desk7.ini"},
        {"http://h/f/setup.exe?a/b.zip", false, "setup.exe"},
        {"http://h/f/#/x.zip", false, ""},
        {"http://h/f.zip/", false, ""},
        {"http://h/zip", false, "zip"},
        {"http://h/a.zip.exe", false, "a.zip.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isArchiveLink(c.link), c.archive) << c.link;
        EXPECT_EQ(linkFileName(c.link), c.fileName) << c.link;
    }
}

TEST(DownloadLink, OnlyPlainArchiveNamesMayBeWrittenIntoAFolder) {
    const struct {
        std::string name;
        bool plain;
        bool archive;
    } cases[] = {
        {"update.zip", true, true},
        {"UPDATE.ZIP_", true, true},
        {"quillfen", true, false},
        {"anna.desk7.ini", true, false},
        {"", false, false},
        {".", false, false},
        {"..", false, false},
        {".zip", false, false},
        {".hidden.zip", false, false},
        {"a/b.zip", false, false},
        {"a\\b.zip", false, false},
        {"a\nb.zip", false, false},
        {std::string("a\0b.zip", 7), false, false},
        {"a:b.zip", false, false},
        {"setup.zip:evil", false, false},
        {"a*.zip", false, false},
        {"a?.zip", false, false},
        {"a\"b.zip", false, false},
        {"a<b>.zip", false, false},
        {"a|b.zip", false, false},
        {"update.zip.", false, false},
        {"update.zip ", false, false},
        {"NUL.zip", false, false},
        {"con.zip_", false, false},
        {"Com1.zip", false, false},
        {"lpt9", false, false},
        {"conout$.zip", false, false},
        {"com.zip", true, true},
        {"console.zip", true, true},
        {"com10.zip", true, true},
        {"nullify.zip", true, true},
        {"COM\u00b9.zip", false, false},
        {"lpt\u00b2.exe", false, false},
        {"Lpt\u00b3", false, false},
        {"com\u00b3.zip_", false, false},
        {"nul .zip", false, false},
        {"com1 .tar.zip", false, false},
        {"com\u2074.zip", true, true},
        {"lpt\u00b9\u00b2.zip", true, true},
        {"com\u00b9x.zip", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPlainFileName(c.name), c.plain) << c.name;
        EXPECT_EQ(isArchiveFileName(c.name), c.archive) << c.name;
    }
}

}  // namespace
}  // namespace quillfen
