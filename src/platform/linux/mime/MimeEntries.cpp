#include "platform/linux/ModuleEntries.h"
#include "platform/linux/mime/QtMimeTypeLookup.h"

const quillfen::platform::MimeTypeLookup* quillfenMimeTypeLookup() {
    static const quillfen::platform::QtMimeTypeLookup lookup;
    return &lookup;
}
