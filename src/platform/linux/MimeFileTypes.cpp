#include "platform/linux/MimeFileTypes.h"

#include <QMimeDatabase>
#include <QString>

#include "platform/linux/DesktopEntryIcon.h"

namespace quillfen::platform {

namespace {

// The name "1" plus the extension asks about the extension alone; no file is touched.
QMimeType typeForExtension(const std::string& extension) {
    const QMimeDatabase database;
    return database.mimeTypeForFile(QString::fromUtf8("1" + extension),
                                    QMimeDatabase::MatchExtension);
}

}  // namespace

std::string MimeFileTypes::typeNameForExtension(const std::string& extension) const {
    return typeForExtension(extension).comment().toStdString();
}

std::string MimeFileTypes::iconNameForExtension(const std::string& extension) const {
    // The catch-all type stands for "not known", which has an icon of its own in the results.
    const QMimeType type = typeForExtension(extension);
    if (!type.isValid() || type.isDefault()) {
        return {};
    }
    const QString name = type.iconName();
    return (name.isEmpty() ? type.genericIconName() : name).toStdString();
}

std::string MimeFileTypes::genericIconNameForExtension(const std::string& extension) const {
    const QMimeType type = typeForExtension(extension);
    if (!type.isValid() || type.isDefault()) {
        return {};
    }
    return type.genericIconName().toStdString();
}

std::string MimeFileTypes::folderTypeName(const std::string&) const {
    const QMimeDatabase database;
    return database.mimeTypeForName(QStringLiteral("inode/directory")).comment().toStdString();
}

bool MimeFileTypes::namesOwnIcon(const std::string& extension) const {
    return extension == ".desktop";
}

std::optional<NamedIcon> MimeFileTypes::iconNamedBy(const std::string& path) const {
    return DesktopEntryIcon::ofFile(path);
}

}  // namespace quillfen::platform
