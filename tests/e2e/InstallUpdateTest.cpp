#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHttpServer.h"
#include "support/ZipBuilder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

const std::string kNext = QUILLFEN_NEXT_VERSION;
const std::string kArchive = "quillfen-" + kNext + "-linux-x86_64.zip";

std::string versionLine(const std::string& version) {
    return "quillfen-cli " + version;
}

// Signed archives of the next version, good and hostile, made once for every test and signed
// with this build's test key as a release signs them.
class Archives {
public:
    using Entry = test::ZipMember;

    Archives() {
        for (const char* program : {"quillfen", "quillfen-cli"}) {
            next_.emplace_back(program, readWhole(fs::path(QUILLFEN_NEXT_VERSION_DIR) / program),
                               0100755);
        }
    }

    const std::vector<Entry>& next() const { return next_; }

    // The archive's bytes; its signature is written beside it.
    std::string make(const std::string& name, const std::vector<Entry>& entries) const {
        const std::string bytes = test::zipArchive(entries);
        folder_.writeFile(name, bytes);
        const auto signing = test::runProgram(
            "/bin/bash", {std::string(QUILLFEN_SOURCE_DIR) + "/scripts/sign-file.sh",
                          folder_ / name, QUILLFEN_UPDATE_TEST_KEY});
        if (signing.exitCode != 0) {
            throw std::runtime_error("sign-file.sh: " + signing.err);
        }
        return bytes;
    }
    std::string signatureOf(const std::string& name) const {
        return folder_.readFile(name + ".sig");
    }

    static std::string readWhole(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

private:
    test::TemporaryFolder folder_;
    std::vector<Entry> next_;
};

const Archives& archives() {
    static const Archives made;
    return made;
}

// What the server offers: the announced version's archive under its release name, its
// signature beside it, and the size it announces.
struct Offer {
    std::string archive;
    std::string signature;
    std::string size;
    int signatureStatus = 200;
};

// A copy of this build's programs in a folder of its own (program/, beside which share/quillfen
// makes it an installed copy), updated by its own /Update from a server on 127.0.0.1.
class InstallUpdateTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"program", "tmp", "home"}) {
            fs::create_directories(folder / name);
        }
        fs::copy_file(QUILLFEN_PROGRAM_PATH, folder / "program/quillfen");
        fs::copy_file(QUILLFEN_CLI_PATH, folder / "program/quillfen-cli");
    }

    test::ProgramResult update(const Offer& offer) {
        test::TestHttpServer* self = nullptr;
        test::TestHttpServer server([&](const std::string& target) -> test::TestHttpServer::Reply {
            if (target.starts_with("/Quillfen/")) {
                return {200, "[Begin]\r\nVer=" + kNext + "\r\nLink=" + self->base() + "/r/" +
                                 kArchive + "\r\nSize=" + offer.size + "\r\n[End]\r\n"};
            }
            if (target == "/r/" + kArchive) {
                return {200, offer.archive};
            }
            if (target == "/r/" + kArchive + ".sig") {
                return {offer.signatureStatus, offer.signature};
            }
            return {404, ""};
        });
        self = &server;
        const auto result = test::runProgramWithin(
            folder / "program/quillfen", {"/Update"},
            {"QUILLFEN_UPDATE_BASE=" + server.base(), "TMPDIR=" + (folder / "tmp"),
             "XDG_CACHE_HOME=" + (folder / "cache"), "HOME=" + (folder / "home"),
             "XDG_CONFIG_HOME=" + (folder / "home/.config"),
             "http_proxy=", "HTTP_PROXY=", "no_proxy=*"},
            120000);
        requests = server.targets();
        return result;
    }

    std::string version() const {
        const auto result = test::runProgram(folder / "program/quillfen-cli", {"--version"});
        return result.out.substr(0, result.out.find('\n'));
    }

    // Every file below the test's folder but the user's cache, with its contents.
    std::map<std::string, std::string> filesOutsideTheCache() const {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder.path())) {
            const std::string relative = fs::relative(entry.path(), folder.path());
            if (!relative.starts_with("cache") && entry.is_regular_file()) {
                found[relative] = Archives::readWhole(entry.path());
            }
        }
        return found;
    }

    bool downloadsAreEmpty() const {
        const fs::path downloads = folder / "cache/quillfen/update/downloads";
        return !fs::exists(downloads) || fs::is_empty(downloads);
    }

    test::TemporaryFolder folder;
    std::vector<std::string> requests;
};

Offer signedOffer(const std::string& name, const std::vector<Archives::Entry>& entries) {
    const std::string bytes = archives().make(name, entries);
    return {bytes, archives().signatureOf(name), std::to_string(bytes.size())};
}

// Whatever is wrong with the download or the archive, the copy keeps running its own version,
// unchanged, nothing stays in the download folder and nothing is written outside the program's
// and the user's cache folders; the signed next version then installs.
TEST_F(InstallUpdateTest, OnlyASignedWholeWorkingArchiveReplacesThePortableCopy) {
    const Offer good = signedOffer("good.zip", archives().next());
    const Offer other =
        signedOffer("other.zip", {{"quillfen-cli", "#!/bin/sh\necho other\n", 0100755}});
    Offer truncated = good;
    truncated.archive.resize(good.archive.size() / 2);
    truncated.size = std::to_string(truncated.archive.size());
    std::vector<Archives::Entry> outside = archives().next();
    outside.emplace_back("../escaped", "x");
    std::vector<Archives::Entry> absolute = archives().next();
    absolute.emplace_back("/tmp/quillfen-absolute-entry", "x");
    const std::vector<Archives::Entry> withoutCli = {archives().next()[0]};
    std::vector<Archives::Entry> endsAtOnce = archives().next();
    endsAtOnce[1].contents = "#!/bin/sh\nexit 0\n";

    const struct {
        const char* what;
        Offer offer;
    } cases[] = {
        {"a wrong signature", {good.archive, std::string(64, 'A'), good.size}},
        {"the signature of another archive", {good.archive, other.signature, good.size}},
        {"no signature", {good.archive, "", good.size, 404}},
        {"a signature one byte short", {good.archive, good.signature.substr(1), good.size}},
        {"a truncated archive of the announced size",
         {truncated.archive, good.signature, truncated.size}},
        {"a signed archive with an entry above the folder", signedOffer("up.zip", outside)},
        {"a signed archive with an absolute entry", signedOffer("abs.zip", absolute)},
        {"a signed archive without the command-line program", signedOffer("nocli.zip", withoutCli)},
        {"a signed new program that ends at once", signedOffer("ends.zip", endsAtOnce)},
    };
    const auto before = filesOutsideTheCache();
    for (const auto& c : cases) {
        EXPECT_EQ(update(c.offer).exitCode, 0) << c.what;
        EXPECT_EQ(version(), versionLine(QUILLFEN_VERSION_TEXT)) << c.what;
        EXPECT_TRUE(filesOutsideTheCache() == before) << c.what;
        EXPECT_TRUE(downloadsAreEmpty()) << c.what;
        EXPECT_FALSE(fs::exists("/tmp/quillfen-absolute-entry")) << c.what;
    }

    EXPECT_EQ(update(good).exitCode, 0);
    EXPECT_EQ(version(), versionLine(kNext));
    EXPECT_EQ(Archives::readWhole(folder / "program/quillfen"), archives().next()[0].contents);
    EXPECT_EQ(requests.size(), 3u) << "the answer, the archive and its signature";
    EXPECT_TRUE(downloadsAreEmpty());
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / "program")) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"quillfen", "quillfen-cli"}));
}

// The update replaces the programs only once every program of the folder has ended, as the window
// that started it does some time after.
TEST_F(InstallUpdateTest, TheUpdateWaitsForTheFoldersProgramsToEnd) {
    fs::copy_file("/bin/sleep", folder / "program/sleeper");
    const pid_t sleeper = ::fork();
    if (sleeper == 0) {
        ::execl((folder / "program/sleeper").c_str(), "sleeper", "3", nullptr);
        ::_exit(127);
    }
    EXPECT_EQ(update(signedOffer("good.zip", archives().next())).exitCode, 0);
    int status = 0;
    EXPECT_EQ(::waitpid(sleeper, &status, WNOHANG), sleeper) << "the update ended first";
    EXPECT_EQ(version(), versionLine(kNext));
}

// A copy that the package manager installed is never written to: the check records the newer
// version for the window and fetches nothing.
TEST_F(InstallUpdateTest, APackageInstalledCopyOnlyRecordsTheNewerVersion) {
    fs::create_directories(folder / "share/quillfen");
    const auto before = filesOutsideTheCache();
    EXPECT_EQ(update(signedOffer("good.zip", archives().next())).exitCode, 0);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_TRUE(filesOutsideTheCache() == before);
    EXPECT_EQ(folder.readFile("cache/quillfen/update/available-version"), kNext + "\n");
    EXPECT_EQ(version(), versionLine(QUILLFEN_VERSION_TEXT));
}

}  // namespace
}  // namespace quillfen
