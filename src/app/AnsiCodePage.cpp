#include "app/AnsiCodePage.h"

#include <string>

#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

// Windows numbers below 65536 both code pages and language identifiers.
constexpr std::size_t kMaxNumberDigits = 5;
constexpr unsigned long kMaxNumber = 0xFFFF;
constexpr int kPrimaryLanguageMask = 0x3FF;

struct LanguageCodePage {
    int language;
    unsigned codePage;
};

// Primary languages by the code page Windows gives them.
constexpr LanguageCodePage kPrimaryLanguages[] = {
    // Western European
    {0x09, 1252},
    {0x07, 1252},
    {0x0C, 1252},
    {0x0A, 1252},
    {0x10, 1252},
    {0x16, 1252},
    {0x13, 1252},
    {0x1D, 1252},
    {0x06, 1252},
    {0x14, 1252},
    {0x0B, 1252},
    {0x0F, 1252},
    {0x03, 1252},
    {0x2D, 1252},
    {0x56, 1252},
    {0x21, 1252},
    {0x3E, 1252},
    {0x41, 1252},
    {0x36, 1252},
    {0x38, 1252},
    {0x3C, 1252},
    {0x62, 1252},
    // Central European
    {0x15, 1250},
    {0x05, 1250},
    {0x1B, 1250},
    {0x0E, 1250},
    {0x24, 1250},
    {0x18, 1250},
    {0x1C, 1250},
    {0x1A, 1250},
    // Cyrillic
    {0x19, 1251},
    {0x22, 1251},
    {0x02, 1251},
    {0x23, 1251},
    {0x2F, 1251},
    {0x3F, 1251},
    {0x40, 1251},
    {0x44, 1251},
    {0x50, 1251},
    // Greek, Turkish, Hebrew, Arabic, Baltic, Vietnamese, Thai
    {0x08, 1253},
    {0x1F, 1254},
    {0x2C, 1254},
    {0x43, 1254},
    {0x0D, 1255},
    {0x01, 1256},
    {0x29, 1256},
    {0x20, 1256},
    {0x25, 1257},
    {0x26, 1257},
    {0x27, 1257},
    {0x2A, 1258},
    {0x1E, 874},
    // East Asian
    {0x11, 932},
    {0x04, 936},
    {0x12, 949}};

// Languages whose code page differs from that of their primary language: Chinese written with
// traditional characters, and Serbian and Bosnian in Cyrillic script.
constexpr LanguageCodePage kWholeLanguages[] = {{0x0404, 950},  {0x0C04, 950},  {0x1404, 950},
                                                {0x0C1A, 1251}, {0x1C1A, 1251}, {0x201A, 1251},
                                                {0x281A, 1251}};

std::optional<unsigned> decimalNumber(std::string_view text) {
    if (text.empty() || text.size() > kMaxNumberDigits ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const unsigned long value = std::stoul(std::string(text));
    if (value == 0 || value > kMaxNumber) {
        return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

// The language whose table the program shows, as the language table chooses it, but without
// writing the setting back.
int chosenLanguageId() {
    const int systemLanguage = platform::currentPlatform().system().systemLanguageId();
    const std::optional<unsigned> configured =
        decimalNumber(trimWhiteSpace(readIniValue(settingsFilePath(), "Config", "LanguageID")));
    return configured ? static_cast<int>(*configured) : systemLanguage;
}

}  // namespace

unsigned languageCodePage(int languageId) {
    for (const LanguageCodePage& entry : kWholeLanguages) {
        if (entry.language == languageId) {
            return entry.codePage;
        }
    }
    for (const LanguageCodePage& entry : kPrimaryLanguages) {
        if (entry.language == (languageId & kPrimaryLanguageMask)) {
            return entry.codePage;
        }
    }
    return platform::TextServices::kUtf8CodePage;
}

std::optional<unsigned> parseCodePage(std::string_view value, const platform::TextServices& text) {
    const std::optional<unsigned> number = decimalNumber(trimWhiteSpace(value));
    if (!number || !text.knowsCodePage(*number)) {
        return std::nullopt;
    }
    return number;
}

unsigned chooseAnsiCodePage(const AnsiCodePageSources& sources,
                            const platform::TextServices& text) {
    if (const std::optional<unsigned> configured = parseCodePage(sources.configured, text)) {
        return *configured;
    }
    if (text.hasLegacyCodePage()) {
        return text.ansiCodePage();
    }
    if (const std::optional<unsigned> fromTable = parseCodePage(sources.languageTable, text)) {
        return *fromTable;
    }
    const unsigned ofLanguage = languageCodePage(sources.languageId);
    return text.knowsCodePage(ofLanguage) ? ofLanguage : platform::TextServices::kUtf8CodePage;
}

unsigned ansiCodePageSetting() {
    const int languageId = chosenLanguageId();
    const std::string configured = readIniValue(settingsFilePath(), "Config", kAnsiCodePageKey);
    const std::string languageFile = languageFolder() + std::to_string(languageId) + ".ini";
    const std::string fromTable = readIniValue(languageFile, "Config", kAnsiCodePageKey);
    return chooseAnsiCodePage({configured, fromTable, languageId},
                              platform::currentPlatform().text());
}

}  // namespace quillfen
