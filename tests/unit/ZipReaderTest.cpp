#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "support/TemporaryFolder.h"
#include "support/ZipFixtures.h"
#include "update/ZipReader.h"

namespace quillfen {
namespace {

using Cause = CZipException::Cause;
using Members = std::vector<std::pair<std::string, std::string>>;

using test::ZipFixtures;

std::string text(std::size_t size) {
    return ZipFixtures::text(size);
}

std::string noise(std::size_t size) {
    return ZipFixtures::noise(size);
}

std::uint32_t crcOf(const std::string& data) {
    return static_cast<std::uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::uint32_t get(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// Where the records of an archive's first entry and its data start.
struct Layout {
    explicit Layout(const std::string& b)
        : at{b.rfind("PK\x05\x06"), get(b, at[0] + 16, 4), get(b, at[1] + 42, 4),
             at[2] + 30 + get(b, at[2] + 26, 2) + get(b, at[2] + 28, 2)} {}
    std::size_t at[4];
};

// Both: a field of the central record and the same field of the local header, two bytes earlier.
enum Record { End, Central, Local, Data, Both };

struct Edit {
    Record record;
    std::size_t offset;
    int width;
    std::uint32_t value;
};

void apply(std::string& bytes, const std::vector<Edit>& edits) {
    const Layout layout(bytes);
    const auto put = [&](std::size_t at, int width, std::uint32_t value) {
        for (int i = 0; i < width; ++i) {
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        }
    };
    for (const Edit& e : edits) {
        if (e.record == Both) {
            put(layout.at[Central] + e.offset, e.width, e.value);
            put(layout.at[Local] + e.offset - 2, e.width, e.value);
        } else {
            put(layout.at[e.record] + e.offset, e.width, e.value);
        }
    }
}

enum class Stage { None, Open, OpenEntry, Read, Close };

struct Outcome {
    Stage stage = Stage::Open;
    Cause cause = Cause::Generic;
    std::string data;
};

// Reads the open entry as the update does, in 2048-byte pieces, up to `limit` bytes.
std::string readPieces(ZipReader& reader, std::vector<std::size_t>& pieces,
                       std::size_t limit = std::string::npos) {
    std::string data;
    char buffer[2048];
    while (data.size() < limit && (pieces.empty() || pieces.back() != 0)) {
        pieces.push_back(reader.readEntry(buffer, sizeof buffer));
        data.append(buffer, pieces.back());
    }
    return data;
}

Outcome extractFirst(const std::string& path, std::size_t limit) {
    Outcome outcome;
    try {
        ZipReader reader(path);
        outcome.stage = Stage::OpenEntry;
        reader.openEntry();
        outcome.stage = Stage::Read;
        std::vector<std::size_t> pieces;
        outcome.data = readPieces(reader, pieces, limit);
        outcome.stage = Stage::Close;
        reader.closeEntry();
        outcome.stage = Stage::None;
    } catch (const CZipException& e) {
        outcome.cause = e.cause();
    }
    return outcome;
}

class ZipFixture : public ::testing::Test {
protected:
    // A copy of an archive the build made, in the test's own folder.
    std::string copy(const std::string& fixture, const std::string& archive = "a.zip") {
        return save(archive, ZipFixtures::archive(fixture));
    }

    std::string save(const std::string& name, const std::string& bytes) {
        folder_.writeFile(name, bytes);
        return folder_ / name;
    }

    test::TemporaryFolder folder_;
};

using ZipReaderTools = ZipFixture;
using ZipReaderDamage = ZipFixture;
using ZipReaderEntries = ZipFixture;
using ZipReaderState = ZipFixture;

TEST_F(ZipReaderTools, ReadsEveryEntryInFullPiecesWithOrWithoutDataInFront) {
    const Members members = {{"notes.txt", text(70000)},
                             {"noise.bin", noise(50000)},
                             {"five.dat", noise(5000)},
                             {"empty.txt", ""}};
    const struct {
        const char* fixture;
        bool stored;
    } tools[] = {{"tools-zip-stored.zip", true},
                 {"tools-zip-deflated.zip", false},
                 {"tools-python-stored.zip", true},
                 {"tools-python-deflated.zip", false},
                 {"tools-cmake-tar.zip", false}};
    for (const auto& tool : tools) {
        const std::string archive = ZipFixtures::archive(tool.fixture);
        for (const std::size_t before : {0, 100}) {
            SCOPED_TRACE(testing::Message() << tool.fixture << ", " << before);
            ZipReader reader(save("front.zip", std::string(before, 'x') + archive));
            EXPECT_EQ(reader.bytesBefore(), before);
            for (const auto& [name, data] : members) {
                ASSERT_TRUE(name == members[0].first || reader.goToNextEntry());
                ZipEntryInfo info;
                char nameBuffer[260];
                reader.entryInfo(&info, nameBuffer, sizeof nameBuffer);
                EXPECT_EQ(nameBuffer, name);
                if (tool.stored || name == "notes.txt") {
                    EXPECT_EQ(info.method, tool.stored ? 0 : 8);
                }
                reader.openEntry();
                std::vector<std::size_t> pieces;
                EXPECT_EQ(readPieces(reader, pieces), data);
                std::vector<std::size_t> full(data.size() / 2048, 2048);
                full.push_back(data.size() % 2048);
                if (full.back() != 0) {
                    full.push_back(0);
                }
                EXPECT_EQ(pieces, full) << name;
                EXPECT_NO_THROW(reader.closeEntry());
            }
            EXPECT_FALSE(reader.goToNextEntry());
        }
    }
}

TEST_F(ZipReaderDamage, RefusesEachDamageAtTheRightStep) {
    const std::string data = text(5000);
    const std::string deflated = ZipFixtures::archive("damage-deflated.zip");
    const std::string stored = ZipFixtures::archive("damage-stored.zip");
    const Layout layout(deflated);
    const std::uint32_t directorySize = get(deflated, layout.at[End] + 12, 4);
    const std::uint32_t halfData = get(deflated, layout.at[Central] + 20, 4) / 2;
    const std::uint32_t crc = crcOf(data);
    const std::uint32_t shortCrc = crcOf(data.substr(0, 4999));
    const struct {
        const char* what;
        std::vector<Edit> edits;
        Stage stage;
        Cause cause;
        bool stored = false;
        std::size_t appended = 0;
        std::size_t readLimit = std::string::npos;
    } cases[] = {
        {"end record 65,535 bytes from the end", {}, Stage::None, Cause::Generic, false, 65513},
        {"end record 65,536 bytes from the end", {}, Stage::Open, Cause::BadArchive, false, 65514},
        {"end signature", {{End, 0, 1, 'Q'}}, Stage::Open, Cause::BadArchive},
        {"no entries",
         {{End, 8, 4, 0}, {End, 12, 4, 0}, {End, 16, 4, 0}},
         Stage::Open,
         Cause::BadArchive},
        {"disk number", {{End, 4, 2, 1}}, Stage::Open, Cause::BadArchive},
        {"central disk", {{End, 6, 2, 1}}, Stage::Open, Cause::BadArchive},
        {"entry counts", {{End, 8, 2, 2}}, Stage::Open, Cause::BadArchive},
        {"directory size", {{End, 12, 4, directorySize + 1}}, Stage::Open, Cause::BadArchive},
        {"directory offset", {{End, 16, 4, 0xFFFFFFF0}}, Stage::Open, Cause::BadArchive},
        {"offset plus size wraps",
         {{End, 12, 4, 1u << 31}, {End, 16, 4, 1u << 31}},
         Stage::Open,
         Cause::BadArchive},
        {"archive comment length", {{End, 20, 2, 1}}, Stage::Open, Cause::BadArchive},
        {"central signature", {{Central, 0, 1, 'Q'}}, Stage::Open, Cause::BadArchive},
        {"central name length", {{Central, 28, 2, 0xFFFF}}, Stage::Open, Cause::BadArchive},
        {"entry comment length", {{Central, 32, 2, 30}}, Stage::Open, Cause::BadArchive},
        {"local header offset", {{Central, 42, 4, 0xFFFFFF00}}, Stage::Open, Cause::BadArchive},
        {"compressed size", {{Both, 20, 4, 0x7FFFFFFF}}, Stage::Open, Cause::BadArchive},
        {"method 12", {{Both, 10, 2, 12}}, Stage::OpenEntry, Cause::BadArchive},
        {"local method", {{Local, 8, 2, 0}}, Stage::OpenEntry, Cause::BadArchive},
        {"local signature", {{Local, 0, 1, 'Q'}}, Stage::OpenEntry, Cause::BadArchive},
        {"local name length", {{Local, 26, 2, 6}}, Stage::OpenEntry, Cause::BadArchive},
        {"local CRC", {{Local, 14, 4, crc ^ 1}}, Stage::OpenEntry, Cause::BadArchive},
        {"local CRC, sizes deferred",
         {{Local, 14, 4, crc ^ 1}, {Local, 6, 2, 8}},
         Stage::None,
         Cause::Generic},
        {"stored sizes differ", {{Both, 20, 4, 4999}}, Stage::OpenEntry, Cause::BadArchive, true},
        {"CRC, stored", {{Both, 16, 4, crc ^ 1}}, Stage::Close, Cause::BadCrc, true},
        {"CRC, deflated", {{Both, 16, 4, crc ^ 1}}, Stage::Close, Cause::BadCrc},
        {"CRC, read half way",
         {{Both, 16, 4, crc ^ 1}},
         Stage::None,
         Cause::Generic,
         false,
         0,
         2048},
        {"deflate data cut short", {{Both, 20, 4, halfData}}, Stage::Read, Cause::BufferError},
        {"corrupt deflate data", {{Data, 0, 1, 0xFF}}, Stage::Read, Cause::DataError},
        {"inflates beyond its size",
         {{Both, 24, 4, 4999}, {Both, 16, 4, shortCrc}},
         Stage::Read,
         Cause::BadArchive},
        {"inflates short of its size", {{Both, 24, 4, 5001}}, Stage::Read, Cause::BadArchive},
    };
    for (const auto& c : cases) {
        std::string bytes = c.stored ? stored : deflated;
        apply(bytes, c.edits);
        bytes.append(c.appended, '\0');
        const Outcome outcome = extractFirst(save("damaged.zip", bytes), c.readLimit);
        EXPECT_EQ(outcome.stage, c.stage) << c.what;
        EXPECT_EQ(outcome.cause, c.cause) << c.what;
        if (c.stage == Stage::None) {
            EXPECT_EQ(outcome.data, data.substr(0, c.readLimit)) << c.what;
        }
    }
}

TEST_F(ZipReaderEntries, FillsBuffersWithTerminatorsOnlyWhenRoomIsLeft) {
    const std::string fields[3] = {std::string(260, 'n'),
                                   std::string("\xCA\xFE\x04\x00\xDE\xAD\xBE\xEF", 8), "hello"};
    ZipReader reader(copy("fields.zip"));
    ZipEntryInfo info;
    reader.entryInfo(&info);
    EXPECT_EQ(info.crc32, crcOf(text(3000)));
    EXPECT_EQ(info.uncompressedSize, 3000u);
    EXPECT_EQ(info.nameLength + info.extraLength + info.commentLength, 260 + 8 + 5);
    EXPECT_EQ(info.modifiedTime(), (platform::LocalTime{2021, 6, 15, 13, 45, 30}));

    const std::size_t cases[][3] = {{260, 0, 0}, {300, 0, 0}, {10, 0, 0},
                                    {0, 8, 6},   {0, 0, 5},   {261, 9, 4}};
    for (const auto& sizes : cases) {
        std::string buffers[3];
        for (int i = 0; i < 3; ++i) {
            buffers[i].assign(sizes[i] + 1, '#');
        }
        reader.entryInfo(nullptr, buffers[0].data(), sizes[0], buffers[1].data(), sizes[1],
                         buffers[2].data(), sizes[2]);
        for (int i = 0; i < 3; ++i) {
            std::string expected(sizes[i] + 1, '#');
            expected.replace(0, std::min(sizes[i], fields[i].size()), fields[i], 0, sizes[i]);
            if (fields[i].size() < sizes[i]) {
                expected[fields[i].size()] = '\0';
            }
            EXPECT_EQ(buffers[i], expected) << sizes[0] << " " << sizes[1] << " field " << i;
        }
    }
}

// Permissions are a POSIX matter; ZipReaderPosixTest checks the modes made on Unix.
TEST_F(ZipReaderEntries, RestoresTheEntryTimeOfAnArchiveMadeElsewhere) {
    ZipReader reader(copy("mode-0-754.zip"));
    ZipEntryInfo info;
    reader.entryInfo(&info);
    const std::string path = save("tool", "#!/bin/sh\n");
    EXPECT_TRUE(ZipReader::restoreEntryStatus(path, info));
    platform::Platform& system = platform::currentPlatform();
    EXPECT_EQ(system.files().entryStatus(path).writeTime,
              system.clock().fromLocalTime({2021, 6, 15, 13, 45, 30}));
}

TEST_F(ZipReaderState, RefusesMisuseNamingTheArchiveOnlyWhenOpen) {
    const std::string archive = copy("abc-zip-stored.zip");
    char buffer[16];
    const struct {
        const char* what;
        std::function<void(ZipReader&)> action;
        Cause cause;
        std::string path;
    } cases[] = {
        {"read with no entry open",
         [&](ZipReader& r) {
             r.open(archive);
             r.readEntry(buffer, 1);
         },
         Cause::NoEntry, archive},
        {"read after close",
         [&](ZipReader& r) {
             r.open(archive);
             r.openEntry();
             r.close();
             r.readEntry(buffer, 1);
         },
         Cause::NoEntry, ""},
        {"information while closed", [](ZipReader& r) { r.entryInfo(nullptr); }, Cause::NoEntry,
         ""},
        {"open entry while closed", [](ZipReader& r) { r.openEntry(); }, Cause::NoEntry, ""},
        {"missing file", [&](ZipReader& r) { r.open(archive + ".gone"); }, Cause::CannotOpen,
         archive + ".gone"},
    };
    for (const auto& c : cases) {
        ZipReader reader;
        try {
            c.action(reader);
            ADD_FAILURE() << c.what;
        } catch (const CZipException& e) {
            EXPECT_EQ(e.cause(), c.cause) << c.what;
            EXPECT_EQ(e.archivePath(), c.path) << c.what;
        }
    }
}

TEST_F(ZipReaderState, CloseChecksTheCrcYetClosesTheFile) {
    const std::string original = copy("abc-python-stored.zip");
    std::string bytes = ZipFixtures::archive("abc-python-stored.zip");
    apply(bytes, {{Both, 16, 4, crcOf("abd")}});
    ZipReader reader(save("crc.zip", bytes));
    reader.openEntry();
    char buffer[8];
    EXPECT_EQ(reader.readEntry(buffer, sizeof buffer), 3u);
    EXPECT_THROW(reader.close(), CZipException);
    EXPECT_FALSE(reader.isOpen());
    reader.open(original);
    EXPECT_TRUE(reader.isOpen());
}

}  // namespace
}  // namespace quillfen
