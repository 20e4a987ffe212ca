#include "platform/linux/mime/QtMimeTypeLookup.h"

#include <QMimeDatabase>
#include <QString>

namespace quillfen::platform {

namespace {

// The name "1" plus the extension asks about the extension alone; no file is touched.
QMimeType typeForExtension(const std::string& extension) {
    const QMimeDatabase database;
    return database.mimeTypeForFile(QString::fromUtf8("1" + extension),
                                    QMimeDatabase::MatchExtension);
}

}  // namespace

std::string QtMimeTypeLookup::typeNameForExtension(const std::string& extension) const {
    return typeForExtension(extension).comment().toStdString();
}

std::string QtMimeTypeLookup::folderTypeName() const {
    const QMimeDatabase database;
    return database.mimeTypeForName(QStringLiteral("inode/directory")).comment().toStdString();
}

// The catch-all type stands for "not known", which has an icon of its own in the results.
IconLocation QtMimeTypeLookup::extensionIcon(const std::string& extension) const {
    const QMimeType type = typeForExtension(extension);
    if (!type.isValid() || type.isDefault()) {
        return IconLocation::none();
    }
    const QString name = type.iconName();
    const QString generic = type.genericIconName();
    if (name.isEmpty() && generic.isEmpty()) {
        return IconLocation::none();
    }
    return IconLocation::themeName((name.isEmpty() ? generic : name).toStdString(),
                                   generic.toStdString());
}

}  // namespace quillfen::platform
