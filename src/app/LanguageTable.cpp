#include "app/LanguageTable.h"

#include <algorithm>
#include <atomic>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/IniDocument.h"
#include "app/IniFile.h"
#include "app/PathHelpers.h"
#include "app/RunCommand.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr std::string_view kEnglishTableName = "1033.ini";
constexpr std::string_view kTranslateSection = "Translate";
constexpr std::string_view kTranslatorsAddress = "translations@quillfen.org";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Language identifiers are 16-bit numbers, written in decimal.
constexpr std::size_t kMaxLanguageIdDigits = 5;
constexpr int kMaxLanguageId = 0xFFFF;

platform::Platform& os() {
    return platform::currentPlatform();
}

std::string languageFileFor(int languageId) {
    return languageFolder() + std::to_string(languageId) + ".ini";
}

// A folder given relative to another with '/' between its steps, resolved by text: each leading
// ".." step leaves one folder of the base, so the way need not exist to be followed.
std::string followRelative(std::string base, std::string_view relative) {
    const char separator = pathSeparator();
    while (relative.starts_with("../") || relative == "..") {
        base = withoutTrailingSeparator(base);
        base.erase(base.rfind(separator) + 1);
        relative.remove_prefix(std::min<std::size_t>(3, relative.size()));
    }
    std::string way(relative);
    std::replace(way.begin(), way.end(), '/', separator);
    return withTrailingSeparator(withTrailingSeparator(base) + way);
}

// The language folder as installed with the program: beside the executable in a portable copy, or
// in the program's data folder of an installation under a prefix, found from the programs' folder
// (bin/../share/quillfen). An installed copy asks its data folder first: a language folder beside
// it may be one an earlier version wrote there, with older tables.
std::string shippedLanguageFolder() {
    const std::string programFolder = moduleDirectory();
    const std::string language = std::string("Language") + pathSeparator();
    std::string beside = programFolder + language;
    std::string inDataFolder = followRelative(programFolder, QUILLFEN_SHIPPED_DATA_DIR) + language;
    if (os().system().isInstalledCopy()) {
        std::swap(beside, inDataFolder);
    }
    for (const std::string& candidate : {beside, inDataFolder}) {
        if (os().files().kindOf(candidate + std::string(kEnglishTableName)) ==
            platform::EntryKind::File) {
            return candidate;
        }
    }
    return {};
}

std::string utf16leBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Gives a document every key of the English table that it lacks or holds blank, each with itself
// as value.
void addKeys(IniDocument& document, const std::vector<std::string>& keys) {
    for (const std::string& key : keys) {
        const auto value = document.value(kTranslateSection, key);
        if (!value || trimWhiteSpaceEnd(*value).empty()) {
            document.setValue(kTranslateSection, key, key);
        }
    }
}

// Gives a language file the English table's keys in one replacement of the file rather than one
// per key.
void addEnglishKeys(const std::string& file) {
    const std::vector<std::string> keys = sectionKeyNames(englishTablePath(), kTranslateSection);
    os().files().editFile(file, [&](const std::optional<std::string>& current) {
        IniDocument document(current.value_or(std::string()), os().text());
        addKeys(document, keys);
        return std::optional<std::string>(document.bytes());
    });
}

// A language file that is empty or has no table of texts, as one left by a writer that died while
// creating it, counts as missing and is made again.
bool holdsTable(const std::optional<std::string>& bytes) {
    return bytes && IniDocument(*bytes, os().text()).hasSection(kTranslateSection);
}

// Only a language identifier may name a language file: any other text could lead the file name out
// of the language folder.
bool isLanguageIdentifier(std::string_view text) {
    if (text.empty() || text.size() > kMaxLanguageIdDigits ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    return std::stoi(std::string(text)) <= kMaxLanguageId;
}

// Copies a shipped table to a user's language folder that lacks it. The check and the copy are one
// edit, so a table that another process wrote meanwhile stays as it is.
void giveShippedTable(const std::string& shipped, const std::string& target) {
    if (holdsTable(os().files().readFile(target))) {
        return;
    }
    const std::optional<std::string> contents = os().files().readFile(shipped);
    if (!contents) {
        return;
    }
    os().files().editFile(target, [&](const std::optional<std::string>& current) {
        return holdsTable(current) || current == contents ? std::nullopt : contents;
    });
}

}  // namespace

std::string LanguageTable::translate(std::string_view english) {
    if (english.empty()) {
        return {};
    }
    const std::lock_guard lock(mutex_);
    prepareOnce();
    const std::string key(english);
    if (const auto cached = cache_.find(key); cached != cache_.end()) {
        return cached->second;
    }
    std::string text = readSetting(languageFilePath_, kTranslateSection, key, key);
    cache_.emplace(key, text);
    return text;
}

int LanguageTable::languageId() {
    const std::lock_guard lock(mutex_);
    prepareOnce();
    return languageId_;
}

void LanguageTable::prepareOnce() {
    if (!loaded_) {
        loaded_ = true;
        prepare();
    }
}

bool LanguageTable::loaded() const {
    const std::lock_guard lock(mutex_);
    return loaded_;
}

std::string LanguageTable::languageFilePath() const {
    const std::lock_guard lock(mutex_);
    return languageFilePath_;
}

void LanguageTable::prepare() {
    prepareLanguageFolder();
    const std::string systemLanguageId = std::to_string(os().system().systemLanguageId());
    std::string languageId =
        readSetting(settingsFilePath(), "Config", "LanguageID", systemLanguageId);
    if (!isLanguageIdentifier(languageId)) {
        languageId = systemLanguageId;
    }
    languageFilePath_ = languageFolder() + languageId + ".ini";
    languageId_ = std::stoi(languageId);
    if (!holdsTable(os().files().readFile(languageFilePath_))) {
        createLanguageFile();
    }
}

// A new language file starts as UTF-16LE text, the form translators are asked to keep. It appears
// whole, keys and language name at once, so a program killed meanwhile leaves no half of it.
void LanguageTable::createLanguageFile() {
    const std::vector<std::string> keys = sectionKeyNames(englishTablePath(), kTranslateSection);
    const std::string languageName = systemLanguageName();
    const std::string start = utf16leBytes(os().text().toUtf16("[Config]\r\nLanguageName="));
    os().files().editFile(
        languageFilePath_,
        [&](const std::optional<std::string>& current) -> std::optional<std::string> {
            if (holdsTable(current)) {
                return std::nullopt;
            }
            IniDocument document(start, os().text());
            addKeys(document, keys);
            document.setValue("Config", "LanguageName", languageName);
            return document.bytes();
        });
}

std::string LanguageTable::systemLanguageName() {
    const std::lock_guard lock(languageNameMutex_);
    if (systemLanguageName_.empty()) {
        systemLanguageName_ = os().system().systemLanguageEnglishName();
    }
    return systemLanguageName_;
}

LanguageTable& languageTable() {
    static LanguageTable table;
    return table;
}

std::string translate(std::string_view english) {
    return languageTable().translate(english);
}

std::string translateInto(std::string_view languageId, std::string_view english) {
    if (!isLanguageIdentifier(languageId)) {
        return translate(english);
    }
    const std::string file = languageFolder() + std::string(languageId) + ".ini";
    std::string text(
        trimWhiteSpaceEnd(readIniValue(file, kTranslateSection, std::string(english))));
    return text.empty() ? std::string(english) : text;
}

std::string languageFolder() {
    return settingsDirectory() + "Language" + pathSeparator();
}

void prepareLanguageFolder() {
    const std::string folder = languageFolder();
    createDirectoryChain(folder);
    const std::string shipped = shippedLanguageFolder();
    if (shipped.empty() || shipped == folder) {
        return;
    }
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    os().files().listFolder(shipped, entries, never, {});
    for (const platform::FolderEntry& entry : entries) {
        if (!entry.isFolder && upperAscii(entry.name).ends_with(".INI")) {
            giveShippedTable(shipped + entry.name, folder + entry.name);
        }
    }
}

std::string englishTablePath() {
    prepareLanguageFolder();
    return languageFolder() + std::string(kEnglishTableName);
}

std::vector<std::string> sectionKeyNames(const std::string& file, std::string_view section) {
    std::vector<std::string> keys;
    std::string text = os().files().readFile(file).value_or(std::string());
    // The table is read as 8-bit text that ends at its first zero byte, so a UTF-16 table yields
    // nothing rather than garbage.
    if (const auto zero = text.find('\0'); zero != std::string::npos) {
        text.resize(zero);
    }
    // An editor that saves the table as UTF-8 may put a byte-order mark in front of the first
    // header, which would otherwise hide it; without it the table is in the system's code page.
    if (text.starts_with(kUtf8Mark)) {
        text.erase(0, kUtf8Mark.size());
    } else {
        text = os().text().fromAnsiCodePage(text);
    }
    const std::vector<std::string> lines = splitText(text, "\r\n");
    const std::string header = "[" + upperAscii(section) + "]";
    auto line = lines.begin();
    while (line != lines.end() && upperAscii(*line) != header) {
        ++line;
    }
    if (line == lines.end()) {
        return keys;
    }
    for (++line; line != lines.end() && !line->starts_with('['); ++line) {
        if (line->starts_with(';')) {
            continue;
        }
        const auto equals = line->find('=');
        if (equals != std::string::npos && equals > 0) {
            keys.push_back(line->substr(0, equals));
        }
    }
    return keys;
}

std::string systemLanguageName() {
    return languageTable().systemLanguageName();
}

void openTranslationReadme() {
    createDirectoryChain(languageFolder());
    const std::string target = languageFileFor(os().system().systemLanguageId());
    addEnglishKeys(target);
    readSetting(target, "Config", "Transalte By", "");
    writeSetting(target, "Config", "Readme",
                 "Please translate all values in following AppName \"Translate\" to " +
                     systemLanguageName() + " and save as encoding Unicode. Mail this file to " +
                     std::string(kTranslatorsAddress) + ". Thank you very much.");
    std::vector<std::string> command = splitCommandWords(Application::instance().editor);
    if (command.empty()) {
        command = splitCommandWords(os().system().defaultTextEditor());
    }
    command.push_back(target);
    runCommand(command, false, true, -1);
}

}  // namespace quillfen
