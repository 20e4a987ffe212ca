// clang-format off
#include <windows.h>
#include <winioctl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "ScratchFolder.h"
#include "platform/windows/QuotedCommandLine.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsClock.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using platform::toWide;
using Lines = std::vector<std::string>;

Lines linesOf(const std::string& text, char end = '\n') {
    Lines lines;
    std::string line;
    std::istringstream stream(text);
    while (std::getline(stream, line, end)) {
        lines.push_back(line);
    }
    return lines;
}

Lines sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Sets a file's or folder's modification time to a moment of the local calendar.
void setModified(const std::string& path, const platform::LocalTime& local) {
    const platform::FileTime time = platform::WindowsClock().fromLocalTime(local);
    const HANDLE handle =
        CreateFileW(toWide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path;
    FILETIME written{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &written)) << path;
    CloseHandle(handle);
}

void readPipe(HANDLE pipe, std::string& into) {
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        into.append(buffer, count);
    }
}

// Runs the program on the arguments written as one line, as cmd.exe passes on what the user
// typed. With `readerGone`, standard output is a pipe whose reader has gone, as "| head -1"
// leaves it once it has its line. The outputs are read one after the other, so they must be short.
test::ProgramResult runCommandLine(const std::string& program, const std::string& arguments,
                                   bool readerGone) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr;
    HANDLE outWrite = nullptr;
    HANDLE errRead = nullptr;
    HANDLE errWrite = nullptr;
    test::ProgramResult result;
    if (!CreatePipe(&outRead, &outWrite, &inheritable, 0) ||
        !CreatePipe(&errRead, &errWrite, &inheritable, 0)) {
        return result;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    if (readerGone) {
        CloseHandle(outRead);
        outRead = nullptr;
    }
    std::wstring line = toWide(platform::quoteArgument(program) + " " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(toWide(program).c_str(), line.data(), nullptr, nullptr,
                                        TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        if (outRead != nullptr) {
            readPipe(outRead, result.out);
        }
        readPipe(errRead, result.err);
        WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    if (outRead != nullptr) {
        CloseHandle(outRead);
    }
    CloseHandle(errRead);
    return result;
}

// Runs a private copy of quillfen-cli.exe, built beside this test program, from a folder of the
// test, so that its settings file would land there.
class CliExeTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string self = platform::WindowsSystemInfo().executablePath();
        const std::string built = self.substr(0, self.rfind('\\') + 1) + "quillfen-cli.exe";
        fs::create_directories(pathOf(programFolder()));
        fs::copy_file(pathOf(built), pathOf(program()));
        fs::create_directories(pathOf(tree()));
    }

    std::string programFolder() const { return folder / "program"; }
    std::string program() const { return folder / "program/quillfen-cli.exe"; }
    std::string tree() const { return folder / "tree"; }
    std::string at(const std::string& name) const { return folder / ("tree/" + name); }

    test::ProgramResult cli(const std::vector<std::string>& arguments,
                            int interruptAfterMs = -1) const {
        return test::runProgram(program(), arguments, {}, interruptAfterMs);
    }

    Lines paths(std::vector<std::string> arguments) const {
        arguments.insert(arguments.end(), {"--format", "paths"});
        const test::ProgramResult result = cli(arguments);
        EXPECT_LE(result.exitCode, 1) << result.err;
        return linesOf(result.out);
    }

    void write(const std::string& name, const std::string& contents) const {
        folder.writeFile("tree/" + name, contents);
    }

    test::TemporaryFolder folder;
};

// Rows come in the walk's order: entries as the system lists them (Windows file systems list
// names sorted), a folder's contents right after the folder.
TEST_F(CliExeTest, NameSearchListsMatchesInTheWalksOrder) {
    for (const char* name :
         {"a/one.txt", "a/b/Two.TXT", "c/three.log", "four.txt", "d/e/f/5.txt", "d/skip.txt.bak"}) {
        write(name, "x");
    }
    EXPECT_EQ(paths({"find", "--in", tree(), "--name", "*.txt"}),
              (Lines{at("a\\b\\Two.TXT"), at("a\\one.txt"), at("d\\e\\f\\5.txt"), at("four.txt")}));
    EXPECT_EQ(paths({"find", "--in", tree() + "\\", "--name", "*.txt", "--no-subfolders"}),
              Lines{at("four.txt")});
}

TEST_F(CliExeTest, ExitStatusTellsFoundNothingFoundAndBadInput) {
    write("a.txt", "x");
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.txt"}).exitCode, 0);
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.doc"}).exitCode, 1);

    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } refusals[] = {
        {{"find", "--in", folder / "nowhere"}, "Folder not exists: "},
        {{"find", "--in", "*"}, "must input part of the file name"},
        {{"find", "--in", tree(), "--hex", "31 3"}, "This not a Hex string."},
        {{"find", "--in", tree(), "--text", "a", "--hex", "61"}, "quillfen-cli: "},
        {{"find", "--in", tree(), "--sort", "colour"}, "quillfen-cli: "},
        {{"find", "--in", tree(), "--size-at-least", "0x10"}, "whole number"},
        {{"find", "--in", tree(), "--modified-between", "2023-02-29", "2024-01-02"}, "YYYY-MM-DD"},
        {{"find", "--in", tree(), "--null", "--format", "tsv"}, "only the paths format"},
        {{"find", "--in", at("a.txt")}, "not a folder: "},
        {{"dupes", at("a.txt"), "--in", tree(), "--no-match-body"}, "quillfen-cli: "},
        {{"dupes", at("none"), "--in", tree()}, "quillfen-cli: "},
    };
    for (const auto& refusal : refusals) {
        const auto result = cli(refusal.arguments);
        const std::string shown = refusal.arguments[1] + " " + refusal.arguments.back();
        EXPECT_EQ(result.exitCode, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(linesOf(result.err).size(), 1u) << shown << ": " << result.err;
        EXPECT_TRUE(result.err.starts_with("quillfen-cli: ")) << shown << ": " << result.err;
        EXPECT_NE(result.err.find(refusal.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(cli({"--help"}).exitCode, 0);
}

// Names and arguments beyond ASCII and beyond the ANSI code page travel as UTF-8, byte for byte.
TEST_F(CliExeTest, PathsAreUtf8ByteForByteAlsoWithNulEndings) {
    const std::string name =
        "Gr\xc3\xbc\xc3\x9f"
        "e \xe6\x96\x87\xe4\xbb\xb6 \xf0\x9f\x98\x80.txt";
    const std::string folderName = "\xce\xb1\xce\xb2\xce\xb3";
    write(folderName + "/" + name, "x");
    write("plain.txt", "x");
    const auto found =
        cli({"find", "--in", at(folderName), "--name", "gr\xc3\x9c*", "--format", "paths"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, at(folderName + "\\" + name) + "\n");

    const auto ended = cli({"find", "--in", tree(), "--name", "*.txt", "--null"});
    EXPECT_EQ(ended.out, at("plain.txt") + std::string(1, '\0') + at(folderName + "\\" + name) +
                             std::string(1, '\0'));

    const auto json = cli({"find", "--in", at(folderName), "--name", "*.txt", "--format", "jsonl"});
    EXPECT_NE(json.out.find("\"name\":\"" + name + "\""), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("path_bytes"), std::string::npos) << json.out;
}

TEST_F(CliExeTest, SizeAndDateOptionsKeepTheirBoundaries) {
    write("exact100k", std::string(102400, 'x'));
    write("over100k", std::string(102401, 'x'));
    write("dir/inside", "x");
    EXPECT_EQ(sorted(paths({"find", "--in", tree(), "--size", "small"})),
              (Lines{at("dir"), at("dir\\inside"), at("exact100k")}));
    EXPECT_EQ(sorted(paths({"find", "--in", tree(), "--size-at-least", "100"})),
              (Lines{at("exact100k"), at("over100k")}));
    EXPECT_EQ(sorted(paths({"find", "--in", tree(), "--size-at-most", "0100"})),
              (Lines{at("dir"), at("dir\\inside"), at("exact100k")}));

    setModified(at("exact100k"), {2024, 2, 29, 0, 0, 0});
    setModified(at("over100k"), {2024, 3, 1, 23, 59, 59});
    setModified(at("dir\\inside"), {2024, 3, 2, 0, 0, 0});
    setModified(at("dir"), {2020, 1, 1, 12, 0, 0});
    EXPECT_EQ(
        sorted(paths({"find", "--in", tree(), "--modified-between", "2024-03-01", "2024-02-29"})),
        (Lines{at("exact100k"), at("over100k")}));
    const auto table = cli({"find", "--in", tree(), "--name", "exact*", "--format", "tsv"});
    const Lines rows = linesOf(table.out);
    ASSERT_EQ(rows.size(), 2u) << table.err;
    EXPECT_TRUE(rows[1].ends_with("\t2024-02-29 00:00:00\t100 KB\t00000000000000102400"))
        << rows[1];
}

TEST_F(CliExeTest, ContentOptionsFindTextHexAndWideText) {
    write("ansi.txt", "xx1234556yy");
    write("wide.txt", std::string("\x00"
                                  "a\x00"
                                  "b\x00",
                                  5));
    write("none.txt", "5612");
    write("edge.bin", std::string(1048573, 'z') + "hello");
    EXPECT_EQ(paths({"find", "--in", tree(), "--text", "12*56"}), Lines{at("ansi.txt")});
    EXPECT_EQ(paths({"find", "--in", tree(), "--hex", "31 32 * 35 36"}), Lines{at("ansi.txt")});
    EXPECT_EQ(paths({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode"}),
              Lines{at("wide.txt")});
    EXPECT_EQ(
        cli({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode", "--match-case"})
            .exitCode,
        1);
    EXPECT_EQ(paths({"find", "--in", tree(), "--text", "hello"}), Lines{at("edge.bin")});
}

TEST_F(CliExeTest, DupesComparesBodiesAndNeverListsTheReference) {
    write("ref.txt", "same body");
    write("copy.bin", "same body");
    write("other.txt", "different");
    write("sub/ref.txt", "changed!!");
    write("sub/ref.doc", "same body");
    const auto body = cli({"dupes", at("ref.txt"), "--in", tree(), "--format", "paths"});
    EXPECT_EQ(body.exitCode, 0) << body.err;
    EXPECT_EQ(sorted(linesOf(body.out)), (Lines{at("copy.bin"), at("sub\\ref.doc")}));
    EXPECT_EQ(
        sorted(paths({"dupes", at("ref.txt"), "--in", tree(), "--match-name", "--no-match-body"})),
        (Lines{at("sub\\ref.doc"), at("sub\\ref.txt")}));
    // The reference spelt in other letters is still the reference.
    EXPECT_EQ(sorted(paths({"dupes", at("REF.TXT"), "--in", tree() + "\\"})),
              (Lines{at("copy.bin"), at("sub\\ref.doc")}));
}

// Names that the system's own reading of a path would change (a trailing dot or blank dropped, a
// device name such as "CON" or "nul.txt" opened as the device) are read as the files the listing
// named, in every kind of search and as the folder to look in.
TEST_F(CliExeTest, NamesTheSystemWouldRespellAreReadAsListed) {
    // Removed by long paths: the standard library's removal would open "CON" as the console.
    const test::ScratchFolder scratch;
    const std::string root = scratch.path() + "tree";
    const auto named = [&root](const std::string& name) { return root + "\\" + name; };
    const std::vector<std::pair<std::string, std::string>> files{
        {"x", "needle"},       {"x.", "hay"},          {"CON", "needle"},
        {"nul.txt", "needle"}, {"aux.log", "needle"},  {"PRN", "needle"},
        {"COM1", "needle"},    {"LPT9.txt", "needle"}, {"space ", "needle"},
        {"dots...", "needle"}, {"sub.\\in", "needle"}, {"sub\\in", "hay"},
        {"ref.bin", "twin"},   {"y.bin", "other"},     {"y.bin.", "twin"},
        {"z.bin", "twin"},     {"z.bin.", "other"},    {"plain\\in", "needle"},
    };
    for (const char* made : {"", "sub.", "sub", "plain"}) {
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + toWide(named(made))).c_str(), nullptr)) << made;
    }
    Lines all{named("sub"), named("sub."), named("plain")};
    Lines needles;
    for (const auto& [name, contents] : files) {
        ASSERT_TRUE(test::ScratchFolder::writeFile(named(name), contents)) << name;
        all.push_back(named(name));
        if (contents == "needle") {
            needles.push_back(named(name));
        }
    }
    EXPECT_EQ(sorted(paths({"find", "--in", root, "--name", "*"})), sorted(all));
    EXPECT_EQ(sorted(paths({"find", "--in", root, "--text", "needle"})), sorted(needles));
    EXPECT_EQ(sorted(paths({"dupes", named("ref.bin"), "--in", root})),
              (Lines{named("y.bin."), named("z.bin")}));
    EXPECT_EQ(sorted(paths({"dupes", named("y.bin."), "--in", root})),
              (Lines{named("ref.bin"), named("z.bin")}));
    for (const std::string& lookIn : {named("sub."), named("sub.\\")}) {
        EXPECT_EQ(paths({"find", "--in", lookIn, "--text", "needle"}), Lines{named("sub.\\in")})
            << lookIn;
    }
    // A typed folder that names nothing as spelt is read as the system reads typed paths.
    EXPECT_EQ(paths({"find", "--in", named("plain. "), "--text", "needle"}),
              Lines{named("plain\\in")});
}

TEST_F(CliExeTest, SortClicksApplyInTheOrderGiven) {
    write("b.txt", std::string(10, 'x'));
    write("a.txt", std::string(30, 'x'));
    write("sub/a.txt", std::string(20, 'x'));
    EXPECT_EQ(paths({"find", "--in", tree(), "--name", "*.txt", "--sort", "size", "name"}),
              (Lines{at("sub\\a.txt"), at("a.txt"), at("b.txt")}));
}

// Ctrl+C stops the search; the rows found so far are written and the status is 130. A sparse
// file too large to read in time keeps the search busy.
// A reader that went away ends the run without a word, in every format, as on Linux with the
// pipe signal ignored.
TEST_F(CliExeTest, AClosedPipeEndsTheRunQuietly) {
    for (int i = 0; i < 50; ++i) {
        write("file-" + std::to_string(i) + ".txt", "x");
    }
    for (const char* format : {"paths", "tsv", "jsonl"}) {
        const test::ProgramResult result =
            runCommandLine(program(), "find --in \"" + tree() + "\" --format " + format, true);
        EXPECT_EQ(result.exitCode, 2) << format;
        EXPECT_EQ(result.err, "") << format;
    }
}

// cmd's Tab completion ends a quoted folder with a backslash: the argument is the text between the
// quotes, not a folder name that swallows a quote and the options after it.
TEST_F(CliExeTest, AQuotedFolderMayEndWithABackslash) {
    write("a.txt", "x");
    for (const std::string& lookIn : {tree() + "\\", tree() + "\\\\", tree()}) {
        const test::ProgramResult result = runCommandLine(
            program(), "find --in \"" + lookIn + "\" --name *.txt --format paths", false);
        EXPECT_EQ(result.exitCode, 0) << lookIn << ": " << result.err;
        EXPECT_EQ(linesOf(result.out), Lines{at("a.txt")}) << lookIn;
    }
}

TEST_F(CliExeTest, InterruptPrintsTheRowsSoFarAndEndsWith130) {
    write("hit.txt", "needle");
    const std::string huge = at("huge.bin");
    const HANDLE file = CreateFileW(toWide(huge).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = LONGLONG{8} << 30;
    const bool sized = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
    const auto result =
        cli({"find", "--in", tree(), "--text", "needle", "--format", "paths"}, 1500);
    EXPECT_EQ(result.exitCode, 130) << result.err;
    for (const std::string& line : linesOf(result.out)) {
        EXPECT_EQ(line, at("hit.txt"));
    }
}

}  // namespace
}  // namespace quillfen
