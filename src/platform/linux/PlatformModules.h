#pragma once

#include "platform/TextServices.h"
#include "platform/linux/LocaleRules.h"
#include "platform/linux/MimeTypeLookup.h"

namespace quillfen::platform {

// The services that need ICU or Qt, each from the program itself when it links them in, else
// from its module, loaded on the first call; nullptr when the module cannot be loaded.
class PlatformModules {
public:
    static const TextServices* icuText();
    static const LocaleRules* icuLocale();
    static const MimeTypeLookup* mimeTypes();

    static constexpr const char* kIcuModule = "libquillfen-icu.so";
    static constexpr const char* kMimeModule = "libquillfen-mime.so";
};

}  // namespace quillfen::platform
