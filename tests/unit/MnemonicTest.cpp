#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/LanguageTable.h"

namespace quillfen {
namespace {

const std::filesystem::path kSourceDir = QUILLFEN_SOURCE_DIR;

// The texts of the labelled controls and buttons that one window shows at once; Find and Stop
// share a place but each has its own letter all the same.
struct Window {
    const char* name;
    std::vector<const char*> texts;
};

const std::vector<Window> kWindows = {
    {"search",
     {"All or part of the file name:", "Look in:", "Search subfolders", "Find:", "Text", "Hex",
      "Match case", "Match Ansi", "Match Unicode", "Match UTF-8", "When was it modified?",
      "What size is it?", "Find", "Stop"}},
    {"duplicates",
     {"File name:", "Look in:", "Options:", "Match Filename", "Match Extension",
      "Match Modified Time", "Match File Body", "Find", "Stop"}},
    {"configuration",
     {".Exe .Ico ... Files show self icon.", "Integrate Quillfen! to shell context menu.",
      "Search in Recycle Bin", "Answer searches from an index when one covers the folder",
      "Default Editor:", "OK", "Cancel"}},
};

// The letter after the one single "&" of a text, lower-cased; 0 when there is none or more.
char mnemonicOf(const std::string& text) {
    char letter = 0;
    int count = 0;
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != '&') {
            continue;
        }
        if (text[at + 1] == '&') {
            ++at;
            continue;
        }
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1])));
        ++count;
    }
    return count == 1 && std::isalnum(static_cast<unsigned char>(letter)) ? letter : 0;
}

std::string withoutMnemonic(std::string text) {
    const auto at = text.find('&');
    if (at != std::string::npos) {
        text.erase(at, 1);
    }
    return text;
}

// Alt and a letter reaches each control, in every language the program ships, and no two
// controls of one window answer to the same letter.
TEST(Mnemonics, EveryLabelledControlHasALetterOfItsOwnInEachWindowAndLanguage) {
    for (const char* language : {"1033", "1031", "2052"}) {
        const std::string table =
            (kSourceDir / "res/Language" / (std::string(language) + ".ini")).string();
        for (const Window& window : kWindows) {
            std::map<char, std::string> taken;
            for (const char* text : window.texts) {
                const std::string shown = readIniValue(table, "Translate", text);
                const char letter = mnemonicOf(shown);
                EXPECT_NE(letter, 0) << language << " " << window.name << ": " << shown;
                if (letter == 0) {
                    continue;
                }
                const auto [earlier, fresh] = taken.emplace(letter, shown);
                EXPECT_TRUE(fresh) << language << " " << window.name << ": '" << letter
                                   << "' in both " << earlier->second << " and " << shown;
            }
        }
    }
}

// The English table shows what its keys say, with the letters marked.
TEST(Mnemonics, EnglishTextsAreTheirKeysWithTheLetterMarked) {
    const std::string table = (kSourceDir / "res/Language/1033.ini").string();
    for (const Window& window : kWindows) {
        for (const char* text : window.texts) {
            EXPECT_EQ(withoutMnemonic(readIniValue(table, "Translate", text)), text);
        }
    }
}

// The menus name the Ctrl key as the keyboards of each language label it.
TEST(Mnemonics, MenuShortcutsNameTheControlKeyInTheLanguage) {
    const std::string english = (kSourceDir / "res/Language/1033.ini").string();
    const std::vector<std::string> keys = sectionKeyNames(english, "Translate");
    for (const auto& [language, keyName] : std::map<std::string, std::string>{
             {"1033", "\tCtrl+"}, {"1031", "\tStrg+"}, {"2052", "\tCtrl+"}}) {
        const std::string table = (kSourceDir / "res/Language" / (language + ".ini")).string();
        int shortcuts = 0;
        for (const std::string& key : keys) {
            const auto tab = key.find('\t');
            if (tab == std::string::npos) {
                continue;
            }
            ++shortcuts;
            const std::string shown = readIniValue(table, "Translate", key);
            EXPECT_NE(shown.find(keyName + key.substr(tab + 6)), std::string::npos)
                << language << ": " << shown;
        }
        EXPECT_EQ(shortcuts, 9) << language;
    }
}

}  // namespace
}  // namespace quillfen
