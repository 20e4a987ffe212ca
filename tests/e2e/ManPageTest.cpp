#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProgramRun.h"

namespace quillfen {
namespace {

using Words = std::set<std::string>;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string manPage(const std::string& name) {
    std::ifstream file(std::string(QUILLFEN_SOURCE_DIR) + "/res/linux/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A roff line as the reader sees it: escaped minus signs are minus signs, font changes vanish.
std::string plainRoff(const std::string& line) {
    return std::regex_replace(std::regex_replace(line, std::regex(R"(\\-)"), "-"),
                              std::regex(R"(\\f[BIRP])"), "");
}

// The options and modes that head the tagged paragraphs (.TP) of one section of a manual page.
Words manSectionWords(const std::string& page, const std::string& section) {
    static const std::regex kWord(R"((^|[\s"])((--?|/)[A-Za-z][A-Za-z-]*))");
    Words words;
    bool inSection = false;
    bool heading = false;
    for (const std::string& line : linesOf(page)) {
        if (line.starts_with(".SH ")) {
            inSection = line == ".SH " + section || line == ".SH \"" + section + "\"";
            continue;
        }
        if (inSection && heading) {
            const std::string text = plainRoff(line);
            for (std::sregex_iterator word(text.begin(), text.end(), kWord), end; word != end;
                 ++word) {
                words.insert((*word)[2]);
            }
        }
        heading = line == ".TP";
    }
    return words;
}

// The options of a --help text: the first field of each indented line that starts with a minus
// sign or a slash, split at commas ("-h,--help").
Words helpWords(const std::string& program, const std::vector<std::string>& arguments) {
    const test::ProgramResult result = test::runProgram(program, arguments);
    EXPECT_EQ(result.exitCode, 0) << program << result.err;
    static const std::regex kOption(R"(^  ((-|/)[^ ]+))");
    Words words;
    for (const std::string& line : linesOf(result.out)) {
        std::smatch match;
        if (std::regex_search(line, match, kOption)) {
            std::istringstream parts(match[1].str());
            for (std::string part; std::getline(parts, part, ',');) {
                words.insert(part);
            }
        }
    }
    return words;
}

Words joined(std::initializer_list<Words> parts) {
    Words all;
    for (const Words& part : parts) {
        all.insert(part.begin(), part.end());
    }
    return all;
}

TEST(ManPageTest, TheCommandLineManualListsTheOptionsOfEachHelpText) {
    const std::string page = manPage("quillfen-cli.1");
    const Words output = manSectionWords(page, "OUTPUT OPTIONS");
    const Words help = {"-h", "--help"};
    const struct {
        std::vector<std::string> arguments;
        Words documented;
    } cases[] = {
        {{"--help"}, manSectionWords(page, "GENERAL OPTIONS")},
        {{"find", "--help"}, joined({manSectionWords(page, "FIND OPTIONS"), output, help})},
        {{"dupes", "--help"}, joined({manSectionWords(page, "DUPES OPTIONS"), output, help})},
    };
    for (const auto& c : cases) {
        const Words listed = helpWords(QUILLFEN_CLI_PATH, c.arguments);
        EXPECT_GT(listed.size(), 1u) << c.arguments.front();
        EXPECT_EQ(c.documented, listed) << c.arguments.front();
    }
}

TEST(ManPageTest, TheProgramsManualListsTheOptionsAndModesOfItsHelpText) {
    const std::string page = manPage("quillfen.1");
    const Words documented =
        joined({manSectionWords(page, "OPTIONS"), manSectionWords(page, "MODES")});
    const Words listed = helpWords(QUILLFEN_PROGRAM_PATH, {"--help"});
    EXPECT_EQ(documented, (Words{"-h", "--help", "--version", "--remove-shell-entries", "/Update",
                                 "/GetIcon"}));
    EXPECT_EQ(documented, listed);
}

}  // namespace
}  // namespace quillfen
