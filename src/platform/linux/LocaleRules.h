#pragma once

#include <string>

namespace quillfen::platform {

// What the system's locale data say about a locale named the ICU way ("de_DE", "zh"): the
// Windows language identifier, the language's English name, and the way back from an identifier.
class LocaleRules {
public:
    virtual ~LocaleRules() = default;

    // 0 when the locale has no identifier.
    virtual int languageId(const std::string& localeName) const = 0;
    // Empty when the language has no name.
    virtual std::string englishLanguageName(const std::string& localeName) const = 0;
    // Empty when the identifier names no locale.
    virtual std::string localeNameFor(int languageId) const = 0;
};

}  // namespace quillfen::platform
