#pragma once

#include <QFileDialog>

namespace quillfen::qt {

// The file dialog for choosing an editor program: it lists folders, to move through, and the
// files the user may run, and accepts one existing file.
class ProgramChooser : public QFileDialog {
    Q_OBJECT

public:
    explicit ProgramChooser(QWidget* parent = nullptr);
};

}  // namespace quillfen::qt
