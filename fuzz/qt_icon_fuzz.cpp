// Every input is the bytes of an icon file as the program hands them to Qt for the result list.
// Qt's own image readers are the untrusted part here; the offscreen platform needs no display.
#include <QGuiApplication>
#include <QIcon>
#include <cstdlib>

#include "FuzzSupport.h"
#include "results/IconSource.h"
#include "ui/qt/QtIconImages.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "qt_icon_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const QIcon icon =
        quillfen::qt::QtIconImages::iconFor(quillfen::IconSource::icoBytes(std::move(bytes)));
    for (const QSize& available : icon.availableSizes()) {
        FUZZ_CHECK(!icon.pixmap(available).isNull());
    }
    return 0;
}
