// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "platform/windows/QuotedCommandLine.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::platform {
namespace {

using Arguments = std::vector<std::string>;
using test::ScratchFolder;

// How a child program would split the line: the system's own CommandLineToArgvW.
Arguments splitBySystem(const std::string& line) {
    int count = 0;
    wchar_t** split = CommandLineToArgvW(toWide(line).c_str(), &count);
    Arguments arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(fromWide(split[i]));
    }
    LocalFree(split);
    return arguments;
}

const Arguments kAwkwardArguments = {
    "",
    " ",
    "plain",
    "two words",
    "tab\there",
    "  leading and trailing  ",
    "\"",
    "say \"hi\"",
    "\\",
    "trailing\\",
    "trailing two\\\\",
    "C:\\Program Files\\Quillfen\\",
    "back\\\"quote",
    "two back\\\\\"quote",
    "\\\\server\\share\\x y",
    "\"\"",
    "line\nbreak",
    "vertical\vtab",
    "percent %PATH% and ^&|<>()",
    "Grüße aus Köln",
    "文件 名",
    "emoji \xF0\x9F\x98\x80",
    // Lone surrogates, as WTF-8 carries them in Windows names.
    "lone \xED\xA0\x80 high",
    "lone \xED\xB0\x80 low",
};

TEST(QuotedCommandLine, EachAwkwardArgumentComesBackWhole) {
    for (const std::string& argument : kAwkwardArguments) {
        const Arguments arguments = {"C:\\Program Files\\app.exe", argument, "after"};
        const QuotedCommandLine line = quoteCommandLine(arguments);
        ASSERT_FALSE(line.refused()) << line.refusal;
        EXPECT_EQ(splitBySystem(line.text), arguments) << line.text;
    }
}

TEST(QuotedCommandLine, AllAwkwardArgumentsTogetherComeBackWhole) {
    Arguments arguments = {"C:\\tools\\x.exe"};
    arguments.insert(arguments.end(), kAwkwardArguments.begin(), kAwkwardArguments.end());
    const QuotedCommandLine line = quoteCommandLine(arguments);
    EXPECT_EQ(splitBySystem(line.text), arguments) << line.text;
}

// Every text of up to five characters made of the characters that the rules are about.
TEST(QuotedCommandLine, EveryShortMixOfBlanksQuotesAndBackslashesComesBackWhole) {
    const std::string alphabet = "a \t\\\"";
    std::vector<std::string> texts = {""};
    for (std::size_t begin = 0, length = 0; length < 5; ++length) {
        const std::size_t end = texts.size();
        for (std::size_t i = begin; i < end; ++i) {
            for (const char c : alphabet) {
                texts.push_back(texts[i] + c);
            }
        }
        begin = end;
    }
    ASSERT_EQ(texts.size(), 3906u);
    for (const std::string& text : texts) {
        const Arguments arguments = {"x.exe", text, text, "z"};
        ASSERT_EQ(splitBySystem(quoteCommandLine(arguments).text), arguments) << "[" << text << "]";
    }
}

TEST(QuotedCommandLine, QuotesOnlyWhereNeeded) {
    const struct {
        std::string argument;
        std::string quoted;
    } cases[] = {
        {"plain", "plain"},     {"C:\\dir\\", "C:\\dir\\"},   {"a%b^c&d", "a%b^c&d"},
        {"", "\"\""},           {"a b", "\"a b\""},           {"a b\\", "\"a b\\\\\""},
        {"a\"b", "\"a\\\"b\""}, {"a\\\"b", "\"a\\\\\\\"b\""}, {"a\\b c", "\"a\\b c\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoteArgument(c.argument), c.quoted) << c.argument;
    }
}

TEST(QuotedCommandLine, RefusesWhatNoCommandLineCanCarry) {
    const struct {
        Arguments arguments;
        std::string mentioned;
    } cases[] = {
        {{}, "no program"},
        {{""}, "no program"},
        {{"x\"y.exe"}, "x\"y.exe"},
        {{"x.exe", std::string("a\0b", 3)}, "zero character"},
    };
    for (const auto& c : cases) {
        const QuotedCommandLine line = quoteCommandLine(c.arguments);
        EXPECT_TRUE(line.refused());
        EXPECT_TRUE(line.text.empty());
        EXPECT_NE(line.refusal.find(c.mentioned), std::string::npos) << line.refusal;
    }
}

TEST(QuotedCommandLine, RecognisesBatchFilesAsTheSystemNamesThem) {
    const struct {
        std::string program;
        bool batch;
    } cases[] = {
        {"edit.bat", true},          {"EDIT.BAT", true},    {"C:\\a b\\Edit.Cmd", true},
        {"edit.bat.", true},         {"edit.cmd  ", true},  {"edit.bat. .", true},
        {"edit.exe", false},         {"edit.batch", false}, {"bat", false},
        {"C:\\x.bat\\y.exe", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isBatchProgram(c.program), c.batch) << c.program;
    }
}

TEST(QuotedCommandLine, BatchArgumentsAreQuotedUnlessPlain) {
    const QuotedCommandLine line =
        quoteCommandLine({"C:\\my tools\\edit.bat", "C:\\notes\\a.txt", "a b", "x&y|z", "(1)", "^",
                          "", "Köln", "trailing\\", "tab\there"});
    ASSERT_FALSE(line.refused()) << line.refusal;
    EXPECT_EQ(line.text,
              "\"C:\\my tools\\edit.bat\" C:\\notes\\a.txt \"a b\" \"x&y|z\" \"(1)\" \"^\" \"\" "
              "\"Köln\" trailing\\ \"tab\there\"");
}

TEST(QuotedCommandLine, BatchArgumentsThatCmdWouldAlterAreRefused) {
    const struct {
        std::string argument;
        std::string character;
    } cases[] = {
        {"50%", "the character %"},
        {"%PATH%", "the character %"},
        {"hello!", "the character !"},
        {"say \"x\"", "the character \""},
        {"line\nbreak", "the control character 0x0A"},
        {"return\r", "the control character 0x0D"},
        {"bell\a", "the control character 0x07"},
    };
    for (const auto& c : cases) {
        const QuotedCommandLine line = quoteCommandLine({"edit.cmd", "ok", c.argument});
        EXPECT_TRUE(line.refused()) << c.argument;
        EXPECT_NE(line.refusal.find("edit.cmd"), std::string::npos) << line.refusal;
        EXPECT_NE(line.refusal.find(c.character), std::string::npos) << line.refusal;
    }
    EXPECT_TRUE(quoteCommandLine({"C:\\100%\\edit.bat"}).refused());
    EXPECT_FALSE(quoteCommandLine({"C:\\100%\\edit.exe", "50%"}).refused());
}

class ProcessLauncherTest : public testing::Test {
protected:
    static std::string echoProgram() {
        const std::string self = WindowsSystemInfo().executablePath();
        return self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    }

    WindowsProcessLauncher::Outcome runEcho(const Arguments& arguments, LaunchOptions options) {
        Arguments line = {echoProgram()};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return launcher_.run(line, options);
    }

    static Arguments splitAtZeros(const std::string& bytes) {
        Arguments arguments;
        std::size_t start = 0;
        for (std::size_t zero; (zero = bytes.find('\0', start)) != std::string::npos;
             start = zero + 1) {
            arguments.push_back(bytes.substr(start, zero - start));
        }
        return arguments;
    }

    static constexpr LaunchOptions kWaitHidden{true, false, -1};

    WindowsProcessLauncher launcher_;
    ScratchFolder folder_;
};

TEST_F(ProcessLauncherTest, ChildReceivesEveryArgumentWhole) {
    const std::string output = folder_.path() + "received";
    Arguments arguments = {"write", output};
    arguments.insert(arguments.end(), kAwkwardArguments.begin(), kAwkwardArguments.end());
    const auto outcome = runEcho(arguments, kWaitHidden);
    ASSERT_TRUE(outcome.started) << outcome.error;
    EXPECT_EQ(outcome.exitCode, 0u);
    const std::optional<std::string> received = ScratchFolder::readFile(output);
    ASSERT_TRUE(received);
    EXPECT_EQ(splitAtZeros(*received), kAwkwardArguments);
}

// A setup reads its last argument, "/D=folder", raw from its command line, so the launcher can
// leave that one as it is: a program that splits its line then sees its words apart. Otherwise
// it arrives whole.
TEST_F(ProcessLauncherTest, OnlyALastArgumentAsIsArrivesInWords) {
    const std::string output = folder_.path() + "received";
    const std::string target = "/D=C:\\Program Files\\Quillfen";
    const struct {
        bool asIs;
        Arguments received;
    } cases[] = {
        {false, {"a b", target}},
        {true, {"a b", "/D=C:\\Program", "Files\\Quillfen"}},
    };
    for (const auto& c : cases) {
        LaunchOptions options = kWaitHidden;
        options.lastArgumentAsIs = c.asIs;
        const auto outcome = runEcho({"write", output, "a b", target}, options);
        ASSERT_TRUE(outcome.started) << outcome.error;
        EXPECT_EQ(splitAtZeros(ScratchFolder::readFile(output).value_or("")), c.received) << c.asIs;
    }
}

TEST_F(ProcessLauncherTest, ReportsTheExitCodeWhenWaiting) {
    for (const std::uint32_t code : {0u, 7u, 255u}) {
        const auto outcome = runEcho({"exit", std::to_string(code)}, kWaitHidden);
        ASSERT_TRUE(outcome.started) << outcome.error;
        EXPECT_EQ(outcome.exitCode, code);
    }
}

TEST_F(ProcessLauncherTest, EndsAProgramStillRunningAtTheTimeOut) {
    const auto outcome = runEcho({"sleep", "600000"}, {true, false, 200});
    ASSERT_TRUE(outcome.started) << outcome.error;
    EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
}

TEST_F(ProcessLauncherTest, AProgramEndedBeforeTheTimeOutKeepsItsExitCode) {
    const auto outcome = runEcho({"exit", "3"}, {true, false, 600000});
    ASSERT_TRUE(outcome.started) << outcome.error;
    EXPECT_EQ(outcome.exitCode, 3u);
}

TEST_F(ProcessLauncherTest, WithoutWaitingOnlyStarts) {
    const auto outcome = runEcho({"exit", "5"}, {false, false, -1});
    EXPECT_TRUE(outcome.started) << outcome.error;
    EXPECT_FALSE(outcome.exitCode);
}

TEST_F(ProcessLauncherTest, AMissingProgramDoesNotStartAndIsNamed) {
    const std::string missing = folder_.path() + "no such program.exe";
    const auto outcome = launcher_.run({missing, "x"}, kWaitHidden);
    EXPECT_FALSE(outcome.started);
    EXPECT_NE(outcome.error.find(missing), std::string::npos) << outcome.error;
    EXPECT_FALSE(launcher_.launch({missing}, kWaitHidden));
}

TEST_F(ProcessLauncherTest, BatchFileReceivesQuotedSpecialCharactersLiterally) {
    const std::string script = folder_.path() + "echo args.bat";
    const std::string output = folder_.path() + "out.txt";
    ASSERT_TRUE(ScratchFolder::writeFile(script, "@echo off\r\n>\"%~dp0out.txt\" echo %1\r\n"));
    const auto outcome = launcher_.run({script, "a b & c | (d) ^e <f>"}, kWaitHidden);
    ASSERT_TRUE(outcome.started) << outcome.error;
    EXPECT_EQ(ScratchFolder::readFile(output), "\"a b & c | (d) ^e <f>\"\r\n");
}

TEST_F(ProcessLauncherTest, BatchFileIsNotStartedWithAnArgumentCmdWouldExpand) {
    const std::string script = folder_.path() + "mark.bat";
    const std::string output = folder_.path() + "out.txt";
    ASSERT_TRUE(ScratchFolder::writeFile(script, "@echo off\r\n>\"%~dp0out.txt\" echo ran\r\n"));
    const auto outcome = launcher_.run({script, "%COMSPEC%"}, kWaitHidden);
    EXPECT_FALSE(outcome.started);
    EXPECT_NE(outcome.error.find("batch file"), std::string::npos) << outcome.error;
    EXPECT_FALSE(ScratchFolder::readFile(output));
}

TEST_F(ProcessLauncherTest, CapturesTheOutputAndTheExitCodeAndEndsAProgramAtTheTimeLimit) {
    const std::string program = folder_.path() + "answerer.exe";
    ASSERT_TRUE(CopyFileW(toWide(echoProgram()).c_str(), toWide(program).c_str(), FALSE));
    ASSERT_TRUE(ScratchFolder::writeFile(folder_.path() + "answerer.answer", "3\nquillfen 2.0\n"));
    const CapturedRun answered = launcher_.runCapturingOutput({program, "--version"}, 600000);
    EXPECT_TRUE(answered.started);
    EXPECT_FALSE(answered.timedOut);
    EXPECT_EQ(answered.exitCode, 3);
    EXPECT_EQ(answered.output, "quillfen 2.0\n");
    const CapturedRun slow = launcher_.runCapturingOutput({program, "sleep", "600000"}, 200);
    EXPECT_TRUE(slow.started && slow.timedOut);
    EXPECT_FALSE(launcher_.runCapturingOutput({folder_.path() + "missing.exe", "--version"}, 600000)
                     .started);
    EXPECT_EQ(launcher_.programFileName("quillfen-cli"), "quillfen-cli.exe");
}

TEST_F(ProcessLauncherTest, FindsTheOtherProgramsRunningFromAFolderUntilTheyEnd) {
    for (const char* name : {"inner", "other"}) {
        ASSERT_TRUE(CreateDirectoryW(toWide(folder_.path() + name).c_str(), nullptr));
    }
    const std::string program = folder_.path() + "inner\\holder.exe";
    ASSERT_TRUE(CopyFileW(toWide(echoProgram()).c_str(), toWide(program).c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + toWide(program) + L"\" sleep 600000";
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
    const auto runsFrom = [&](const std::string& folder) {
        const std::vector<int> found = launcher_.othersRunningFrom(folder);
        return std::find(found.begin(), found.end(), static_cast<int>(process.dwProcessId)) !=
               found.end();
    };
    EXPECT_TRUE(runsFrom(folder_.path()));
    EXPECT_TRUE(runsFrom(folder_.path() + "INNER"));
    EXPECT_FALSE(runsFrom(folder_.path() + "inn"));
    EXPECT_FALSE(runsFrom(folder_.path() + "other"));
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_FALSE(runsFrom(folder_.path()));
    const std::string self = WindowsSystemInfo().executablePath();
    const std::vector<int> besideSelf =
        launcher_.othersRunningFrom(self.substr(0, self.rfind('\\')));
    EXPECT_EQ(
        std::count(besideSelf.begin(), besideSelf.end(), static_cast<int>(GetCurrentProcessId())),
        0);
}

}  // namespace
}  // namespace quillfen::platform
