#include "ui/qt/QtIconTheme.h"

#include <QApplication>
#include <QStyle>

namespace quillfen::qt {

namespace {

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

}  // namespace

QIcon QtIconTheme::icon(const QString& name) {
    if (QIcon::fallbackThemeName().isEmpty()) {
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    }
    QIcon themed = QIcon::fromTheme(name);
    if (themed.isNull()) {
        const int dash = name.indexOf(QLatin1Char('-'));
        if (dash > 0) {
            themed = QIcon::fromTheme(name.left(dash) + QStringLiteral("-x-generic"));
        }
    }
    return themed.isNull() ? builtInIcon(name) : themed;
}

}  // namespace quillfen::qt
