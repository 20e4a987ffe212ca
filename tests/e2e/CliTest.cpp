#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Unprivileged.h"
#include "support/DeepTree.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text, char end = '\n') {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(text);
    while (std::getline(stream, line, end)) {
        lines.push_back(line);
    }
    return lines;
}

std::string fromBase64(const std::string& text) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') {
            break;
        }
        bits = (bits << 6) | static_cast<unsigned>(kAlphabet.find(c));
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

// The text of one string member of a JSON line, as it stands between its quotes.
std::string jsonMember(const std::string& line, const std::string& key) {
    const std::string opening = "\"" + key + "\":\"";
    const auto start = line.find(opening);
    if (start == std::string::npos) {
        return {};
    }
    const auto from = start + opening.size();
    return line.substr(from, line.find('"', from) - from);
}

std::vector<std::string> sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Runs a private copy of the program, with the modules it loads, from a folder of the test, so its
// settings and language files land there and not beside the build's own programs.
class CliTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(programFolder());
        fs::copy_file(QUILLFEN_CLI_PATH, program());
        for (const char* module : {"libquillfen-icu.so", "libquillfen-mime.so"}) {
            fs::copy_file(fs::path(QUILLFEN_CLI_PATH).parent_path() / module,
                          fs::path(programFolder()) / module);
        }
        fs::create_directories(folder / "tree");
    }

    std::string programFolder() const { return folder / "program"; }
    std::string program() const { return folder / "program/quillfen-cli"; }
    std::string tree() const { return folder / "tree"; }

    test::ProgramResult cli(std::vector<std::string> arguments, int interruptAfterMs = -1) const {
        return cliInLocale("C.UTF-8", std::move(arguments), interruptAfterMs);
    }

    test::ProgramResult cliInLocale(const std::string& locale, std::vector<std::string> arguments,
                                    int interruptAfterMs = -1) const {
        return test::runProgram(
            program(), arguments,
            {"LANG=" + locale, "LC_ALL=", "LC_MESSAGES=", "HOME=" + folder.path(),
             "XDG_DATA_HOME=" + (folder / "data"), "XDG_CONFIG_HOME=" + (folder / "config")},
            interruptAfterMs);
    }

    // The settings file beside the program, which a copy in a writable folder uses.
    std::string settingsFile() const {
        std::string user = test::runProgram("/usr/bin/id", {"-un"}).out;
        user.pop_back();
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        return "program/" + user + "." + host + ".ini";
    }

    // Runs the program inside a bash script, which sees it as "$0" and the arguments as "$@".
    test::ProgramResult cliInShell(const std::string& script,
                                   std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"-c", script, program()});
        return test::runProgram(
            "/usr/bin/bash", arguments,
            {"LANG=C.UTF-8", "LC_ALL=", "HOME=" + folder.path(),
             "XDG_DATA_HOME=" + (folder / "data"), "XDG_CONFIG_HOME=" + (folder / "config")});
    }

    void write(const std::string& name, const std::string& contents) const {
        folder.writeFile("tree/" + name, contents);
    }

    test::TemporaryFolder folder;
};

TEST_F(CliTest, FindListsTheSameRowsInTheSameOrderAsFind) {
    for (const char* name :
         {"a/one.txt", "a/b/Two.TXT", "c/three.log", "four.txt", "d/e/f/5.txt", "d/skip.txt.bak"}) {
        write(name, "x");
    }
    const auto ours = cli({"find", "--in", tree(), "--name", "*.txt", "--format", "paths"});
    const auto theirs =
        test::runProgram("/usr/bin/find", {tree(), "-mindepth", "1", "-iname", "*.txt"});
    EXPECT_EQ(ours.exitCode, 0) << ours.err;
    EXPECT_EQ(ours.out, theirs.out);
}

TEST_F(CliTest, ExitStatusTellsFoundNothingFoundAndBadInput) {
    write("a.txt", "x");
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.txt"}).exitCode, 0);
    EXPECT_EQ(cli({"find", "--in", tree(), "--name", "*.doc"}).exitCode, 1);

    const auto missing = cli({"find", "--in", folder / "nowhere"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("Folder not exists: "), std::string::npos) << missing.err;

    const auto allDrives = cli({"find", "--in", "*"});
    EXPECT_EQ(allDrives.exitCode, 2);
    EXPECT_NE(allDrives.err.find("must input part of the file name"), std::string::npos);

    const auto badHex = cli({"find", "--in", tree(), "--hex", "31 3"});
    EXPECT_EQ(badHex.exitCode, 2);
    EXPECT_NE(badHex.err.find("This not a Hex string."), std::string::npos);

    EXPECT_EQ(cli({"find", "--in", tree(), "--text", "a", "--hex", "61"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "--modified-between", "2024-02-30", "2024-03-01"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "--sort", "colour"}).exitCode, 2);
}

TEST_F(CliTest, ContentOptionsFindTextHexAndWideText) {
    write("ansi.txt", "xx1234556yy");
    write("wide.txt", std::string("\x00"
                                  "a\x00"
                                  "b\x00",
                                  5));
    write("none.txt", "5612");
    std::string straddling(1048573, 'z');
    straddling += "hello";
    write("edge.bin", straddling);

    EXPECT_EQ(
        sorted(linesOf(cli({"find", "--in", tree(), "--text", "12*56", "--format", "paths"}).out)),
        std::vector<std::string>{tree() + "/ansi.txt"});
    EXPECT_EQ(
        linesOf(cli({"find", "--in", tree(), "--hex", "31 32 * 35 36", "--format", "paths"}).out),
        std::vector<std::string>{tree() + "/ansi.txt"});
    EXPECT_EQ(linesOf(cli({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode",
                           "--format", "paths"})
                          .out),
              std::vector<std::string>{tree() + "/wide.txt"});
    EXPECT_EQ(
        cli({"find", "--in", tree(), "--text", "AB", "--encodings", "unicode", "--match-case"})
            .exitCode,
        1);
    EXPECT_EQ(linesOf(cli({"find", "--in", tree(), "--text", "hello", "--format", "paths"}).out),
              std::vector<std::string>{tree() + "/edge.bin"});
}

// A text whose capital lies beyond ASCII ("Äpfel") finds a file holding it exactly as typed, in
// each encoding, also when case does not matter and also across the first chunk's end.
TEST_F(CliTest, TextWithANonAsciiCapitalFindsItselfWhateverTheCase) {
    const std::string apples = "\xc3\x84pfel";
    write("narrow.txt", "x" + apples + "x");
    write("wide.txt", std::string("\xc4\0p\0f\0e\0l\0", 10));
    write("edge.bin", std::string(1048575, 'z') + "\xc3\x84PFEL");
    const std::vector<std::string> exact{tree() + "/narrow.txt", tree() + "/wide.txt"};
    const std::vector<std::string> folded{tree() + "/edge.bin", tree() + "/narrow.txt",
                                          tree() + "/wide.txt"};
    const std::vector<std::string> find{"find", "--in",     tree(), "--text",
                                        apples, "--format", "paths"};
    std::vector<std::string> matchingCase = find;
    matchingCase.push_back("--match-case");
    const auto withCase = cli(matchingCase);
    EXPECT_EQ(sorted(linesOf(withCase.out)), exact) << withCase.err;
    const auto withoutCase = cli(find);
    EXPECT_EQ(sorted(linesOf(withoutCase.out)), folded) << withoutCase.err;
}

TEST_F(CliTest, SizeAndDateOptionsKeepTheirBoundaries) {
    write("exact100k", std::string(102400, 'x'));
    write("over100k", std::string(102401, 'x'));
    write("dir/inside", "x");
    const auto small = cli({"find", "--in", tree(), "--size", "small", "--format", "paths"});
    EXPECT_EQ(
        sorted(linesOf(small.out)),
        (std::vector<std::string>{tree() + "/dir", tree() + "/dir/inside", tree() + "/exact100k"}));
    const auto atLeast =
        cli({"find", "--in", tree(), "--size-at-least", "100", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(atLeast.out)),
              (std::vector<std::string>{tree() + "/exact100k", tree() + "/over100k"}));

    const auto touch = [&](const std::string& name, const char* stamp) {
        ASSERT_EQ(
            test::runProgram("/usr/bin/touch", {"-m", "-d", stamp, tree() + "/" + name}).exitCode,
            0);
    };
    touch("exact100k", "2024-02-29 00:00:00");
    touch("over100k", "2024-03-01 23:59:59");
    touch("dir/inside", "2024-03-02 00:00:00");
    touch("dir", "2020-01-01 12:00:00");
    const auto between = cli({"find", "--in", tree(), "--modified-between", "2024-03-01",
                              "2024-02-29", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(between.out)),
              (std::vector<std::string>{tree() + "/exact100k", tree() + "/over100k"}));
}

TEST_F(CliTest, SortClicksApplyInTheOrderGiven) {
    write("b.txt", std::string(10, 'x'));
    write("a.txt", std::string(30, 'x'));
    write("sub/a.txt", std::string(20, 'x'));
    const auto result = cli(
        {"find", "--in", tree(), "--name", "*.txt", "--sort", "size", "name", "--format", "paths"});
    EXPECT_EQ(
        linesOf(result.out),
        (std::vector<std::string>{tree() + "/sub/a.txt", tree() + "/a.txt", tree() + "/b.txt"}));
}

TEST_F(CliTest, FormatsEscapeWhatTheirReadersCannotTake) {
    write("tab\there.txt", "x");
    write("comma,\"q\".txt", "x");
    write("bad\xff.txt", "x");
    const auto tsv = cli({"find", "--in", tree(), "--name", "tab*", "--format", "tsv"});
    const auto tsvLines = linesOf(tsv.out);
    ASSERT_EQ(tsvLines.size(), 2u);
    EXPECT_EQ(tsvLines[0], "Name\tIn Folder\tType\tDate Modified\tSize\tSize Byte");
    EXPECT_TRUE(tsvLines[1].starts_with("tab\\there.txt\t" + tree() + "/\t")) << tsvLines[1];
    EXPECT_TRUE(tsvLines[1].ends_with("\t1  B\t00000000000000000001")) << tsvLines[1];

    const auto csv = cli({"find", "--in", tree(), "--name", "comma*", "--format", "csv"});
    EXPECT_NE(csv.out.find("\r\n\"comma,\"\"q\"\".txt\","), std::string::npos) << csv.out;

    const auto json = cli({"find", "--in", tree(), "--name", "bad*", "--format", "jsonl"});
    EXPECT_NE(json.out.find("\"name\":\"bad\\\\xff.txt\""), std::string::npos) << json.out;

    const auto paths =
        cli({"find", "--in", tree(), "--name", "bad*", "--null", "--format", "paths"});
    EXPECT_EQ(paths.out, tree() + "/bad\xff.txt" + std::string(1, '\0'));
}

// A name that is not UTF-8 and the name spelling its escape are two rows in every format.
TEST_F(CliTest, FormatsKeepNamesThatAreNotUtf8Apart) {
    const std::string raw = "bad\xff.txt";
    const std::string spelled = "bad\\xff.txt";
    write(raw, "x");
    write(spelled, "x");
    for (const char* format : {"table", "tsv", "csv", "jsonl"}) {
        const auto result = cli({"find", "--in", tree(), "--format", format});
        auto lines = linesOf(result.out);
        ASSERT_GE(lines.size(), 2u) << format;
        lines.erase(lines.begin(), lines.end() - 2);
        EXPECT_NE(lines[0], lines[1]) << format;
    }

    const auto json = linesOf(cli({"find", "--in", tree(), "--format", "jsonl"}).out);
    ASSERT_EQ(json.size(), 2u);
    std::vector<std::string> exactPaths;
    for (const std::string& line : json) {
        const std::string bytes = jsonMember(line, "path_bytes");
        exactPaths.push_back(bytes.empty() ? jsonMember(line, "path") : fromBase64(bytes));
    }
    EXPECT_EQ(sorted(exactPaths), sorted({tree() + "/" + raw, tree() + "/bad\\\\xff.txt"}));
    EXPECT_EQ(jsonMember(json[0], "path_bytes").empty() + jsonMember(json[1], "path_bytes").empty(),
              1)
        << "only the path that is not UTF-8 carries its bytes";
    EXPECT_NE(cli({"find", "--help"}).out.find("path_bytes"), std::string::npos);

    // Paths of three lengths in a row, so that each padding of the encoding is met.
    std::vector<std::string> padded;
    for (const std::string tail : {"", "x", "xx"}) {
        write("pad\xfe" + tail, "x");
        padded.push_back(tree() + "/pad\xfe" + tail);
    }
    std::vector<std::string> decoded;
    for (const std::string& line :
         linesOf(cli({"find", "--in", tree(), "--name", "pad*", "--format", "jsonl"}).out)) {
        decoded.push_back(fromBase64(jsonMember(line, "path_bytes")));
    }
    EXPECT_EQ(sorted(decoded), sorted(padded));
}

TEST_F(CliTest, FoldersHaveNoSizeAndSortFirstBySize) {
    write("dir/file", "12345");
    const auto result = cli({"find", "--in", tree(), "--sort", "size", "--format", "tsv"});
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].starts_with("dir\t")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("\t\t-0000000000000000001")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with("\t5  B\t00000000000000000005")) << lines[2];
}

// Files written on Windows in the code page of the user's language: Windows-1252 in German,
// GBK in Chinese. The same words as UTF-8 and UTF-16LE are found in every language.
TEST_F(CliTest, AnsiIsTheCodePageOfTheLanguageOrTheSetting) {
    const std::string greeting =
        "Gr\xc3\xbc\xc3\x9f"
        "e";
    const std::string chinese = "\xe4\xb8\xad\xe6\x96\x87";
    write("greeting-1252.txt",
          "x Gr\xfc\xdf"
          "e x");
    write("chinese-gbk.txt", "x \xd6\xd0\xce\xc4 x");
    write("chinese-utf8.txt", "x " + chinese + " x");
    write("chinese-utf16.txt", std::string("\x2d\x4e\x87\x65", 4));
    const auto find = [&](const std::string& locale, const std::string& text) {
        const auto run =
            cliInLocale(locale, {"find", "--in", tree(), "--text", text, "--format", "paths"});
        EXPECT_EQ(run.err, "");
        return sorted(linesOf(run.out));
    };
    EXPECT_EQ(find("de_DE.UTF-8", greeting),
              std::vector<std::string>{tree() + "/greeting-1252.txt"});
    EXPECT_EQ(find("zh_CN.UTF-8", chinese),
              (std::vector<std::string>{tree() + "/chinese-gbk.txt", tree() + "/chinese-utf16.txt",
                                        tree() + "/chinese-utf8.txt"}));
    EXPECT_EQ(
        find("de_DE.UTF-8", chinese),
        (std::vector<std::string>{tree() + "/chinese-utf16.txt", tree() + "/chinese-utf8.txt"}));
    const auto help = cliInLocale("zh_CN.UTF-8", {"find", "--help"});
    EXPECT_NE(help.out.find("code page 936"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("AnsiCodePage=<number>"), std::string::npos) << help.out;

    folder.writeFile(settingsFile(), "[Config]\r\nAnsiCodePage=936\r\n");
    EXPECT_EQ(find("de_DE.UTF-8", chinese),
              (std::vector<std::string>{tree() + "/chinese-gbk.txt", tree() + "/chinese-utf16.txt",
                                        tree() + "/chinese-utf8.txt"}));
    EXPECT_EQ(find("de_DE.UTF-8", greeting), std::vector<std::string>{});
    EXPECT_EQ(folder.readFile(settingsFile()), "[Config]\r\nAnsiCodePage=936\r\n")
        << "searching writes nothing to the settings file";
}

TEST_F(CliTest, RecycleBinSettingDecidesWhetherTheTrashIsSearched) {
    write("keep.txt", "x");
    folder.writeFile("data/Trash/files/gone.txt", "x");
    const auto skipped =
        cli({"find", "--in", folder.path(), "--name", "*.txt", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(skipped.out)), std::vector<std::string>{tree() + "/keep.txt"});

    const auto files = linesOf(
        test::runProgram("/usr/bin/find", {programFolder(), "-name", "*.ini", "-maxdepth", "1"})
            .out);
    ASSERT_EQ(files.size(), 0u) << "the command line must not create a settings file's keys";
    std::string user = test::runProgram("/usr/bin/id", {"-un"}).out;
    user.pop_back();
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    folder.writeFile("program/" + user + "." + host + ".ini",
                     "[Config]\r\nSearchInRecycleBin=Y\r\n");
    const auto searched =
        cli({"find", "--in", folder.path(), "--name", "*.txt", "--format", "paths"});
    EXPECT_EQ(
        sorted(linesOf(searched.out)),
        (std::vector<std::string>{folder / "data/Trash/files/gone.txt", tree() + "/keep.txt"}));
}

TEST_F(CliTest, DupesFollowsTheWindowsDefaults) {
    write("ref.txt", "same body");
    write("copy.bin", "same body");
    write("other.txt", "different");
    write("sub/ref.txt", "changed!!");
    write("sub/ref.doc", "same body");
    write("sub/ref", "same body");
    const auto body = cli({"dupes", tree() + "/ref.txt", "--in", tree(), "--format", "paths"});
    EXPECT_EQ(body.exitCode, 0) << body.err;
    EXPECT_EQ(sorted(linesOf(body.out)),
              (std::vector<std::string>{tree() + "/copy.bin", tree() + "/sub/ref",
                                        tree() + "/sub/ref.doc"}));

    write("empty", "");
    const auto empty = cli({"dupes", tree() + "/empty", "--in", tree()});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_NE(empty.err.find("It is an empty file: "), std::string::npos);
    EXPECT_EQ(cli({"dupes", tree() + "/none", "--in", tree()}).exitCode, 2);
}

// The body is compared unless --no-match-body takes it away; every other option adds to it.
TEST_F(CliTest, DupesOptionsAddToTheBodyComparison) {
    write("ref.txt", "same body");
    write("copy.bin", "same body");
    write("sub/ref.txt", "changed!!");
    write("sub/ref.doc", "same body");
    write("sub/ref", "same body");
    write("sub/other.txt", "same body");
    const auto at = [&](const std::string& name) { return tree() + "/" + name; };
    const struct {
        std::vector<std::string> options;
        std::vector<std::string> expected;
    } cases[] = {
        {{"--match-name"}, {at("sub/ref"), at("sub/ref.doc")}},
        {{"--match-extension"}, {at("sub/other.txt")}},
        {{"--match-name", "--match-extension"}, {}},
        {{"--match-time"}, {at("copy.bin"), at("sub/other.txt"), at("sub/ref"), at("sub/ref.doc")}},
        {{"--match-body"}, {at("copy.bin"), at("sub/other.txt"), at("sub/ref"), at("sub/ref.doc")}},
        {{"--match-name", "--no-match-body"},
         {at("sub/ref"), at("sub/ref.doc"), at("sub/ref.txt")}},
        {{"--match-name", "--match-extension", "--no-match-body"}, {at("sub/ref.txt")}},
    };
    for (const std::string name :
         {"ref.txt", "copy.bin", "sub/ref.txt", "sub/ref.doc", "sub/ref", "sub/other.txt"}) {
        ASSERT_EQ(test::runProgram("/usr/bin/touch", {"-m", "-d", "2024-01-02 03:04:05", at(name)})
                      .exitCode,
                  0);
    }
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"dupes", at("ref.txt"), "--in",
                                           tree(),  "--format",    "paths"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto result = cli(arguments);
        EXPECT_EQ(sorted(linesOf(result.out)), c.expected) << c.options[0] << " " << result.err;
        EXPECT_EQ(result.exitCode, c.expected.empty() ? 1 : 0) << result.err;
    }
}

// Each refusal is one line on standard error and exit status 2, before any search starts.
TEST_F(CliTest, OptionsThatWouldBeIgnoredOrMisreadAreRefused) {
    write("file.txt", "x");
    const std::string file = tree() + "/file.txt";
    const std::vector<std::vector<std::string>> cases = {
        {"find", "--size-at-least", "0x10"},
        {"find", "--size-at-least", "-1"},
        {"find", "--size-at-least", "+5"},
        {"find", "--size-at-least", "1e3"},
        {"find", "--size-at-least", " 5"},
        {"find", "--size-at-least", ""},
        {"find", "--size-at-most", "9007199254740992"},
        {"find", "--size-at-most", "99999999999999999999999"},
        {"find", "--size-at-least", "1.5M"},
        {"find", "--size-at-least", "M"},
        {"find", "--size-at-least", "1MM"},
        {"find", "--size-at-least", "1 M"},
        {"find", "--size-at-least", "10XB"},
        {"find", "--size-at-least", "2EiB"},
        {"find", "--size-at-most", "9223372036854775808B"},
        {"find", "--size-at-most", "9223373T"},
        {"find", "--modified-between", "2024-01- 1", "2024-01-02"},
        {"find", "--modified-between", "+024-01-01", "2024-01-02"},
        {"find", "--modified-between", "0000-01-01", "2024-01-02"},
        {"find", "--modified-between", "2023-02-29", "2024-01-02"},
        {"find", "--null", "--format", "tsv"},
        {"find", "--null", "--format", "jsonl"},
        {"dupes", file, "--null", "--format", "csv"},
        {"find", "--hex", "61", "--match-case"},
        {"find", "--hex", "61", "--encodings", "ansi"},
        {"find", "--encodings", ""},
        {"find", "--encodings", "ansi,,utf8"},
        {"find", "--encodings", "ansi,"},
        {"find", "--encodings", ",ansi"},
        {"find", "--in", file},
        {"find", "--in", file + "/"},
        {"dupes", file, "--in", file},
        {"dupes", file, "--no-match-body"},
        {"dupes", file, "--match-extension", "--no-match-body"},
        {"dupes", file, "--match-name", "--match-body", "--no-match-body"},
    };
    for (const auto& arguments : cases) {
        std::vector<std::string> withFolder = arguments;
        if (std::find(arguments.begin(), arguments.end(), "--in") == arguments.end()) {
            withFolder.insert(withFolder.end(), {"--in", tree()});
        }
        const auto result = cli(withFolder);
        const std::string shown = arguments[1] + " " + arguments.back();
        EXPECT_EQ(result.exitCode, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(linesOf(result.err).size(), 1u) << shown << ": " << result.err;
        EXPECT_TRUE(result.err.starts_with("quillfen-cli: ")) << shown << ": " << result.err;
    }
}

TEST_F(CliTest, SizesAreDecimalWhateverTheirLeadingZeros) {
    write("nine", std::string(9 * 1024, 'x'));
    write("ten", std::string(10 * 1024, 'x'));
    write("sixteen", std::string(16 * 1024, 'x'));
    const auto atLeast =
        cli({"find", "--in", tree(), "--size-at-least", "010", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(atLeast.out)),
              (std::vector<std::string>{tree() + "/sixteen", tree() + "/ten"}));
    const auto atMost =
        cli({"find", "--in", tree(), "--size-at-most", "0010", "--format", "paths"});
    EXPECT_EQ(sorted(linesOf(atMost.out)),
              (std::vector<std::string>{tree() + "/nine", tree() + "/ten"}));
    const auto largest = cli({"find", "--in", tree(), "--size-at-most", "9007199254740991"});
    EXPECT_EQ(largest.exitCode, 0) << largest.err;
}

// Each message names what it is about, and a slip of the keyboard gets the word that was meant.
TEST_F(CliTest, MessagesNameTheirObjectAndSuggestTheNearestWord) {
    write("empty", "");
    write("full", "x");
    const std::string nowhere = folder / "nowhere";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"find", "--in", nowhere}, "Folder not exists: " + nowhere},
        {{"dupes", tree() + "/full", "--in", nowhere}, "Folder not exists: " + nowhere},
        {{"dupes", tree() + "/empty"}, "It is an empty file: " + tree() + "/empty"},
        {{"dupes", tree() + "/gone"}, "File not exists: " + tree() + "/gone"},
        {{"dupes", tree()}, tree() + " is a folder; name a file"},
        {{"dupes", tree() + "/"}, tree() + "/ is a folder; name a file"},
        {{"finf", "--in", tree()}, "unknown command 'finf'; did you mean 'find'? (see --help)"},
        {{"dupse", "x"}, "unknown command 'dupse'; did you mean 'dupes'? (see --help)"},
        {{"find", "--nmae", "*.txt"},
         "unknown option '--nmae'; did you mean '--name'? (see --help)"},
        {{"find", "--sise-at-least=5"},
         "unknown option '--sise-at-least'; did you mean '--size-at-least'? (see --help)"},
        {{"dupes", "x", "--match-nmae"},
         "unknown option '--match-nmae'; did you mean '--match-name'? (see --help)"},
    };
    for (const auto& c : cases) {
        const auto result = cli(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err, "quillfen-cli: " + c.message + "\n");
    }
    const auto unlike = cli({"find", "--colour", "red"});
    EXPECT_EQ(unlike.exitCode, 2);
    EXPECT_EQ(unlike.err.find("did you mean"), std::string::npos) << unlike.err;
}

// A bare number counts the window's KB; every unit counts in 1,024s, as the window does.
TEST_F(CliTest, SizesTakeUnitsThatCountAsTheWindowDoes) {
    for (const int bytes : {999, 1000, 1024, 1000000, 1048576}) {
        write(std::to_string(bytes), std::string(static_cast<std::size_t>(bytes), 'x'));
    }
    const struct {
        const char* option;
        const char* value;
        std::vector<std::string> found;
    } cases[] = {
        {"--size-at-least", "1", {"1000000", "1024", "1048576"}},
        {"--size-at-least", "1k", {"1000000", "1024", "1048576"}},
        {"--size-at-least", "1KB", {"1000000", "1024", "1048576"}},
        {"--size-at-least", "1kib", {"1000000", "1024", "1048576"}},
        {"--size-at-least", "1000B", {"1000", "1000000", "1024", "1048576"}},
        {"--size-at-least", "1M", {"1048576"}},
        {"--size-at-least", "1MiB", {"1048576"}},
        {"--size-at-least", "1G", {}},
        {"--size-at-least", "9223372036854775807b", {}},
        {"--size-at-most", "1k", {"1000", "1024", "999"}},
        {"--size-at-most", "1mb", {"1000", "1000000", "1024", "1048576", "999"}},
        {"--size-at-most", "0gib", {}},
        {"--size-at-most", "8388607TiB", {"1000", "1000000", "1024", "1048576", "999"}},
    };
    for (const auto& c : cases) {
        const auto result = cli({"find", "--in", tree(), c.option, c.value, "--format", "paths"});
        std::vector<std::string> expected;
        for (const std::string& name : c.found) {
            expected.push_back(tree() + "/" + name);
        }
        EXPECT_EQ(sorted(linesOf(result.out)), expected) << c.value << ": " << result.err;
        EXPECT_EQ(result.exitCode, expected.empty() ? 1 : 0) << c.value << ": " << result.err;
    }
}

TEST_F(CliTest, AFailedWriteIsReportedAndEndsWithStatus2) {
    write("a.txt", "x");
    for (const char* format : {"paths", "table", "tsv", "csv", "jsonl"}) {
        const auto result = cliInShell("exec \"$0\" \"$@\" >/dev/full",
                                       {"find", "--in", tree(), "--format", format});
        EXPECT_EQ(result.exitCode, 2) << format;
        EXPECT_NE(result.err.find("quillfen-cli: cannot write the output: "), std::string::npos)
            << format << ": " << result.err;
    }
}

// A reader that stops early ends the program without a word: by the signal where it is not
// ignored, else with status 2.
TEST_F(CliTest, AClosedPipeEndsTheRunQuietly) {
    for (int i = 0; i < 3000; ++i) {
        write("a-rather-long-file-name-to-fill-the-pipe-quickly-" + std::to_string(i), "x");
    }
    const struct {
        const char* setUp;
        const char* status;
    } cases[] = {{"", "141"}, {"trap '' PIPE; ", "2"}};
    for (const auto& c : cases) {
        const auto result = cliInShell(
            std::string(c.setUp) + "\"$0\" \"$@\" | head -n 1; echo \"${PIPESTATUS[0]}\" >&2",
            {"find", "--in", tree(), "--format", "paths"});
        EXPECT_EQ(linesOf(result.out).size(), 1u) << c.setUp;
        EXPECT_EQ(result.err, std::string(c.status) + "\n") << c.setUp;
    }
}

TEST_F(CliTest, FilesBelowTheLongestPathAreFoundAndCompared) {
    test::DeepTree deep(tree(), 30, std::string(200, 'n'));
    const std::string bottom = deep.writeFile("bottom.txt", "a needle at the bottom");
    write("top.txt", "a needle at the bottom");
    const auto found = cli(
        {"find", "--in", tree(), "--name", "bottom.txt", "--text", "needle", "--format", "paths"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(linesOf(found.out), std::vector<std::string>{bottom});

    const auto copies = cli({"dupes", bottom, "--in", tree(), "--match-body", "--format", "paths"});
    EXPECT_EQ(copies.exitCode, 0) << copies.err;
    EXPECT_EQ(linesOf(copies.out), std::vector<std::string>{tree() + "/top.txt"});
}

TEST_F(CliTest, DupesFollowsALinkToTheReferenceAndListsNeither) {
    write("dir/ref.txt", "same body");
    write("copy.bin", "same body");
    fs::create_symlink("dir/ref.txt", tree() + "/link.txt");
    const auto result =
        cli({"dupes", tree() + "/link.txt", "--in", tree(), "--match-body", "--format", "paths"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(linesOf(result.out), std::vector<std::string>{tree() + "/copy.bin"});
}

bool isMountPoint(const std::string& path) {
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        if (line.find(" " + path + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// /dev/shm is a volume of its own on most systems: its trash is skipped however the search
// reaches that volume's root.
TEST_F(CliTest, TrashAtAVolumeRootIsSkippedWhateverTheSpellingOfTheRoot) {
    const std::string volume = "/dev/shm";
    if (!isMountPoint(volume) || ::access(volume.c_str(), W_OK) != 0) {
        GTEST_SKIP() << volume << " is no writable volume here";
    }
    const std::string trash = volume + "/.Trash-" + std::to_string(::getuid());
    const bool madeTrash = ::mkdir(trash.c_str(), 0700) == 0;
    const std::string tag = "quillfen-e2e-" + std::to_string(::getpid());
    const std::string kept = volume + "/" + tag + "-kept.txt";
    const std::string binned = trash + "/" + tag + "-binned.txt";
    std::ofstream(kept) << "x";
    std::ofstream(binned) << "x";
    fs::create_directory_symlink(volume, tree() + "/volume");
    const fs::path previous = fs::current_path();
    fs::current_path(volume);
    for (const std::string& spelling :
         {volume, volume + "/.", tree() + "/volume", std::string(".")}) {
        const auto result =
            cli({"find", "--in", spelling, "--name", tag + "-*", "--format", "paths"});
        const auto lines = linesOf(result.out);
        ASSERT_EQ(lines.size(), 1u) << spelling << "\n" << result.out << result.err;
        EXPECT_TRUE(lines.front().ends_with(tag + "-kept.txt")) << spelling;
    }
    fs::current_path(previous);
    ::unlink(kept.c_str());
    ::unlink(binned.c_str());
    if (madeTrash) {
        ::rmdir(trash.c_str());
    }
}

// /dev/pts is a kernel interface mounted below /dev: a search of /dev never enters it, also when
// /dev is reached through a link.
TEST_F(CliTest, KernelInterfacesAreNotEnteredWhateverTheSpellingOfTheFolder) {
    if (!isMountPoint("/dev/pts") || !fs::exists("/dev/ptmx")) {
        GTEST_SKIP() << "/dev/pts is not mounted here";
    }
    fs::create_directory_symlink("/dev", tree() + "/devices");
    for (const std::string& spelling : {std::string("/dev"), tree() + "/devices"}) {
        const auto result = cli({"find", "--in", spelling, "--name", "ptmx", "--format", "paths"});
        EXPECT_EQ(linesOf(result.out), std::vector<std::string>{spelling + "/ptmx"}) << result.err;
    }
}

TEST_F(CliTest, InterruptPrintsTheRowsSoFarAndEndsWith130) {
    write("hit.txt", "needle");
    const std::string huge = tree() + "/huge.bin";
    const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{64} << 30), 0);
    ::close(fd);
    const auto result = cli({"find", "--in", tree(), "--text", "needle", "--format", "paths"}, 300);
    EXPECT_EQ(result.exitCode, 130) << result.err;
    for (const std::string& line : linesOf(result.out)) {
        EXPECT_EQ(line, tree() + "/hit.txt");
    }
}

// What could not be read is named on standard error, one line each with the system's reason,
// and changes neither the rows nor the exit status; --quiet leaves it out.
TEST_F(CliTest, UnreadableFoldersAndFilesAreNamedOnStandardErrorUnlessQuiet) {
    write("open/a.txt", "needle");
    write("open/secret.txt", "needle");
    write("locked/b.txt", "needle");
    write("shut/deeper/c.txt", "needle");
    const std::string a = tree() + "/open/a.txt";
    const std::string secret = tree() + "/open/secret.txt";
    const auto cannotRead = [](const std::string& path) {
        return "quillfen-cli: cannot read " + path + ": Permission denied";
    };
    const std::vector<std::string> folders = {cannotRead(tree() + "/locked"),
                                              cannotRead(tree() + "/shut")};
    std::vector<std::string> foldersAndFile = folders;
    foldersAndFile.push_back(cannotRead(secret));
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> out;
        std::vector<std::string> err;
    } cases[] = {
        {{"find", "--name", "*.txt"}, 0, {a, secret}, folders},
        {{"find", "--text", "needle"}, 0, {a}, foldersAndFile},
        {{"find", "--name", "*.none"}, 1, {}, folders},
        {{"find", "--text", "needle", "--quiet"}, 0, {a}, {}},
        {{"dupes", a}, 1, {}, folders},
    };
    fs::permissions(folder.path(),
                    fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    for (const char* locked : {"locked", "shut", "open/secret.txt"}) {
        fs::permissions(tree() + "/" + locked, fs::perms::none);
    }
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--in", tree(), "--format", "paths"});
        EXPECT_TRUE(test::passesUnprivileged([&] {
            const auto result = cli(arguments);
            const bool right = result.exitCode == c.exitCode &&
                               sorted(linesOf(result.out)) == sorted(c.out) &&
                               sorted(linesOf(result.err)) == sorted(c.err);
            if (!right) {
                std::fprintf(stderr, "%s: %d\n%s%s", c.arguments.back().c_str(), result.exitCode,
                             result.out.c_str(), result.err.c_str());
            }
            return right;
        })) << c.arguments.back();
    }
    for (const char* locked : {"locked", "shut"}) {
        fs::permissions(tree() + "/" + locked, fs::perms::owner_all);
    }
}

}  // namespace
}  // namespace quillfen
