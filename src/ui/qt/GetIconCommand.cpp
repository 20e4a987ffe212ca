#include "ui/qt/GetIconCommand.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

#include "results/IcoFile.h"
#include "ui/IconExtraction.h"
#include "ui/qt/QtIconImages.h"

namespace quillfen::qt {

namespace {

// The size of the icon the platform's own extraction gives, and so what callers expect.
constexpr int kIconSide = 32;

bool hasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// Theme lookups and drawing need an application object; a caller without a desktop gets one that
// draws off screen.
std::unique_ptr<QApplication> applicationForDrawing() {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    if (!hasDisplay()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argumentCount = 1;
    static char programName[] = "quillfen";
    static char* arguments[] = {programName, nullptr};
    return std::make_unique<QApplication>(argumentCount, arguments);
}

// Always the full size, a smaller or narrower picture centred in it, as icon files expect.
std::string pngOf(const QIcon& icon) {
    QImage image(kIconSide, kIconSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        icon.paint(&painter, image.rect());
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? png.toStdString() : std::string();
}

std::string drawnIconFile(const IconSource& source) {
    const auto application = applicationForDrawing();
    const QIcon icon = QtIconImages::iconFor(source);
    if (icon.isNull()) {
        return {};
    }
    const std::string png = pngOf(icon);
    return png.empty() ? std::string() : IcoFile::fromPng(png, kIconSide, kIconSide);
}

}  // namespace

int runGetIcon(const std::string& remainder) {
    const IconExtraction::Request request = IconExtraction::parseRequest(remainder);
    const std::string output = IconExtraction::prepareOutputFile(request.name);
    const auto source = IconExtraction::iconFor(request.source);
    if (output.empty() || !source) {
        return 0;
    }
    if (source->kind() == IconSource::Kind::IcoBytes) {
        IconExtraction::writeIconFile(output, source->data());
        return 0;
    }
    const std::string icon = drawnIconFile(*source);
    if (!icon.empty()) {
        IconExtraction::writeIconFile(output, icon);
    }
    return 0;
}

}  // namespace quillfen::qt
