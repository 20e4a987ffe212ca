#include "platform/linux/SystemLocale.h"

#include <cstdlib>
#include <initializer_list>

#include "platform/linux/KnownLocales.h"
#include "platform/linux/PlatformModules.h"

namespace quillfen::platform {

namespace {

constexpr int kEnglishUnitedStates = 1033;
constexpr const char* kEnglish = "English";

std::string firstSetVariable(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

std::string withoutCodesetAndModifier(const std::string& posixName) {
    const auto end = posixName.find_first_of(".@");
    return posixName.substr(0, end);
}

}  // namespace

SystemLocale SystemLocale::fromEnvironment() {
    return SystemLocale(firstSetVariable({"LC_ALL", "LC_MESSAGES", "LANG"}));
}

SystemLocale::SystemLocale(const std::string& posixName) {
    const std::string name = withoutCodesetAndModifier(posixName);
    name_ = name.empty() || name == "C" || name == "POSIX" ? std::string("en_US") : name;
}

std::string SystemLocale::localeNameFor(int languageId) {
    const LocaleRules* rules = PlatformModules::icuLocale();
    return rules != nullptr ? rules->localeNameFor(languageId) : std::string();
}

int SystemLocale::languageId() const {
    int languageId = 0;
    if (const auto known = KnownLocales::find(name_)) {
        languageId = known->languageId;
    } else if (const LocaleRules* rules = PlatformModules::icuLocale()) {
        languageId = rules->languageId(name_);
    }
    return languageId == 0 ? kEnglishUnitedStates : languageId;
}

std::string SystemLocale::englishLanguageName() const {
    std::string languageName;
    if (const auto known = KnownLocales::find(name_)) {
        languageName = known->englishLanguageName;
    } else if (const LocaleRules* rules = PlatformModules::icuLocale()) {
        languageName = rules->englishLanguageName(name_);
    }
    return languageName.empty() ? kEnglish : languageName;
}

}  // namespace quillfen::platform
