#include "ui/qt/ProgramChooser.h"

#include "ui/qt/RunnableFileFilter.h"

namespace quillfen::qt {

ProgramChooser::ProgramChooser(QWidget* parent) : QFileDialog(parent) {
    // The filter model works on the dialog's own list only, not on a desktop portal's dialog.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    setProxyModel(new RunnableFileFilter(this));
}

}  // namespace quillfen::qt
