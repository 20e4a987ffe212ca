#include "platform/linux/icu/IcuLocaleRules.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

namespace quillfen::platform {

namespace {

std::string canonical(const std::string& name) {
    char canonicalName[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_canonicalize(name.c_str(), canonicalName, sizeof canonicalName, &status);
    return U_SUCCESS(status) ? std::string(canonicalName) : std::string();
}

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

int IcuLocaleRules::languageId(const std::string& localeName) const {
    const std::string name = canonical(localeName);
    if (name.empty()) {
        return 0;
    }
    uint32_t lcid = uloc_getLCID(name.c_str());
    if ((lcid & 0xFC00) == 0) {
        lcid = uloc_getLCID(withLikelyRegion(name).c_str());
    }
    return static_cast<int>(lcid & 0xFFFF);
}

std::string IcuLocaleRules::englishLanguageName(const std::string& localeName) const {
    const std::string name = canonical(localeName);
    UChar languageName[256] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayLanguage(name.c_str(), "en", languageName, 256, &status);
    if (name.empty() || U_FAILURE(status) || length <= 0) {
        return {};
    }
    char utf8[1024] = {};
    int32_t written = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8(utf8, sizeof utf8, &written, languageName, length, &status);
    return U_SUCCESS(status) ? std::string(utf8, static_cast<size_t>(written)) : std::string();
}

std::string IcuLocaleRules::localeNameFor(int languageId) const {
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        uloc_getLocaleForLCID(static_cast<uint32_t>(languageId), name, sizeof name, &status);
    return U_SUCCESS(status) && length > 0 ? std::string(name, static_cast<size_t>(length))
                                           : std::string();
}

}  // namespace quillfen::platform
