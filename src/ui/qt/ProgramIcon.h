#pragma once

#include <QIcon>
#include <QString>

namespace quillfen::qt {

// The program's own icon, a quill crossing a magnifying glass: the icon theme's copy when the
// program is installed, else the picture the program carries.
class ProgramIcon {
public:
    // The name under which the icon theme holds it, also the desktop entry's icon.
    static QString themeName();
    static QIcon icon();
    // The picture carried inside the program, without a look at the icon theme.
    static QIcon builtIn();
};

}  // namespace quillfen::qt
