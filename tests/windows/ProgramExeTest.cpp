#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/windows/WindowsSystemInfo.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHttpServer.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The modes of quillfen.exe that open no window, run as a private copy of the built program from
// a folder of the test (with a blank in its name), where its icon files and settings would land.
class ProgramExeTest : public testing::Test {
protected:
    static constexpr int kLimitMs = 60000;

    void SetUp() override {
        const std::string self = platform::WindowsSystemInfo().executablePath();
        const std::string built = self.substr(0, self.rfind('\\') + 1) + "quillfen.exe";
        fs::create_directories(pathOf(folder / "pro gram"));
        fs::copy_file(pathOf(built), pathOf(program()));
    }

    std::string program() const { return folder / "pro gram/quillfen.exe"; }

    test::ProgramResult run(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {}) const {
        return test::runProgramWithin(program(), arguments, environment, kLimitMs);
    }

    test::TemporaryFolder folder;
};

// The command line splits into name and source at the first blank; the source keeps its blanks.
TEST_F(ProgramExeTest, GetIconWritesTheProgramsOwnIconBesideIt) {
    EXPECT_EQ(run({"/GetIcon", "ab", program()}).exitCode, 0);
    const fs::path written = pathOf(folder / "pro gram/temp/ab.ico");
    ASSERT_TRUE(fs::exists(written));
    std::string header(4, '\0');
    std::ifstream(written, std::ios::binary).read(header.data(), 4);
    EXPECT_EQ(header, std::string("\0\0\1\0", 4));
}

// "/Update" asks the version server once and ends without opening a window or starting another
// copy; the answer names no newer version, so nothing is downloaded.
TEST_F(ProgramExeTest, UpdateAsksTheServerAndEnds) {
    test::TestHttpServer server([](const std::string&) {
        return test::TestHttpServer::Reply{
            200, "[Begin]\r\nVer=1.3.3.20220312\r\nLink=none\r\nSize=1\r\n[End]\r\n"};
    });
    const test::ProgramResult result = run({"/Update"}, {"QUILLFEN_UPDATE_BASE=" + server.base()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> targets = server.targets();
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_TRUE(targets.front().starts_with("/Quillfen/")) << targets.front();
}

}  // namespace
}  // namespace quillfen
