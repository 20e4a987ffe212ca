#include "platform/windows/WindowsTextServices.h"

#include <gtest/gtest.h>

#include <string>

#include "app/IniDocument.h"

namespace quillfen::platform {
namespace {

// "Grüße" in UTF-8 and in code page 1252.
const std::string kGreeting = std::string("Gr\xc3\xbc\xc3\x9f") + "e";
const std::string kGreeting1252 = std::string("Gr\xfc\xdf") + "e";
// "中文" in UTF-8 and in code page 936.
const std::string kChinese = "\xe4\xb8\xad\xe6\x96\x87";
const std::string kChinese936 = "\xd6\xd0\xce\xc4";

struct FoldCase {
    const char* name;
    std::string text;
    std::string folded;
};

class WindowsTextFold : public testing::TestWithParam<FoldCase> {};

TEST_P(WindowsTextFold, LowerCasesWhatIsTextAndKeepsTheRest) {
    const WindowsTextServices text(1252);
    EXPECT_EQ(text.foldCase(GetParam().text), GetParam().folded);
    std::string reused = "left over from the name before";
    text.foldCaseInto(GetParam().text, reused);
    EXPECT_EQ(reused, GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsText, WindowsTextFold,
    testing::Values(
        FoldCase{"Empty", "", ""}, FoldCase{"Ascii", "README.TXT\\", "readme.txt\\"},
        FoldCase{"Latin",
                 "GR\xc3\x9c\xc3\x9f"
                 "E",
                 "gr\xc3\xbc\xc3\x9f"
                 "e"},
        FoldCase{"Greek", "\xce\xa3\xce\x9f", "\xcf\x83\xce\xbf"},
        FoldCase{"Cyrillic", "\xd0\x94\xd0\x90", "\xd0\xb4\xd0\xb0"},
        FoldCase{"Chinese", kChinese, kChinese},
        FoldCase{"BeyondTheBasicPlane", "A\xf0\x9f\x98\x80", "a\xf0\x9f\x98\x80"},
        // A WTF-8 name with a lone surrogate: the surrogate's bytes stay, the rest is folded.
        FoldCase{"LoneSurrogate",
                 "\xc3\x84\xed\xa0\xbd"
                 "B",
                 "\xc3\xa4\xed\xa0\xbd"
                 "b"},
        // Bytes that are no UTF-8 stay as they are; the text around them is folded.
        FoldCase{"InvalidBytes",
                 "\xc3\x84\xff"
                 "A\x80\xc3\x96",
                 "\xc3\xa4\xff"
                 "a\x80\xc3\xb6"},
        FoldCase{"TruncatedAtTheEnd", "\xc3\x84\xe4\xb8", "\xc3\xa4\xe4\xb8"}),
    [](const testing::TestParamInfo<FoldCase>& c) { return std::string(c.param.name); });

TEST(WindowsTextUtf16, ConvertsEngineTextLosslessly) {
    const WindowsTextServices text(1252);
    EXPECT_EQ(text.toUtf16("a\xe4\xb8\xad\xf0\x9f\x98\x80"), u"a中😀");
    EXPECT_EQ(text.fromUtf16(u"a中😀"), "a\xe4\xb8\xad\xf0\x9f\x98\x80");
    const std::u16string lone{u'x', char16_t{0xDC01}};
    EXPECT_EQ(text.toUtf16(text.fromUtf16(lone)), lone);
    EXPECT_EQ(text.toUtf16("a\xff"), u"a\uFFFD");
}

struct CodePageCase {
    const char* name;
    unsigned codePage;
    std::string text;
    std::optional<std::string> bytes;
};

class WindowsTextCodePage : public testing::TestWithParam<CodePageCase> {};

TEST_P(WindowsTextCodePage, EncodesOnlyWhatTheCodePageHolds) {
    const CodePageCase& c = GetParam();
    const WindowsTextServices text(c.codePage);
    EXPECT_EQ(text.ansiCodePage(), c.codePage);
    EXPECT_EQ(text.toAnsiCodePage(c.text), c.bytes);
    if (c.bytes) {
        EXPECT_EQ(text.fromAnsiCodePage(*c.bytes), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WindowsText, WindowsTextCodePage,
    testing::Values(CodePageCase{"Empty", 1252, "", ""},
                    CodePageCase{"Ascii", 1252, "abc 123", "abc 123"},
                    CodePageCase{"Western", 1252, kGreeting, kGreeting1252},
                    CodePageCase{"EuroSign", 1252, "\xe2\x82\xac", "\x80"},
                    CodePageCase{"ChineseInWestern", 1252, kChinese, std::nullopt},
                    // No best fit: 'Ł' would become 'L' and find text that was never typed.
                    CodePageCase{"NoBestFit", 1252, "\xc5\x81", std::nullopt},
                    CodePageCase{"QuestionMarkItself", 1252, "?", "?"},
                    CodePageCase{"LoneSurrogate", 1252, "a\xed\xa0\xbd", std::nullopt},
                    // Nothing typed may be left out: "a\u200bb" must not find "ab".
                    CodePageCase{"ZeroWidthSpace", 1252,
                                 "a\xe2\x80\x8b"
                                 "b",
                                 std::nullopt},
                    CodePageCase{"ByteOrderMark", 1252,
                                 "a\xef\xbb\xbf"
                                 "b",
                                 std::nullopt},
                    CodePageCase{"ZeroWidthSpaceInChinese", 936,
                                 "a\xe2\x80\x8b"
                                 "b",
                                 std::nullopt},
                    CodePageCase{"SoftHyphen", 1252,
                                 "a\xc2\xad"
                                 "b",
                                 "a\xad"
                                 "b"},
                    CodePageCase{"Chinese", 936, kChinese, kChinese936},
                    CodePageCase{"WesternInChinese", 936, "\xc3\x9f", std::nullopt},
                    CodePageCase{"Utf8", TextServices::kUtf8CodePage, kGreeting, kGreeting}),
    [](const testing::TestParamInfo<CodePageCase>& c) { return std::string(c.param.name); });

TEST(WindowsTextCodePage, Utf8CodePageKeepsBytesAsTheyAre) {
    const WindowsTextServices text(TextServices::kUtf8CodePage);
    EXPECT_EQ(text.toAnsiCodePage("a\xff"), "a\xff");
    EXPECT_EQ(text.fromAnsiCodePage("a\xff"), "a\xff");
}

// The system's legacy code page, never the UTF-8 code page a manifest may give the process.
TEST(WindowsTextCodePage, SystemCodePageIsTheLocalesAnsiCodePage) {
    const WindowsTextServices text;
    EXPECT_EQ(text.ansiCodePage(), WindowsTextServices::systemAnsiCodePage());
    EXPECT_NE(text.ansiCodePage(), 0u);
    EXPECT_EQ(text.ansiCodePage(), 1252u) << "the test machine's locale is English";
}

// 8-bit settings and language files are in the system's code page, as earlier versions wrote
// them through the private-profile functions.
TEST(WindowsTextIni, EightBitFileIsReadAndWrittenInTheCodePage) {
    const WindowsTextServices text(1252);
    const std::string file = "[Translate]\r\nGreeting=" + kGreeting1252 + "\r\n";
    IniDocument document(file, text);
    ASSERT_EQ(document.encoding(), IniDocument::Encoding::EightBit);
    EXPECT_EQ(document.value("translate", "greeting"), kGreeting);
    EXPECT_EQ(document.bytes(), file);

    document.setValue("Translate", kGreeting, kGreeting + "!");
    EXPECT_EQ(document.bytes(), file + kGreeting1252 + "=" + kGreeting1252 + "!\r\n");
    const IniDocument reread(document.bytes(), text);
    EXPECT_EQ(reread.value("Translate", kGreeting), kGreeting + "!");
}

TEST(WindowsTextIni, Utf16FileIsReadAndWrittenAsUtf16) {
    const WindowsTextServices text(1252);
    const std::string file("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0-\0N\x4e\r\0\n\0", 24);
    IniDocument document(file, text);
    ASSERT_EQ(document.encoding(), IniDocument::Encoding::Utf16leWithBom);
    EXPECT_EQ(document.value("s", "k"), "-\xe4\xb9\x8e");
    document.setValue("s", "k", kGreeting);
    EXPECT_EQ(document.bytes(),
              std::string("\xff\xfe[\0s\0]\0\r\0\n\0k\0=\0G\0r\0\xfc\0\xdf\0e\0\r\0\n\0", 30));
}

TEST(WindowsTextIni, Utf8MarkedFileIsUtf8) {
    const WindowsTextServices text(1252);
    const std::string file = "\xef\xbb\xbf[s]\r\nk=" + kGreeting + "\r\n";
    IniDocument document(file, text);
    EXPECT_EQ(document.value("s", "k"), kGreeting);
    document.setValue("s", "n", kChinese);
    EXPECT_EQ(document.bytes(), file + "n=" + kChinese + "\r\n");
}

// A value the code page cannot hold would come back as question marks; the file becomes UTF-16
// instead and keeps every line it had.
TEST(WindowsTextIni, ValueTheCodePageCannotHoldTurnsTheFileIntoUtf16) {
    const WindowsTextServices text(1252);
    IniDocument document("; " + kGreeting1252 + "\n[s]\nk=1\n", text);
    document.setValue("s", "path", "C:\\" + kChinese);
    EXPECT_EQ(document.encoding(), IniDocument::Encoding::Utf16leWithBom);
    const std::u16string expected = u"; Grüße\n[s]\nk=1\npath=C:\\中文\n";
    std::string bytes = "\xff\xfe";
    for (const char16_t unit : expected) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    EXPECT_EQ(document.bytes(), bytes);
    const IniDocument reread(document.bytes(), text);
    EXPECT_EQ(reread.value("s", "path"), "C:\\" + kChinese);
    EXPECT_EQ(reread.value("s", "k"), "1");
}

}  // namespace
}  // namespace quillfen::platform
