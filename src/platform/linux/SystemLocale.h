#pragma once

#include <string>

namespace quillfen::platform {

// The user-interface locale of the process, taken from LC_ALL, LC_MESSAGES or LANG in that order
// of precedence, and expressed as Windows language identifiers and English language names. The
// common locales are answered from a table of their own; the others ask ICU's locale data.
class SystemLocale {
public:
    static SystemLocale fromEnvironment();
    // Accepts POSIX locale names such as "zh_CN.UTF-8" or "de_DE@euro".
    explicit SystemLocale(const std::string& posixName);
    // The locale name ("de_DE", "zh_CN") of a Windows language identifier; empty when unknown.
    static std::string localeNameFor(int languageId);

    // 1033 (English, United States) for the C and POSIX locales and for anything unknown.
    int languageId() const;
    std::string englishLanguageName() const;

private:
    std::string name_;
};

}  // namespace quillfen::platform
