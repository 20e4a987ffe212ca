// The ini store against the system's own private-profile functions, on the same files: what the
// store reads is what GetPrivateProfileStringW reads, what the store writes reads the same through
// the system, and what WritePrivateProfileStringW writes reads the same through the store.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/IniDocument.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "platform/windows/WideText.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

using platform::fromWide;
using platform::toWide;

// The buffer the settings reads ask the system to fill, in characters.
constexpr DWORD kProfileBuffer = 32768;

std::string systemValue(const std::string& file, const std::string& section,
                        const std::string& key) {
    std::wstring buffer(kProfileBuffer, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(), L"", buffer.data(),
                                 kProfileBuffer, toWide(file).c_str());
    return fromWide(std::wstring_view(buffer.data(), length));
}

// The key names of a section, as the system lists them for a read without a key name.
std::vector<std::string> systemKeyNames(const std::string& file, const std::string& section) {
    std::wstring buffer(kProfileBuffer, L'\0');
    const DWORD length = GetPrivateProfileStringW(
        toWide(section).c_str(), nullptr, L"", buffer.data(), kProfileBuffer, toWide(file).c_str());
    std::vector<std::string> names;
    std::wstring_view rest(buffer.data(), length);
    while (!rest.empty()) {
        const std::size_t end = rest.find(L'\0');
        names.push_back(fromWide(rest.substr(0, end)));
        rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
    }
    return names;
}

bool systemWrite(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    return WritePrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(),
                                      toWide(value).c_str(), toWide(file).c_str()) != FALSE;
}

enum class Form { Ansi, Utf16WithBom, Utf8WithBom };

const char* nameOf(Form form) {
    switch (form) {
        case Form::Ansi:
            return "Ansi";
        case Form::Utf16WithBom:
            return "Utf16WithBom";
        case Form::Utf8WithBom:
            return "Utf8WithBom";
    }
    return "";
}

std::string utf16le(std::string_view text) {
    std::string bytes;
    for (const char16_t unit : platform::currentPlatform().text().toUtf16(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::optional<std::string> encoded(std::string_view text, Form form) {
    switch (form) {
        case Form::Ansi:
            return platform::currentPlatform().text().toAnsiCodePage(text);
        case Form::Utf16WithBom:
            return "\xFF\xFE" + utf16le(text);
        case Form::Utf8WithBom:
            return "\xEF\xBB\xBF" + std::string(text);
    }
    return std::nullopt;
}

std::string withLineEnds(std::string_view text, bool crlf) {
    std::string result;
    for (const char c : text) {
        if (c == '\n' && crlf) {
            result += '\r';
        }
        result += c;
    }
    return result;
}

struct Query {
    std::string section;
    std::string key;
};

struct FileCase {
    const char* name;
    std::string text;  // lines end with "\n"; the CRLF forms get "\r\n"
    std::vector<Query> queries;
};

const std::string kLongValue(40000, 'x');
// Longer than a read can return, inside the quotes a read removes. (A quoted value that fills the
// buffer exactly loses its last character to the system's quote removal; the store keeps it.)
const std::string kQuotedLongValue = "\"" + std::string(40000, 'q') + "\"";
const std::string kQuotedNearlyFullValue =
    "\"" + std::string(IniDocument::kMaxValueUnits - 1, 'q') + "\"";
const std::string kGreeting = "Grüße";

std::string repeated(const std::string& text, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

std::vector<FileCase> fileCases() {
    return {
        {"Settings",
         "[Config]\nShowSelfIcon=N\nEditor=Notepad.exe\nLanguageID=1033\n",
         {{"Config", "ShowSelfIcon"},
          {"config", "EDITOR"},
          {"Config", "LanguageID"},
          {"Config", "Missing"},
          {"Missing", "ShowSelfIcon"}}},
        {"CaseAndBlanks",
         "[ Config ]\n  Editor  =  notepad  \n\tTab\t=\tv\t\n[other]\nKey=1\n",
         {{"Config", "Editor"},
          {"CONFIG", "editor"},
          {" Config ", " Editor "},
          {"Config", "Tab"},
          {"OTHER", "key"}}},
        {"Duplicates",
         "[A]\nk=first\nk=second\n[B]\nx=1\n[a]\nk=third\nj=only-in-second\n",
         {{"A", "k"}, {"a", "j"}, {"B", "x"}}},
        {"KeysBeforeAnySection", "orphan=1\n[S]\nk=v\n", {{"S", "k"}, {"S", "orphan"}}},
        {"Comments",
         "[S]\n;k=commented\nk=real\n; note\n  ;x=1\nx=2\ninline=a=b ; not a comment\n",
         {{"S", "k"}, {"S", "x"}, {"S", "note"}, {"S", "inline"}}},
        {"LinesWithoutEquals", "[S]\njustaword\nk=v\n=novalue\n", {{"S", "justaword"}, {"S", "k"}}},
        {"EmptyValues",
         "[S]\nempty=\nblank=   \nk=v\n",
         {{"S", "empty"}, {"S", "blank"}, {"S", "k"}}},
        {"Quotes",
         "[S]\nd=\"double\"\ns='single'\nm=\"mixed'\nlone=\"\ninside=a\"b\"\n"
         "padded=  \" padded \"  \nnothing=\"\"\nopen=\"open\nclose=close\"\n",
         {{"S", "d"},
          {"S", "s"},
          {"S", "m"},
          {"S", "lone"},
          {"S", "inside"},
          {"S", "padded"},
          {"S", "nothing"},
          {"S", "open"},
          {"S", "close"}}},
        {"NonAsciiText",
         "[Einstellungen]\n" + kGreeting + "=" + kGreeting + " aus Köln\nÄrger=Öl\n",
         {{"Einstellungen", kGreeting},
          {"einstellungen", "Ärger"},
          {"EINSTELLUNGEN", "ÄRGER"},
          {"Einstellungen", "ärger"}}},
        {"HeaderShapes",
         "  [Indented]\nk=1\n[Trailing] text\nk=2\n[Unclosed\nk=3\n[a]b]\nk=4\n",
         {{"Indented", "k"}, {"Trailing", "k"}, {"Unclosed", "k"}, {"a]b", "k"}, {"a", "k"}}},
        {"LongValues",
         "[S]\nlong=" + kLongValue + "\nquoted=" + kQuotedLongValue + "\nnearly=" +
             kQuotedNearlyFullValue + "\ngreetings=" + repeated(kGreeting, 7000) + "\nafter=1\n",
         {{"S", "long"}, {"S", "quoted"}, {"S", "nearly"}, {"S", "greetings"}, {"S", "after"}}},
        {"LoneCarriageReturns",
         "[A]\nk=1\rj=2\n[B]\rx=3\n",
         {{"A", "k"}, {"A", "j"}, {"B", "x"}, {"A", "x"}}},
    };
}

// Cases whose text the 8-bit code page cannot hold: only the Unicode forms carry them.
std::vector<FileCase> unicodeCases() {
    return {{"UnicodeText", "[S]\nname=中文\n中文=键\n", {{"S", "name"}, {"S", "中文"}}}};
}

struct FileForm {
    FileCase file;
    Form form;
    bool crlf;
};

// UTF-16LE without a byte-order mark is left out: the store reads it (language files are created in
// that form), while Wine's profile functions take only a marked file for UTF-16 and read such a
// file as 8-bit text, which finds nothing in it.
std::vector<FileForm> fileForms() {
    std::vector<FileForm> forms;
    for (const Form form : {Form::Ansi, Form::Utf16WithBom, Form::Utf8WithBom}) {
        for (const bool crlf : {true, false}) {
            for (const FileCase& file : fileCases()) {
                forms.push_back({file, form, crlf});
            }
            if (form != Form::Ansi) {
                for (const FileCase& file : unicodeCases()) {
                    forms.push_back({file, form, crlf});
                }
            }
        }
    }
    return forms;
}

void PrintTo(const FileForm& form, std::ostream* out) {
    *out << form.file.name << ' ' << nameOf(form.form) << (form.crlf ? " CRLF" : " LF");
}

std::string formName(const testing::TestParamInfo<FileForm>& tested) {
    return std::string(tested.param.file.name) + nameOf(tested.param.form) +
           (tested.param.crlf ? "Crlf" : "Lf");
}

class IniDifferentialRead : public testing::TestWithParam<FileForm> {
protected:
    std::string bytes() const {
        const auto bytes =
            encoded(withLineEnds(GetParam().file.text, GetParam().crlf), GetParam().form);
        EXPECT_TRUE(bytes.has_value());
        return bytes.value_or(std::string());
    }

    std::string freshFile() {
        const std::string name = "file" + std::to_string(files_++) + ".ini";
        folder_.writeFile(name, bytes());
        return folder_ / name;
    }

    test::TemporaryFolder folder_;
    int files_ = 0;
};

TEST_P(IniDifferentialRead, ValuesAreTheSystemsValues) {
    const std::string file = freshFile();
    for (const Query& query : GetParam().file.queries) {
        EXPECT_EQ(readIniValue(file, query.section, query.key),
                  systemValue(file, query.section, query.key))
            << "[" << query.section << "] " << query.key;
    }
}

// The settings read removes trailing white space and writes a missing value's default back; each
// query gets a file of its own, so that one query's write-back does not meet the next.
TEST_P(IniDifferentialRead, SettingsAreTheSystemsValuesWithoutTrailingBlanks) {
    for (const Query& query : GetParam().file.queries) {
        const std::string file = freshFile();
        const std::string before = systemValue(file, query.section, query.key);
        EXPECT_EQ(readSetting(file, query.section, query.key, ""), trimWhiteSpaceEnd(before))
            << "[" << query.section << "] " << query.key;
        EXPECT_EQ(systemValue(file, query.section, query.key), before)
            << "[" << query.section << "] " << query.key << " after the settings read";
    }
}

INSTANTIATE_TEST_SUITE_P(Ini, IniDifferentialRead, testing::ValuesIn(fileForms()), formName);

// The file a write starts from: its text and form; no form is a missing file.
struct StartingFile {
    const char* name;
    const std::string* text;
    std::optional<Form> form;
    bool crlf;
};

const std::string kPlainText =
    "[Config]\nShowSelfIcon=N\nEditor=Notepad.exe\n[Path]\n0=C:\\Tools\\" + kGreeting + "\n";
// Comments, keys before any section, blanks, a blank line closing a section and a second section of
// the same name, all of which a write leaves as they are.
const std::string kRichText =
    "; kept\norphan=1\n[Config]\nShowSelfIcon=N\n;Editor=commented\n"
    "  Editor = Notepad.exe  \n\n[Path]\n0=C:\\Tools\\" +
    kGreeting + "\n\n[CONFIG]\nEditor=second\nLanguageID=1033\n";

std::vector<StartingFile> startingFiles() {
    return {{"Missing", &kPlainText, std::nullopt, true},
            {"AnsiCrlf", &kPlainText, Form::Ansi, true},
            {"AnsiLf", &kPlainText, Form::Ansi, false},
            {"Utf16WithBom", &kPlainText, Form::Utf16WithBom, true},
            {"Utf8WithBom", &kPlainText, Form::Utf8WithBom, true},
            {"RichAnsiCrlf", &kRichText, Form::Ansi, true},
            {"RichAnsiLf", &kRichText, Form::Ansi, false},
            {"RichUtf16WithBom", &kRichText, Form::Utf16WithBom, true}};
}

struct WriteCase {
    const char* name;
    Query target;
    std::string value;
};

std::vector<WriteCase> writeCases() {
    return {
        {"ReplacedValue", {"Config", "Editor"}, "Write.exe"},
        {"ReplacedInOtherCase", {"CONFIG", "editor"}, "Write.exe"},
        {"NewKey", {"Config", "LanguageID"}, "1031"},
        {"NewSection", {"Text", "0"}, "hello world"},
        {"NonAsciiValue", {"Text", "0"}, kGreeting + " aus Köln"},
        {"NonAsciiKey", {"Config", kGreeting}, "1"},
        {"EmptyValue", {"Config", "Editor"}, ""},
        {"PaddedValue", {"Config", "Editor"}, "  padded  "},
        {"BlanksAroundNames", {" Config ", " Editor "}, "x"},
        {"QuotedValue", {"Config", "Editor"}, "\"C:\\Program Files\\ed.exe\" -n"},
    };
}

void PrintTo(const StartingFile& start, std::ostream* out) {
    *out << start.name;
}

void PrintTo(const WriteCase& write, std::ostream* out) {
    *out << write.name;
}

std::vector<Query> probesAfter(const WriteCase& write) {
    std::vector<Query> probes{
        {"Config", "ShowSelfIcon"}, {"Config", "Editor"}, {"Config", "LanguageID"}, {"Path", "0"}};
    probes.push_back(write.target);
    return probes;
}

class IniDifferentialWrite : public testing::TestWithParam<std::tuple<StartingFile, WriteCase>> {
protected:
    std::string startedFile(const std::string& name) const {
        const StartingFile& start = std::get<0>(GetParam());
        if (start.form) {
            const auto bytes = encoded(withLineEnds(*start.text, start.crlf), *start.form);
            EXPECT_TRUE(bytes.has_value());
            folder_.writeFile(name, bytes.value_or(std::string()));
        }
        return folder_ / name;
    }

    test::TemporaryFolder folder_;
};

TEST_P(IniDifferentialWrite, OursReadsTheSameThroughTheSystem) {
    const WriteCase& write = std::get<1>(GetParam());
    const std::string ours = startedFile("ours.ini");
    ASSERT_TRUE(writeSetting(ours, write.target.section, write.target.key, write.value));
    for (const Query& probe : probesAfter(write)) {
        EXPECT_EQ(systemValue(ours, probe.section, probe.key),
                  readIniValue(ours, probe.section, probe.key))
            << "[" << probe.section << "] " << probe.key;
    }
}

TEST_P(IniDifferentialWrite, TheSystemsReadsTheSameThroughOurs) {
    const WriteCase& write = std::get<1>(GetParam());
    const std::string theirs = startedFile("theirs.ini");
    ASSERT_TRUE(systemWrite(theirs, write.target.section, write.target.key, write.value));
    for (const Query& probe : probesAfter(write)) {
        EXPECT_EQ(readIniValue(theirs, probe.section, probe.key),
                  systemValue(theirs, probe.section, probe.key))
            << "[" << probe.section << "] " << probe.key;
    }
}

TEST_P(IniDifferentialWrite, BothWritesReadTheSame) {
    const WriteCase& write = std::get<1>(GetParam());
    const std::string ours = startedFile("ours.ini");
    const std::string theirs = startedFile("theirs.ini");
    ASSERT_TRUE(writeSetting(ours, write.target.section, write.target.key, write.value));
    ASSERT_TRUE(systemWrite(theirs, write.target.section, write.target.key, write.value));
    for (const Query& probe : probesAfter(write)) {
        EXPECT_EQ(readIniValue(ours, probe.section, probe.key),
                  readIniValue(theirs, probe.section, probe.key))
            << "[" << probe.section << "] " << probe.key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniDifferentialWrite,
    testing::Combine(testing::ValuesIn(startingFiles()), testing::ValuesIn(writeCases())),
    [](const testing::TestParamInfo<std::tuple<StartingFile, WriteCase>>& tested) {
        return std::string(std::get<0>(tested.param).name) + std::get<1>(tested.param).name;
    });

// The English table's key list is read by a parser of its own; it agrees with the system's list of
// a section's keys on 8-bit files with CRLF line ends, headers without blanks, key names without
// blanks around them (the system trims them, the table's parser keeps them) and no line that starts
// with "=" (the system lists an empty name for it), where comments start their lines.
TEST(IniDifferentialKeyNames, AreTheSystemsKeyNames) {
    const struct {
        const char* name;
        std::string text;
        const char* section;
    } cases[] = {
        {"Settings", "[Config]\nShowSelfIcon=N\nEditor=Notepad.exe\n[Path]\n0=x\n", "config"},
        {"OtherSectionsAround", "[A]\na=1\n[Translate]\nFind=Find\nStop=Halt\n[B]\nb=2\n",
         "Translate"},
        {"Comments", "[S]\n;k=commented\nk=real\n; note\nx=2\n", "S"},
        {"EmptyValues", "[S]\nempty=\nblank=   \nk=v\n", "S"},
        {"NonAsciiNames", "[Translate]\n" + kGreeting + "=" + kGreeting + "\nÖl=Oil\n",
         "Translate"},
        {"KeysBeforeTheSection", "orphan=1\n[S]\nk=v\n", "S"},
        {"DuplicateKeys", "[S]\nk=1\nK=2\nj=3\n", "S"},
        {"DuplicateSections", "[S]\nk=1\n[T]\nt=1\n[s]\nj=2\n", "s"},
        {"LinesWithoutEquals", "[S]\nword\nk=v\n", "S"},
        {"MissingSection", "[S]\nk=v\n", "Translate"},
        {"EmptySection", "[S]\n[T]\nk=v\n", "S"},
    };
    for (const auto& c : cases) {
        for (const Form form : {Form::Ansi, Form::Utf8WithBom}) {
            const test::TemporaryFolder folder;
            const auto bytes = encoded(withLineEnds(c.text, true), form);
            ASSERT_TRUE(bytes.has_value()) << c.name;
            folder.writeFile("table.ini", *bytes);
            EXPECT_EQ(sectionKeyNames(folder / "table.ini", c.section),
                      systemKeyNames(folder / "table.ini", c.section))
                << c.name << ' ' << nameOf(form);
        }
    }
}

// Older versions wrote their settings in the system's 8-bit code page through the profile
// functions; the store reads those files and keeps writing them in that code page.
TEST(IniDifferentialCodePage, FilesTheSystemWroteInItsCodePageReadTheSame) {
    ASSERT_EQ(platform::currentPlatform().text().ansiCodePage(), 1252u);
    const test::TemporaryFolder folder;
    const std::string file = folder / "settings.ini";
    ASSERT_TRUE(systemWrite(file, "Text", "0", kGreeting));
    ASSERT_TRUE(systemWrite(file, "Einstellungen", kGreeting, "Köln"));
    EXPECT_EQ(folder.readFile("settings.ini"),
              "[Text]\r\n0=Gr\xFC\xDF"
              "e\r\n[Einstellungen]\r\nGr\xFC\xDF"
              "e=K\xF6ln\r\n");
    EXPECT_EQ(readSetting(file, "Text", "0", ""), kGreeting);
    EXPECT_EQ(readSetting(file, "einstellungen", kGreeting, ""), "Köln");

    ASSERT_TRUE(writeSetting(file, "Text", "1", "Öl"));
    EXPECT_EQ(folder.readFile("settings.ini"),
              "[Text]\r\n0=Gr\xFC\xDF"
              "e\r\n1=\xD6l\r\n"
              "[Einstellungen]\r\nGr\xFC\xDF"
              "e=K\xF6ln\r\n");
    EXPECT_EQ(systemValue(file, "Text", "1"), "Öl");
}

// A text the code page cannot hold: the system writes stand-in characters into the 8-bit file, and
// the text is lost; the store turns the file into UTF-16LE with a byte-order mark, which keeps it
// and which the system reads as well.
TEST(IniDifferentialCodePage, TextTheCodePageCannotHold) {
    const std::string chinese = "中文";
    for (const bool fileExists : {false, true}) {
        const test::TemporaryFolder folder;
        if (fileExists) {
            folder.writeFile("ours.ini",
                             "[Config]\r\nEditor=Gr\xFC\xDF"
                             "e.exe\r\n");
            folder.writeFile("theirs.ini",
                             "[Config]\r\nEditor=Gr\xFC\xDF"
                             "e.exe\r\n");
        }
        ASSERT_TRUE(writeSetting(folder / "ours.ini", "Text", "0", chinese));
        ASSERT_TRUE(systemWrite(folder / "theirs.ini", "Text", "0", chinese));

        EXPECT_TRUE(folder.readFile("ours.ini").starts_with("\xFF\xFE")) << fileExists;
        EXPECT_EQ(systemValue(folder / "ours.ini", "Text", "0"), chinese) << fileExists;
        EXPECT_EQ(readIniValue(folder / "ours.ini", "Text", "0"), chinese) << fileExists;

        EXPECT_EQ(folder.readFile("theirs.ini").find('\xFF'), std::string::npos) << fileExists;
        EXPECT_EQ(systemValue(folder / "theirs.ini", "Text", "0"), "??") << fileExists;
        EXPECT_EQ(readIniValue(folder / "theirs.ini", "Text", "0"), "??") << fileExists;
        if (fileExists) {
            for (const char* name : {"ours.ini", "theirs.ini"}) {
                EXPECT_EQ(systemValue(folder / name, "Config", "Editor"), "Grüße.exe") << name;
                EXPECT_EQ(readIniValue(folder / name, "Config", "Editor"), "Grüße.exe") << name;
            }
        }
    }
}

TEST(IniDifferentialMissingFile, ReadsEmptyOnBothSides) {
    const test::TemporaryFolder folder;
    const std::string file = folder / "missing.ini";
    EXPECT_EQ(readIniValue(file, "Config", "Editor"), "");
    EXPECT_EQ(systemValue(file, "Config", "Editor"), "");
    EXPECT_EQ(systemKeyNames(file, "Config"), std::vector<std::string>{});
    EXPECT_EQ(sectionKeyNames(file, "Config"), std::vector<std::string>{});
}

}  // namespace
}  // namespace quillfen
