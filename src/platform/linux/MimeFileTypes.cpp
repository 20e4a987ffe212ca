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

// The catch-all type stands for "not known", which has an icon of its own in the results.
IconLocation MimeFileTypes::extensionIcon(const std::string& extension) const {
    if (extension == ".exe" || extension == ".ico" || extension == ".desktop") {
        return IconLocation::filesOwn();
    }
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

IconLocation MimeFileTypes::folderIcon() const {
    return IconLocation::themeName(kFolderIconName);
}

IconLocation MimeFileTypes::unknownTypeIcon() const {
    return IconLocation::themeName(kUnknownTypeIconName);
}

IconLocation MimeFileTypes::fallbackIcon() const {
    return unknownTypeIcon();
}

IconLocation MimeFileTypes::genericProgramIcon() const {
    return IconLocation::themeName(kGenericProgramIconName);
}

std::string MimeFileTypes::folderTypeName(const std::string&) const {
    const QMimeDatabase database;
    return database.mimeTypeForName(QStringLiteral("inode/directory")).comment().toStdString();
}

std::optional<NamedIcon> MimeFileTypes::iconNamedBy(const std::string& path) const {
    return DesktopEntryIcon::ofFile(path);
}

}  // namespace quillfen::platform
