#include "platform/linux/KnownLocales.h"

#include <algorithm>
#include <array>

namespace quillfen::platform {

namespace {

constexpr std::array kLocales = {
    KnownLocales::Locale{"bg", 1026, "Bulgarian"},
    KnownLocales::Locale{"bg_BG", 1026, "Bulgarian"},
    KnownLocales::Locale{"cs", 1029, "Czech"},
    KnownLocales::Locale{"cs_CZ", 1029, "Czech"},
    KnownLocales::Locale{"da", 1030, "Danish"},
    KnownLocales::Locale{"da_DK", 1030, "Danish"},
    KnownLocales::Locale{"de", 1031, "German"},
    KnownLocales::Locale{"de_AT", 3079, "German"},
    KnownLocales::Locale{"de_CH", 2055, "German"},
    KnownLocales::Locale{"de_DE", 1031, "German"},
    KnownLocales::Locale{"el", 1032, "Greek"},
    KnownLocales::Locale{"el_GR", 1032, "Greek"},
    KnownLocales::Locale{"en", 1033, "English"},
    KnownLocales::Locale{"en_AU", 3081, "English"},
    KnownLocales::Locale{"en_CA", 4105, "English"},
    KnownLocales::Locale{"en_GB", 2057, "English"},
    KnownLocales::Locale{"en_IE", 6153, "English"},
    KnownLocales::Locale{"en_IN", 16393, "English"},
    KnownLocales::Locale{"en_NZ", 5129, "English"},
    KnownLocales::Locale{"en_US", 1033, "English"},
    KnownLocales::Locale{"en_ZA", 7177, "English"},
    KnownLocales::Locale{"es", 3082, "Spanish"},
    KnownLocales::Locale{"es_AR", 11274, "Spanish"},
    KnownLocales::Locale{"es_ES", 3082, "Spanish"},
    KnownLocales::Locale{"es_MX", 2058, "Spanish"},
    KnownLocales::Locale{"fi", 1035, "Finnish"},
    KnownLocales::Locale{"fi_FI", 1035, "Finnish"},
    KnownLocales::Locale{"fr", 1036, "French"},
    KnownLocales::Locale{"fr_BE", 2060, "French"},
    KnownLocales::Locale{"fr_CA", 3084, "French"},
    KnownLocales::Locale{"fr_CH", 4108, "French"},
    KnownLocales::Locale{"fr_FR", 1036, "French"},
    KnownLocales::Locale{"hu", 1038, "Hungarian"},
    KnownLocales::Locale{"hu_HU", 1038, "Hungarian"},
    KnownLocales::Locale{"it", 1040, "Italian"},
    KnownLocales::Locale{"it_IT", 1040, "Italian"},
    KnownLocales::Locale{"ja", 1041, "Japanese"},
    KnownLocales::Locale{"ja_JP", 1041, "Japanese"},
    KnownLocales::Locale{"ko", 1042, "Korean"},
    KnownLocales::Locale{"ko_KR", 1042, "Korean"},
    KnownLocales::Locale{"nl", 1043, "Dutch"},
    KnownLocales::Locale{"nl_BE", 2067, "Dutch"},
    KnownLocales::Locale{"nl_NL", 1043, "Dutch"},
    KnownLocales::Locale{"pl", 1045, "Polish"},
    KnownLocales::Locale{"pl_PL", 1045, "Polish"},
    KnownLocales::Locale{"pt", 1046, "Portuguese"},
    KnownLocales::Locale{"pt_BR", 1046, "Portuguese"},
    KnownLocales::Locale{"pt_PT", 2070, "Portuguese"},
    KnownLocales::Locale{"ro", 1048, "Romanian"},
    KnownLocales::Locale{"ro_RO", 1048, "Romanian"},
    KnownLocales::Locale{"ru", 1049, "Russian"},
    KnownLocales::Locale{"ru_RU", 1049, "Russian"},
    KnownLocales::Locale{"sk", 1051, "Slovak"},
    KnownLocales::Locale{"sk_SK", 1051, "Slovak"},
    KnownLocales::Locale{"sv", 1053, "Swedish"},
    KnownLocales::Locale{"sv_SE", 1053, "Swedish"},
    KnownLocales::Locale{"tr", 1055, "Turkish"},
    KnownLocales::Locale{"tr_TR", 1055, "Turkish"},
    KnownLocales::Locale{"uk", 1058, "Ukrainian"},
    KnownLocales::Locale{"uk_UA", 1058, "Ukrainian"},
    // ICU gives the bare language its neutral identifier (0x7804), not that of China.
    KnownLocales::Locale{"zh", 30724, "Chinese"},
    KnownLocales::Locale{"zh_CN", 2052, "Chinese"},
    KnownLocales::Locale{"zh_HK", 3076, "Chinese"},
    KnownLocales::Locale{"zh_SG", 4100, "Chinese"},
    KnownLocales::Locale{"zh_TW", 1028, "Chinese"},
};

constexpr bool byName(const KnownLocales::Locale& a, const KnownLocales::Locale& b) {
    return a.name < b.name;
}
static_assert(std::is_sorted(kLocales.begin(), kLocales.end(), byName));

}  // namespace

std::optional<KnownLocales::Locale> KnownLocales::find(std::string_view name) {
    const auto found =
        std::lower_bound(kLocales.begin(), kLocales.end(), Locale{name, 0, {}}, byName);
    if (found == kLocales.end() || found->name != name) {
        return std::nullopt;
    }
    return *found;
}

std::span<const KnownLocales::Locale> KnownLocales::all() {
    return kLocales;
}

}  // namespace quillfen::platform
