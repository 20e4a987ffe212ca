#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/ResultListView.h"

class QWidget;

namespace quillfen::qt {

// Qt's save dialog over the owner with the given file types: it adds the chosen type's extension
// to a name typed without one, and asks before replacing a file.
std::optional<SaveChoice> chooseSaveFile(QWidget* owner, const std::string& title,
                                         const std::vector<FileFilter>& filters);

}  // namespace quillfen::qt
