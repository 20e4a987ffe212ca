#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillfen {

// The table that turns the program's English texts into the chosen language. The English text is
// the key; a text the language file lacks is added to it with the English text as its value, so
// translators find every text of the program in the file. The table is prepared on the first
// non-empty request and never refreshed: a language change takes effect at the next start.
class LanguageTable {
public:
    std::string translate(std::string_view english);

    bool loaded() const;
    std::string languageFilePath() const;
    // The Windows identifier of the language shown (1033, 1031, 2052, ...).
    int languageId();
    // English name of the system's default language, asked again while the answer is empty.
    std::string systemLanguageName();

private:
    // Called with the lock held.
    void prepareOnce();
    void prepare();
    void createLanguageFile();

    mutable std::mutex mutex_;
    bool loaded_ = false;
    std::string languageFilePath_;
    int languageId_ = 0;
    std::unordered_map<std::string, std::string> cache_;
    std::mutex languageNameMutex_;
    std::string systemLanguageName_;
};

// The process-wide table behind translate().
LanguageTable& languageTable();
std::string translate(std::string_view english);

// The text as the language file of that identifier gives it, or the English text when the file
// lacks it; the file is only read. For what is written now for the language the program speaks
// from its next start. Any other identifier than a language number translates as translate does.
std::string translateInto(std::string_view languageId, std::string_view english);

// Marks a literal that is translated later, so that the English table's completeness check finds
// it too.
constexpr const char* translatable(const char* english) {
    return english;
}

// The folder of the language files, beside the settings file, ending with a separator.
std::string languageFolder();
// Creates the language folder and gives it the language files shipped with the program that it
// lacks, so that a copy of the program installed read-only still offers its translations.
void prepareLanguageFolder();
// The English table, which lists every text of the program.
std::string englishTablePath();
// The key names of one section of an 8-bit ini file, in file order, duplicates kept, not trimmed.
std::vector<std::string> sectionKeyNames(const std::string& file, std::string_view section);
std::string systemLanguageName();
// Prepares the language file of the system's own language for a volunteer translator and opens it
// in the editor.
void openTranslationReadme();

}  // namespace quillfen
