#include <gtest/gtest.h>

#include "platform/windows/ProgramArguments.h"

namespace quillfen::platform {
namespace {

using Arguments = std::vector<std::string>;

// The C runtime's split, except that a quoted part keeps the backslashes right before its closing
// quote: a folder typed or completed as "C:\" or "C:\My Files\" arrives as it was typed.
TEST(ProgramArguments, SplitKeepsAQuotedFoldersTrailingBackslash) {
    const struct {
        const char* line;
        Arguments expected;
    } cases[] = {
        {R"("C:\Program Files\quillfen.exe")", {R"(C:\Program Files\quillfen.exe)"}},
        {R"(quillfen.exe "C:\")", {"quillfen.exe", R"(C:\)"}},
        {R"(quillfen.exe "C:\My Files\" --quiet)", {"quillfen.exe", R"(C:\My Files\)", "--quiet"}},
        {R"(quillfen.exe "C:\\")", {"quillfen.exe", R"(C:\)"}},
        {R"(quillfen.exe "C:\My Files\\" x)", {"quillfen.exe", R"(C:\My Files\)", "x"}},
        {R"(quillfen.exe C:\ D:\a\b)", {"quillfen.exe", R"(C:\)", R"(D:\a\b)"}},
        {R"(q.exe "say \"hi\"" a\\\"b)", {"q.exe", R"(say "hi")", R"(a\"b)"}},
        {R"(q.exe "a""b" "" x)", {"q.exe", R"(a"b)", "", "x"}},
        {R"(q.exe a"b c"d  	e)", {"q.exe", "ab cd", "e"}},
        {R"(q.exe \\server\share\ "\\server\share\")",
         {"q.exe", R"(\\server\share\)", R"(\\server\share\)"}},
        {R"(q.exe "unclosed \" rest)", {"q.exe", R"(unclosed \)", "rest"}},
        {"q.exe \"\xE4\xB8\xAD\xE6\x96\x87\\\"", {"q.exe", "\xE4\xB8\xAD\xE6\x96\x87\\"}},
        {"q.exe", {"q.exe"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramArguments::split(c.line), c.expected) << c.line;
    }
}

}  // namespace
}  // namespace quillfen::platform
