#include "platform/linux/SystemLocale.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include <cstdlib>

namespace quillfen::platform {

namespace {

constexpr int kEnglishUnitedStates = 1033;

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

// A bare language such as "de" names no country, but Windows identifiers always do; the likely
// region of the language fills the gap, as "de" means German (Germany).
std::string withLikelyRegion(const std::string& name) {
    char maximized[ULOC_FULLNAME_CAPACITY] = {};
    char language[ULOC_LANG_CAPACITY] = {};
    char country[ULOC_COUNTRY_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(name.c_str(), maximized, sizeof maximized, &status);
    uloc_getLanguage(maximized, language, sizeof language, &status);
    uloc_getCountry(maximized, country, sizeof country, &status);
    return U_SUCCESS(status) ? std::string(language) + "_" + country : name;
}

}  // namespace

SystemLocale SystemLocale::fromEnvironment() {
    return SystemLocale(firstSetVariable({"LC_ALL", "LC_MESSAGES", "LANG"}));
}

SystemLocale::SystemLocale(const std::string& posixName) {
    const std::string name = withoutCodesetAndModifier(posixName);
    if (name.empty() || name == "C" || name == "POSIX") {
        icuName_ = "en_US";
        return;
    }
    char canonical[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_canonicalize(name.c_str(), canonical, sizeof canonical, &status);
    icuName_ = U_SUCCESS(status) ? std::string(canonical) : std::string("en_US");
}

std::string SystemLocale::localeNameFor(int languageId) {
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        uloc_getLocaleForLCID(static_cast<uint32_t>(languageId), name, sizeof name, &status);
    return U_SUCCESS(status) && length > 0 ? std::string(name, static_cast<size_t>(length))
                                           : std::string();
}

int SystemLocale::languageId() const {
    uint32_t lcid = uloc_getLCID(icuName_.c_str());
    if ((lcid & 0xFC00) == 0) {
        lcid = uloc_getLCID(withLikelyRegion(icuName_).c_str());
    }
    const int languageId = static_cast<int>(lcid & 0xFFFF);
    return languageId == 0 ? kEnglishUnitedStates : languageId;
}

std::string SystemLocale::englishLanguageName() const {
    UChar name[256] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayLanguage(icuName_.c_str(), "en", name, 256, &status);
    if (U_FAILURE(status) || length <= 0) {
        return "English";
    }
    char utf8[1024] = {};
    int32_t written = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8(utf8, sizeof utf8, &written, name, length, &status);
    return U_SUCCESS(status) ? std::string(utf8, static_cast<size_t>(written)) : "English";
}

}  // namespace quillfen::platform
