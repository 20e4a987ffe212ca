#pragma once

#include <QIcon>

namespace quillfen::qt {

// The program's own icon, drawn rather than loaded: a quill crossing a magnifying glass.
class ProgramIcon {
public:
    static QIcon icon();
};

}  // namespace quillfen::qt
