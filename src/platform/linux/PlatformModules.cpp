#include "platform/linux/PlatformModules.h"

#include "platform/linux/ModuleEntries.h"
#include "platform/linux/SharedModule.h"

namespace quillfen::platform {

namespace {

SharedModule& icuModule() {
    static SharedModule module(PlatformModules::kIcuModule,
                               "case rules beyond ASCII, code pages other than UTF-8 and "
                               "language names are not available");
    return module;
}

SharedModule& mimeModule() {
    static SharedModule module(PlatformModules::kMimeModule, "file type names are not available");
    return module;
}

// The entry linked in, or the module's; the answer is kept, so a module is looked for once.
template <typename Service>
const Service* entry(const Service* (*linked)(), SharedModule& module, const char* name) {
    if (linked != nullptr) {
        return linked();
    }
    const auto fromModule = reinterpret_cast<const Service* (*)()>(module.symbol(name));
    return fromModule != nullptr ? fromModule() : nullptr;
}

}  // namespace

const TextServices* PlatformModules::icuText() {
    static const TextServices* const services =
        entry(&quillfenIcuTextServices, icuModule(), "quillfenIcuTextServices");
    return services;
}

const LocaleRules* PlatformModules::icuLocale() {
    static const LocaleRules* const rules =
        entry(&quillfenIcuLocaleRules, icuModule(), "quillfenIcuLocaleRules");
    return rules;
}

const MimeTypeLookup* PlatformModules::mimeTypes() {
    static const MimeTypeLookup* const lookup =
        entry(&quillfenMimeTypeLookup, mimeModule(), "quillfenMimeTypeLookup");
    return lookup;
}

}  // namespace quillfen::platform
