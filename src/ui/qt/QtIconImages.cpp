#include "ui/qt/QtIconImages.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <algorithm>

#include "ui/qt/QtIconTheme.h"

namespace quillfen::qt {

namespace {

// Every size the icon file holds, so that the view can take the one that fits best.
QIcon iconFromIcoBytes(const std::string& bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) {
            break;
        }
        const QImage image = reader.read();
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

}  // namespace

QtIconImages::QtIconImages(const IconImageList& icons) : icons_(icons) {}

QIcon QtIconImages::icon(int index) {
    if (index < 0) {
        return {};
    }
    const auto at = static_cast<std::size_t>(index);
    if (at < made_.size() && made_[at]) {
        return *made_[at];
    }
    const auto source = icons_.source(index);
    if (source == nullptr) {
        return {};
    }
    made_.resize(std::max(made_.size(), at + 1));
    made_[at] = iconFor(*source);
    return *made_[at];
}

QIcon QtIconImages::iconFor(const IconSource& source) {
    switch (source.kind()) {
        case IconSource::Kind::ThemeName:
            return QtIconTheme::icon(QString::fromStdString(source.data()),
                                     QString::fromStdString(source.genericName()));
        case IconSource::Kind::IcoBytes:
            return iconFromIcoBytes(source.data());
        case IconSource::Kind::ImageFile:
            return QIcon(QFile::decodeName(QByteArray::fromStdString(source.data())));
    }
    return {};
}

}  // namespace quillfen::qt
