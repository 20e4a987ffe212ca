#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace quillfen::platform {

// The most common locales with what ICU's locale data say of them, so that a program started in
// one of them needs no ICU to choose its language. The rows hold ICU's own answers.
class KnownLocales {
public:
    struct Locale {
        std::string_view name;
        int languageId;
        std::string_view englishLanguageName;
    };

    // The locale named exactly so ("de_DE", "de"), without codeset or modifier.
    static std::optional<Locale> find(std::string_view name);
    static std::span<const Locale> all();
};

}  // namespace quillfen::platform
