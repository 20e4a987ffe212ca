#include "platform/linux/MimeFileTypes.h"

#include <QMimeDatabase>
#include <QString>

namespace quillfen::platform {

std::string MimeFileTypes::typeNameForExtension(const std::string& extension) const {
    // The name "1" plus the extension asks about the extension alone; no file is touched.
    const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(QString::fromUtf8("1" + extension), QMimeDatabase::MatchExtension);
    return type.comment().toStdString();
}

std::string MimeFileTypes::folderTypeName(const std::string&) const {
    const QMimeDatabase database;
    return database.mimeTypeForName(QStringLiteral("inode/directory")).comment().toStdString();
}

}  // namespace quillfen::platform
