#include "ui/qt/FileMimeData.h"

#include <QByteArray>
#include <QMimeData>
#include <QString>

namespace quillfen::qt {

// Each format goes in as bytes so the URI lists keep their exact line ends. The plain text keeps
// the path's own bytes too: decoding it would turn a byte that is not valid UTF-8 into a
// replacement character, and the pasted path would name a file that does not exist.
QMimeData* mimeDataOf(const platform::MimeClipboard& content) {
    auto* data = new QMimeData;
    for (const auto& [type, bytes] : content.formats) {
        data->setData(QString::fromStdString(type), QByteArray::fromStdString(bytes));
    }
    data->setData(QStringLiteral("text/plain"), QByteArray::fromStdString(content.plainText));
    return data;
}

QMimeData* draggedFilesData(const std::vector<std::string>& paths) {
    return mimeDataOf(platform::MimeClipboard::ofFiles(paths, platform::FileTransfer::Copy));
}

}  // namespace quillfen::qt
