#pragma once

#include "platform/linux/LocaleRules.h"

namespace quillfen::platform {

// ICU's locale data: names are canonicalised first ("iw" is "he"), and a bare language takes the
// identifier of its likely region, since Windows identifiers always name a country.
class IcuLocaleRules final : public LocaleRules {
public:
    int languageId(const std::string& localeName) const override;
    std::string englishLanguageName(const std::string& localeName) const override;
    std::string localeNameFor(int languageId) const override;
};

}  // namespace quillfen::platform
