#include "ui/qt/QtIconTheme.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QStyle>

namespace quillfen::qt {

namespace {

const QString kFallbackTheme = QStringLiteral("Adwaita");

QIcon builtInIcon(const QString& name) {
    QStyle* style = QApplication::style();
    if (style == nullptr) {
        return {};
    }
    if (name.startsWith(QStringLiteral("folder")) || name == QStringLiteral("inode-directory")) {
        return style->standardIcon(QStyle::SP_DirIcon);
    }
    return style->standardIcon(QStyle::SP_FileIcon);
}

// Every theme builds on hicolor, which holds hardly any type icons; a platform that names it
// (a bare X server does) names no theme at all.
bool namesNoTheme(const QString& theme) {
    return theme.isEmpty() || theme == QStringLiteral("hicolor");
}

// The folders where icon themes live: ~/.icons, then "icons" in every XDG data folder.
QStringList xdgIconFolders() {
    QStringList folders{QDir::homePath() + QStringLiteral("/.icons")};
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders.append(data + QStringLiteral("/icons"));
    }
    return folders;
}

// "image-png" stands for "image/png"; its kind's icon is "image-x-generic".
QIcon kindIconGuessedFromName(const QString& name) {
    const int dash = name.indexOf(QLatin1Char('-'));
    return dash > 0 ? QIcon::fromTheme(name.left(dash) + QStringLiteral("-x-generic")) : QIcon();
}

}  // namespace

void QtIconTheme::prepare() {
    QStringList searchPaths = QIcon::themeSearchPaths();
    for (const QString& folder : xdgIconFolders()) {
        if (!searchPaths.contains(folder) && QDir(folder).exists()) {
            searchPaths.append(folder);
        }
    }
    if (searchPaths != QIcon::themeSearchPaths()) {
        QIcon::setThemeSearchPaths(searchPaths);
    }
    if (namesNoTheme(QIcon::fallbackThemeName())) {
        QIcon::setFallbackThemeName(kFallbackTheme);
    }
    if (namesNoTheme(QIcon::themeName())) {
        QIcon::setThemeName(kFallbackTheme);
    }
}

QIcon QtIconTheme::icon(const QString& name, const QString& genericName) {
    prepare();
    QIcon themed = QIcon::fromTheme(name);
    if (themed.isNull() && !genericName.isEmpty()) {
        themed = QIcon::fromTheme(genericName);
    }
    if (themed.isNull()) {
        themed = kindIconGuessedFromName(name);
    }
    return themed.isNull() ? builtInIcon(name) : themed;
}

}  // namespace quillfen::qt
