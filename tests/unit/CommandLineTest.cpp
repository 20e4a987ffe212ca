#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace quillfen {
namespace {

constexpr const char* kProgram = "/opt/quill fen/quillfen";

TEST(StripProgramPath, FollowsTheQuotingRules) {
    const struct {
        std::string line;
        std::string expected;
    } cases[] = {
        {"\"/opt/quill fen/quillfen\" /Update", "/Update"},
        {"\"/opt/quill fen/quillfen\"      /Update  ", "/Update"},
        // No closing quote: the whole line stays.
        {"\"/opt/quill fen/quillfen /Update", "\"/opt/quill fen/quillfen /Update"},
        // Unquoted lines lose as many characters as the program path has.
        {std::string(kProgram) + " /tmp/a b", "/tmp/a b"},
        {"short", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stripProgramPath(c.line, kProgram), c.expected) << c.line;
    }
}

TEST(CommandArgument, TakesTheTextBetweenTheFirstTwoQuotes) {
    const struct {
        std::string line;
        std::string expected;
    } cases[] = {
        {"\"/opt/quill fen/quillfen\" \"/home/a b/c\"", "/home/a b/c"},
        {"\"/opt/quill fen/quillfen\" /home/a b/c", "/home/a b/c"},
        {"\"/opt/quill fen/quillfen\" x\"in\"y\"z\"", "in"},
        {"\"/opt/quill fen/quillfen\" \"unclosed", "\"unclosed"},
        {"\"/opt/quill fen/quillfen\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(commandArgument(c.line, kProgram), c.expected) << c.line;
    }
}

TEST(SplitCommandWords, GroupsQuotedBlanksAndKeepsOtherCharacters) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(splitCommandWords("gedit"), Words{"gedit"});
    EXPECT_EQ(splitCommandWords("  \"/opt/my editor/ed\" --new  -x "),
              (Words{"/opt/my editor/ed", "--new", "-x"}));
    EXPECT_EQ(splitCommandWords("a\"b c\"d 'e f'"), (Words{"ab cd", "'e", "f'"}));
    EXPECT_EQ(splitCommandWords("\"\""), Words{""});
    EXPECT_EQ(splitCommandWords("C:\\x\\n.exe"), Words{"C:\\x\\n.exe"});
    EXPECT_TRUE(splitCommandWords("   ").empty());
}

TEST(CommandLineOfProcess, KeepsASingleArgumentByteForByte) {
    const CommandLine single(kProgram, {" /tmp/x \"q\" \xff "});
    EXPECT_EQ(single.argument(), " /tmp/x \"q\" \xff ");

    const CommandLine update(kProgram, {"/Update"});
    EXPECT_EQ(update.remainder(), "/Update");

    // A path split by a shell without quotes comes together again.
    const CommandLine split(kProgram, {"/home/a", "b"});
    EXPECT_EQ(split.argument(), "/home/a b");

    const CommandLine icon(kProgram, {"/GetIcon", "ab", "/opt/x y/app.exe"});
    EXPECT_EQ(icon.remainder(), "/GetIcon ab /opt/x y/app.exe");

    EXPECT_EQ(CommandLine(kProgram, {}).argument(), "");
}

}  // namespace
}  // namespace quillfen
