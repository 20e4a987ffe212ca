#include "ui/qt/RunnableFileFilter.h"

#include <QFileSystemModel>

namespace quillfen::qt {

bool RunnableFileFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) {
        return true;
    }
    const QFileInfo entry = files->fileInfo(files->index(sourceRow, 0, sourceParent));
    return entry.isDir() || entry.isExecutable();
}

}  // namespace quillfen::qt
