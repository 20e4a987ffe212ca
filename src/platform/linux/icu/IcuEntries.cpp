#include "platform/linux/ModuleEntries.h"
#include "platform/linux/icu/IcuLocaleRules.h"
#include "platform/linux/icu/IcuTextServices.h"

const quillfen::platform::TextServices* quillfenIcuTextServices() {
    static const quillfen::platform::IcuTextServices services;
    return &services;
}

const quillfen::platform::LocaleRules* quillfenIcuLocaleRules() {
    static const quillfen::platform::IcuLocaleRules rules;
    return &rules;
}
