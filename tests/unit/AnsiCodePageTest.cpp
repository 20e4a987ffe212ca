#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "app/AnsiCodePage.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "platform/linux/LinuxTextServices.h"
#include "search/CodePageFolding.h"
#include "search/ContentCriteria.h"
#include "search/ContentMatcher.h"
#include "support/ProgramFolderFixture.h"

namespace quillfen {
namespace {

using platform::TextServices;

// "Grüße" and "中文" as typed, in Windows-1252 and in GBK.
const std::string kGreeting = std::string("Gr\xc3\xbc\xc3\x9f") + "e";
const std::string kGreeting1252 = std::string("Gr\xfc\xdf") + "e";
const std::string kChinese = "\xe4\xb8\xad\xe6\x96\x87";
const std::string kChineseGbk = "\xd6\xd0\xce\xc4";

TEST(LinuxTextServices, ConvertsWindowsCodePagesAndRefusesWhatTheyLack) {
    const platform::LinuxTextServices text;
    const struct {
        unsigned codePage;
        std::string typed;
        std::optional<std::string> bytes;
    } cases[] = {
        {1252, kGreeting, kGreeting1252},
        {1252, kChinese, std::nullopt},
        {1252, "\xe2\x82\xac", "\x80"},
        {936, kChinese, kChineseGbk},
        {1251, "\xd0\x96", "\xc6"},
        {437, "\xc3\xa9", "\x82"},
        {65001, kChinese, kChinese},
        {12345, "a", std::nullopt},
        // Characters ignorable by default are not dropped on the way: "a\u200bb" must not find
        // "ab". A soft hyphen, which the code page holds, stays.
        {1252,
         "a\xe2\x80\x8b"
         "b",
         std::nullopt},
        {1252,
         "a\xef\xbb\xbf"
         "b",
         std::nullopt},
        {936,
         "a\xe2\x80\x8b"
         "b",
         std::nullopt},
        {437, "\xe2\x81\xa0", std::nullopt},
        {1252,
         "a\xc2\xad"
         "b",
         "a\xad"
         "b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text.toCodePage(c.typed, c.codePage), c.bytes) << c.codePage;
        if (c.bytes) {
            EXPECT_EQ(text.fromCodePage(*c.bytes, c.codePage), c.typed) << c.codePage;
        }
    }
    EXPECT_FALSE(text.knowsCodePage(12345));
    EXPECT_TRUE(text.knowsCodePage(936));
    EXPECT_EQ(text.fromCodePage("\xd6", 936), std::nullopt) << "half a character";
    EXPECT_TRUE(text.isLeadByte(0x81, 936));
    EXPECT_FALSE(text.isLeadByte(0x41, 936));
    EXPECT_FALSE(text.isLeadByte(0x80, 936)) << "the euro sign is one byte";
    EXPECT_FALSE(text.isLeadByte(0xc4, 1252));
    EXPECT_FALSE(text.hasLegacyCodePage());
}

TEST(AnsiCodePage, LanguagesTakeTheirWindowsCodePage) {
    const struct {
        int languageId;
        unsigned codePage;
    } cases[] = {{1033, 1252}, {1031, 1252}, {2057, 1252}, {2052, 936},  {4100, 936},
                 {1028, 950},  {3076, 950},  {1049, 1251}, {1045, 1250}, {2074, 1250},
                 {3098, 1251}, {1041, 932},  {1042, 949},  {1032, 1253}, {1081, 65001}};
    for (const auto& c : cases) {
        EXPECT_EQ(languageCodePage(c.languageId), c.codePage) << c.languageId;
    }
}

// The platform's services, except that the system has the given legacy code page.
class LegacySystem final : public TextServices {
public:
    explicit LegacySystem(unsigned codePage) : codePage_(codePage) {}
    std::string foldCase(std::string_view text) const override { return base_.foldCase(text); }
    void foldCaseInto(std::string_view text, std::string& folded) const override {
        base_.foldCaseInto(text, folded);
    }
    std::u16string toUtf16(std::string_view text) const override { return base_.toUtf16(text); }
    std::string fromUtf16(std::u16string_view text) const override { return base_.fromUtf16(text); }
    unsigned ansiCodePage() const override { return codePage_; }
    std::optional<std::string> toAnsiCodePage(std::string_view text) const override {
        return base_.toCodePage(text, codePage_);
    }
    std::string fromAnsiCodePage(std::string_view bytes) const override {
        return base_.fromCodePage(bytes, codePage_).value_or(std::string(bytes));
    }
    bool hasLegacyCodePage() const override { return true; }
    bool knowsCodePage(unsigned codePage) const override { return base_.knowsCodePage(codePage); }
    std::optional<std::string> toCodePage(std::string_view text, unsigned codePage) const override {
        return base_.toCodePage(text, codePage);
    }
    std::optional<std::string> fromCodePage(std::string_view bytes,
                                            unsigned codePage) const override {
        return base_.fromCodePage(bytes, codePage);
    }
    bool isLeadByte(unsigned char byte, unsigned codePage) const override {
        return base_.isLeadByte(byte, codePage);
    }

private:
    platform::LinuxTextServices base_;
    unsigned codePage_;
};

TEST(AnsiCodePage, SettingThenSystemThenLanguageTableThenLanguage) {
    const platform::LinuxTextServices linux;
    const LegacySystem windows(1251);
    const struct {
        const char* configured;
        const char* languageTable;
        int languageId;
        const TextServices& text;
        unsigned codePage;
    } cases[] = {
        {"", "", 1033, linux, 1252},
        {"", "", 2052, linux, 936},
        {"936", "", 1033, linux, 936},
        {" 1250 ", "", 1033, linux, 1250},
        {"65001", "", 2052, linux, 65001},
        {"", "1257", 1033, linux, 1257},
        {"1250", "1257", 1033, linux, 1250},
        // Not a code page: the language's.
        {"abc", "", 2052, linux, 936},
        {"0", "", 1033, linux, 1252},
        {"-1252", "", 1033, linux, 1252},
        {"1252x", "", 2052, linux, 936},
        {"99999", "", 1033, linux, 1252},
        {"12345", "", 2052, linux, 936},
        {"", "12345", 2052, linux, 936},
        {"", "", 1081, linux, 65001},
        // A system with a code page of its own keeps it unless the setting names another.
        {"", "", 2052, windows, 1251},
        {"", "1257", 1033, windows, 1251},
        {"1252", "", 2052, windows, 1252},
        {"abc", "", 1033, windows, 1251},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseAnsiCodePage({c.configured, c.languageTable, c.languageId}, c.text),
                  c.codePage)
            << "'" << c.configured << "' '" << c.languageTable << "' " << c.languageId;
    }
}

// Every byte of Windows-1252, a block of sixteen at a time and the rest one by one.
TEST(CodePageFolding, FoldsTheCapitalsOfWindows1252AndNothingElse) {
    const platform::LinuxTextServices text;
    std::string bytes;
    std::string expected;
    for (int byte = 0; byte < 256 + 7; ++byte) {
        const int value = byte % 256;
        int small = value;
        if ((value >= 'A' && value <= 'Z') || (value >= 0xc0 && value <= 0xde && value != 0xd7)) {
            small = value + 0x20;
        } else if (value == 0x8a || value == 0x8c || value == 0x8e) {
            small = value + 0x10;
        } else if (value == 0x9f) {
            small = 0xff;
        }
        bytes.push_back(static_cast<char>(value));
        expected.push_back(static_cast<char>(small));
    }
    const CodePageFolding folding(text, 1252);
    EXPECT_EQ(folding.folded(bytes), expected);
    std::string copy(bytes.size(), '\0');
    bool afterLeadByte = false;
    folding.foldInto(bytes.data(), copy.data(), bytes.size(), afterLeadByte);
    EXPECT_EQ(copy, expected);
    EXPECT_EQ(CodePageFolding(text, 1251).folded("\xc6\xa8Z\xe6"), "\xe6\xb8z\xe6");
    EXPECT_TRUE(CodePageFolding(text, 65001).foldsAsciiOnly());
}

class AnsiCodePageSettingTest : public test::ProgramFolderFixture {};

// The fixture's system language is Chinese (2052).
TEST_F(AnsiCodePageSettingTest, ReadsTheSettingsAndTheLanguageFileWithoutWritingThem) {
    EXPECT_EQ(ansiCodePageSetting(), 936u);
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));

    folder.writeFile("prog/anna.desk7.ini", "[Config]\r\nLanguageID=1031\r\n");
    EXPECT_EQ(ansiCodePageSetting(), 1252u);
    folder.writeFile("prog/Language/1031.ini", "[Config]\r\nAnsiCodePage=1250\r\n");
    EXPECT_EQ(ansiCodePageSetting(), 1250u);
    folder.writeFile("prog/anna.desk7.ini", "[Config]\r\nLanguageID=1031\r\nAnsiCodePage=x\r\n");
    EXPECT_EQ(ansiCodePageSetting(), 1250u);
    folder.writeFile("prog/anna.desk7.ini",
                     "[Config]\r\nLanguageID=1031\r\nAnsiCodePage=65001\r\n");
    EXPECT_EQ(ansiCodePageSetting(), 65001u);
    EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"),
              "[Config]\r\nLanguageID=1031\r\nAnsiCodePage=65001\r\n");
    EXPECT_EQ(folder.readFile("prog/Language/1031.ini"), "[Config]\r\nAnsiCodePage=1250\r\n");
}

class AnsiContentTest : public test::ProgramFolderFixture {
protected:
    // Whether a file of these bytes holds the text, searched as the form sends it.
    bool finds(const std::string& bytes, const std::string& text, unsigned codePage,
               bool matchCase = false, bool ansi = true, bool unicode = true,
               bool utf8 = true) const {
        folder.writeFile("file.bin", bytes);
        ContentInputs inputs;
        inputs.text = text;
        inputs.matchCase = matchCase;
        inputs.matchAnsi = ansi;
        inputs.matchUnicode = unicode;
        inputs.matchUtf8 = utf8;
        inputs.ansiCodePage = codePage;
        const ContentCriteria criteria = compileContent(inputs);
        const std::atomic<bool> stop = false;
        return fileContentMatches(folder / "file.bin", static_cast<std::int64_t>(bytes.size()),
                                  criteria, stop);
    }
};

TEST_F(AnsiContentTest, FilesWrittenInTheCodePageOfTheLanguageAreFound) {
    const std::string wideChinese("\x2d\x4e\x87\x65", 4);
    const struct {
        const char* what;
        std::string file;
        std::string text;
        unsigned codePage;
        bool found;
    } cases[] = {
        {"1252", "x " + kGreeting1252 + " x", kGreeting, 1252, true},
        {"GBK", "x " + kChineseGbk + " x", kChinese, 936, true},
        {"GBK searched as 1252", "x " + kChineseGbk + " x", kChinese, 1252, false},
        {"1252 searched as UTF-8", "x " + kGreeting1252 + " x", kGreeting, 65001, false},
        {"UTF-8 not in 1252", "x " + kChinese + " x", kChinese, 1252, true},
        {"UTF-16LE not in 1252", "x" + wideChinese + "x", kChinese, 1252, true},
        {"UTF-8 of the greeting", "x " + kGreeting + " x", kGreeting, 1252, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(finds(c.file, c.text, c.codePage), c.found) << c.what;
    }
    EXPECT_FALSE(finds(kChinese, kChinese, 1252, false, true, false, false))
        << "a text the code page lacks has no ANSI form";
}

// In Windows-1252 the capitals of Latin-1 fold to their small letters; "ß" has no capital of one
// byte, and "SS" stays two letters.
TEST_F(AnsiContentTest, CaseFoldsTheSingleByteCapitalsOfTheCodePage) {
    const struct {
        std::string file;
        std::string text;
        bool matchCase;
        bool found;
    } cases[] = {
        {"Gr\xfc\xdf"
         "e",
         "gr\xc3\xbc\xc3\x9f"
         "e",
         false, true},
        {"GR\xdc\xdf"
         "E",
         "gr\xc3\xbc\xc3\x9f"
         "e",
         false, true},
        {"gr\xfc\xdf"
         "e",
         "GR\xc3\x9c\xc3\x9f"
         "E",
         false, true},
        {"GR\xdc\xdf"
         "E",
         "GR\xc3\x9c\xc3\x9f"
         "E",
         false, true},
        {"GR\xdcSSE",
         "gr\xc3\xbc\xc3\x9f"
         "e",
         false, false},
        {"GR\xdc\xdf"
         "E",
         "gr\xc3\xbc\xc3\x9f"
         "e",
         true, false},
        {"\x8a\x9f", "\xc5\xa1\xc3\xbf", false, true},
        {"\xdc", "\xc3\xbc", false, true},
        {"\xc3\x9c", "\xc3\xbc", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(finds(c.file, c.text, 1252, c.matchCase, true, false, false), c.found)
            << c.file << " / " << c.text;
        EXPECT_EQ(finds(c.file, c.text, 1252, c.matchCase), c.found)
            << "all forms: " << c.file << " / " << c.text;
    }
}

// 丄 is 81 41 in GBK and 乤 is 81 61: the second byte of a character is no capital "A".
TEST_F(AnsiContentTest, SecondBytesOfDoubleByteCharactersAreNeverFolded) {
    const std::string shang = "\xe4\xb8\x84";
    const std::string shangGbk = "\x81\x41";
    const std::string otherGbk = "\x81\x61";
    const std::string chunkEnd(1048575, '.');
    const struct {
        const char* what;
        std::string file;
        std::string text;
        bool found;
    } cases[] = {
        {"the character itself", "x" + shangGbk + "B", shang + "b", true},
        {"another whose second byte is the small letter", "x" + otherGbk + "b", shang + "b", false},
        {"after a capital", "A" + shangGbk, "a" + shang, true},
        {"across the chunk end", chunkEnd + shangGbk + "B", shang + "b", true},
        {"another across the chunk end", chunkEnd + otherGbk + "b", shang + "b", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(finds(c.file, c.text, 936, false, true, false, false), c.found) << c.what;
        EXPECT_EQ(finds(c.file, c.text, 936), c.found) << "all forms: " << c.what;
    }
}

}  // namespace
}  // namespace quillfen
