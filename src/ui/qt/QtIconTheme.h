#pragma once

#include <QIcon>
#include <QString>

namespace quillfen::qt {

// Icons by their freedesktop names, from the desktop's icon theme, then from Adwaita, then from
// the icons Qt carries itself, so that every name gives some icon.
class QtIconTheme {
public:
    // Makes the installed themes reachable where the platform names none (off screen, a bare X
    // server): the XDG icon folders are searched, and Adwaita stands in for a missing theme and
    // backs up the desktop's own. Repeated calls change nothing.
    static void prepare();

    // The icon called `name`, else the broader kind's icon `genericName`.
    static QIcon icon(const QString& name, const QString& genericName = {});
};

}  // namespace quillfen::qt
