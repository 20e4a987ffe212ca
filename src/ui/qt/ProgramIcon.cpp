#include "ui/qt/ProgramIcon.h"

namespace quillfen::qt {

QString ProgramIcon::themeName() {
    return QStringLiteral("org.quillfen.Quillfen");
}

QIcon ProgramIcon::icon() {
    return QIcon::fromTheme(themeName(), builtIn());
}

QIcon ProgramIcon::builtIn() {
    return QIcon(QStringLiteral(":/icons/org.quillfen.Quillfen.svg"));
}

}  // namespace quillfen::qt
