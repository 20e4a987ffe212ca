#pragma once

#include <string>
#include <vector>

namespace quillfen::platform {

// Drags the files out of the program with OLE's DoDragDrop, offering a copy or a move that the
// drop target chooses, and returns when the mouse button is released. True when they were
// dropped on a target, false when the drag was cancelled or could not start.
bool dragFilesOut(const std::vector<std::string>& paths);

}  // namespace quillfen::platform
