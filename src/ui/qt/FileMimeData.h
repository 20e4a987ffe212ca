#pragma once

#include <string>
#include <vector>

#include "platform/linux/MimeClipboard.h"

class QMimeData;

namespace quillfen::qt {

// The Qt form of a clipboard change, every format as its exact bytes; the caller owns it.
QMimeData* mimeDataOf(const platform::MimeClipboard& content);
// What rows dragged out of the result list carry: the files in every form the clipboard offers
// them, marked as copied, so that the drop target decides whether it moves them.
QMimeData* draggedFilesData(const std::vector<std::string>& paths);

}  // namespace quillfen::qt
