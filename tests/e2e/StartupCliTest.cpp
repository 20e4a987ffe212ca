#include <gtest/gtest.h>

#include <filesystem>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

const char* const kModules[] = {"libquillfen-icu.so", "libquillfen-mime.so"};

bool mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A copy of quillfen-cli, with or without its modules beside it, run under the dynamic loader's
// own report of every object it loads (LD_DEBUG=files, on standard error), so that what a run
// loads is seen from outside the program.
class StartupCliTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* copy : {"whole", "bare"}) {
            fs::create_directories(folder / copy);
            fs::copy_file(QUILLFEN_CLI_PATH, fs::path(folder / copy) / "quillfen-cli");
        }
        for (const char* module : kModules) {
            fs::copy_file(fs::path(QUILLFEN_CLI_PATH).parent_path() / module,
                          fs::path(folder / "whole") / module);
        }
        folder.writeFile("tree/Report.TXT",
                         "x Gr\xfc\xdf"
                         "e x");
        folder.writeFile("tree/notes.md", "nothing");
    }

    test::ProgramResult run(const std::string& copy, std::vector<std::string> arguments,
                            const std::string& locale = "C.UTF-8") const {
        return test::runProgram(
            folder / (copy + "/quillfen-cli"), arguments,
            {"LD_DEBUG=files", "LANG=" + locale, "LC_ALL=", "LC_MESSAGES=", "HOME=" + folder.path(),
             "XDG_DATA_HOME=" + (folder / "data"), "XDG_CONFIG_HOME=" + (folder / "config")});
    }

    test::TemporaryFolder folder;
};

TEST_F(StartupCliTest, LoadsIcuAndQtOnlyForTheSearchesThatNeedThem) {
    const std::string tree = folder / "tree";
    const std::string report = tree + "/Report.TXT";
    const struct {
        std::vector<std::string> arguments;
        std::string locale;
        bool icu;
        bool qt;
        std::string out;
    } cases[] = {
        {{"--version"}, "C.UTF-8", false, false, "quillfen-cli "},
        {{"--help"}, "de_DE.UTF-8", false, false, "find"},
        {{"find", "--in", tree, "--name", "*.txt", "--format", "paths"},
         "C.UTF-8",
         false,
         false,
         report + "\n"},
        {{"find", "--in", tree, "--name", "R*", "--sort", "name", "--format", "paths"},
         "zh_CN.UTF-8",
         false,
         false,
         report + "\n"},
        {{"find", "--in", folder / "nowhere"}, "de_DE.UTF-8", false, false, ""},
        {{"find", "--in", tree, "--text", "GRÜßE", "--format", "paths"},
         "de_DE.UTF-8",
         true,
         false,
         report + "\n"},
        {{"find", "--in", tree, "--name", "*.md", "--format", "tsv"},
         "C.UTF-8",
         false,
         true,
         "notes.md\t" + tree + "/\tMarkdown document\t"},
    };
    for (const auto& c : cases) {
        const std::string label = c.arguments.back() + " in " + c.locale;
        const test::ProgramResult result = run("whole", c.arguments, c.locale);
        // Qt loads ICU too.
        EXPECT_EQ(mentions(result.err, "libicuuc"), c.icu || c.qt) << label;
        EXPECT_EQ(mentions(result.err, "libquillfen-icu.so"), c.icu) << label;
        EXPECT_EQ(mentions(result.err, "libQt6Core"), c.qt) << label;
        EXPECT_EQ(mentions(result.err, "libquillfen-mime.so"), c.qt) << label;
        EXPECT_TRUE(mentions(result.out, c.out)) << label << ": " << result.out;
    }
}

// Without its modules the program still answers, leaves out what they would give, and names the
// missing file once.
TEST_F(StartupCliTest, AMissingModuleIsNamedAndTheSearchGoesOn) {
    const std::string tree = folder / "tree";
    const struct {
        std::vector<std::string> arguments;
        std::string missing;
        std::string out;
    } cases[] = {
        {{"find", "--in", tree, "--text", "GRÜßE", "--encodings", "ansi", "--format", "paths"},
         "libquillfen-icu.so",
         ""},
        {{"find", "--in", tree, "--name", "*.md", "--format", "tsv"},
         "libquillfen-mime.so",
         "notes.md\t" + tree + "/\t\t"},
    };
    for (const auto& c : cases) {
        const test::ProgramResult result = run("bare", c.arguments, "de_DE.UTF-8");
        const std::string message = "quillfen-cli: cannot load " + c.missing + " (" +
                                    (folder / "bare/") + c.missing +
                                    ": cannot open shared object file";
        EXPECT_TRUE(mentions(result.err, message)) << result.err;
        EXPECT_EQ(result.err.find(message), result.err.rfind(message)) << "named once";
        EXPECT_TRUE(mentions(result.out, c.out)) << result.out;
        EXPECT_LE(result.exitCode, 1) << c.missing;
    }
}

}  // namespace
}  // namespace quillfen
