#pragma once

#include "platform/TextServices.h"
#include "platform/linux/LocaleRules.h"
#include "platform/linux/MimeTypeLookup.h"

// The entry points of the modules that hold the code needing ICU (libquillfen-icu.so) and Qt
// (libquillfen-mime.so). They are weak: a program that links a module's code in (the window, which
// loads Qt and ICU anyway) has them itself, the others find them after loading the module.
extern "C" {
__attribute__((weak, visibility("default"))) const quillfen::platform::TextServices*
quillfenIcuTextServices();
__attribute__((weak, visibility("default"))) const quillfen::platform::LocaleRules*
quillfenIcuLocaleRules();
__attribute__((weak, visibility("default"))) const quillfen::platform::MimeTypeLookup*
quillfenMimeTypeLookup();
}
