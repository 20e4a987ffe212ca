#pragma once

#include <QIcon>
#include <QString>

namespace quillfen::qt {

// Icons by their freedesktop names, from the desktop's icon theme, then from Adwaita, then from
// the icons Qt carries itself, so that every name gives some icon.
class QtIconTheme {
public:
    static QIcon icon(const QString& name);
};

}  // namespace quillfen::qt
