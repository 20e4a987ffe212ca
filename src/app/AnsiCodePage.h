#pragma once

#include <optional>
#include <string_view>

namespace quillfen {

namespace platform {
class TextServices;
}

// The key, in section "Config" of the settings file and of a language file, that names the code
// page of the "Match Ansi" form by its Windows number.
inline constexpr std::string_view kAnsiCodePageKey = "AnsiCodePage";

// What the code page of the "Match Ansi" form is chosen from.
struct AnsiCodePageSources {
    // The settings file's value, as written.
    std::string_view configured;
    // The language file's value, as written.
    std::string_view languageTable;
    int languageId = 0;
};

// The code page in which Windows writes the 8-bit text of a language, by its language
// identifier: 1252 for English and German, 936 for Chinese (PRC), and so on. The UTF-8 code page
// for a language without one, or one not known here.
unsigned languageCodePage(int languageId);

// A code page number as a setting writes it: decimal digits naming a code page the platform can
// convert. Nothing for any other text.
std::optional<unsigned> parseCodePage(std::string_view value, const platform::TextServices& text);

// The setting when it names a code page; else the system's own code page where it has one, so
// that a Windows system searches as it always has; else the language file's value when it names a
// code page; else the code page of the language.
unsigned chooseAnsiCodePage(const AnsiCodePageSources& sources, const platform::TextServices& text);

// The choice made from the settings file and the language file of the chosen language. Only
// reads: a missing key is not written back, so the files stay as they were.
unsigned ansiCodePageSetting();

}  // namespace quillfen
