#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "app/IniFile.h"
#include "app/LanguageTable.h"

namespace quillfen {
namespace {

const std::filesystem::path kSourceDir = QUILLFEN_SOURCE_DIR;

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Reads one or more adjacent string literals starting at `at`; nullopt when the argument is not a
// literal (a variable, a call).
std::optional<std::string> literalAt(const std::string& code, size_t at) {
    std::string text;
    bool any = false;
    for (;;) {
        while (at < code.size() && std::isspace(static_cast<unsigned char>(code[at]))) {
            ++at;
        }
        if (at >= code.size() || code[at] != '"') {
            return any ? std::optional(text) : std::nullopt;
        }
        for (++at; at < code.size() && code[at] != '"'; ++at) {
            if (code[at] == '\\' && at + 1 < code.size()) {
                const char escaped = code[++at];
                text.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
            } else {
                text.push_back(code[at]);
            }
        }
        ++at;
        any = true;
    }
}

std::set<std::string> translatedLiterals() {
    std::set<std::string> literals;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kSourceDir / "src")) {
        const auto extension = entry.path().extension();
        if (extension != ".cpp" && extension != ".h") {
            continue;
        }
        const std::string code = readWhole(entry.path());
        for (const std::string call : {"translate(", "translatable("}) {
            for (size_t at = code.find(call); at != std::string::npos;
                 at = code.find(call, at + 1)) {
                const bool partOfLongerName =
                    at > 0 &&
                    (std::isalnum(static_cast<unsigned char>(code[at - 1])) || code[at - 1] == '_');
                if (partOfLongerName) {
                    continue;
                }
                if (auto literal = literalAt(code, at + call.size())) {
                    literals.insert(*literal);
                }
            }
        }
    }
    return literals;
}

TEST(EnglishTable, ListsEveryTextTheProgramTranslates) {
    const std::string table = (kSourceDir / "res/Language/1033.ini").string();
    const std::vector<std::string> keys = sectionKeyNames(table, "Translate");
    const std::set<std::string> listed(keys.begin(), keys.end());
    for (const std::string& literal : translatedLiterals()) {
        EXPECT_TRUE(listed.contains(literal)) << "missing from 1033.ini: " << literal;
    }
}

// Controls' texts carry their Alt-key letter after an "&", which their keys do not.
TEST(EnglishTable, IsAnEightBitFileWhoseValuesAreTheirKeysSaveForTheAltKeyLetter) {
    const std::string bytes = readWhole(kSourceDir / "res/Language/1033.ini");
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    std::istringstream lines(bytes);
    bool inTranslate = false;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_TRUE(line.ends_with('\r')) << "lines end with CR LF: " << line;
        line.pop_back();
        if (line.starts_with('[')) {
            inTranslate = line == "[Translate]";
        } else if (inTranslate) {
            const auto equals = line.find('=');
            ASSERT_NE(equals, std::string::npos) << line;
            std::string value = line.substr(equals + 1);
            if (const auto mark = value.find('&'); mark != std::string::npos) {
                value.erase(mark, 1);
            }
            EXPECT_EQ(line.substr(0, equals), value);
        }
    }
}

TEST(EnglishTable, ShippedTranslationsTranslateEveryTextAndKeepPlaceholders) {
    const std::string english = (kSourceDir / "res/Language/1033.ini").string();
    const std::vector<std::string> keys = sectionKeyNames(english, "Translate");
    for (const char* id : {"1031", "2052"}) {
        const std::string file =
            (kSourceDir / "res/Language" / (std::string(id) + ".ini")).string();
        EXPECT_TRUE(readWhole(file).starts_with("\xff\xfe")) << file << " is saved as Unicode";
        EXPECT_FALSE(readIniValue(file, "Config", "LanguageName").empty()) << file;
        for (const std::string& key : keys) {
            const std::string value = readIniValue(file, "Translate", key);
            EXPECT_FALSE(value.empty()) << file << " lacks " << key;
            for (const char* placeholder : {"%s", "%d", "\t"}) {
                EXPECT_EQ(key.find(placeholder) == std::string::npos,
                          value.find(placeholder) == std::string::npos)
                    << file << ": " << key;
            }
        }
    }
}

}  // namespace
}  // namespace quillfen
