#pragma once

#include <string>
#include <vector>

namespace quillfen {

// The text that Copy File Name puts on the clipboard: each path in double quotes followed by
// CR LF, in the given order.
std::string fileNameText(const std::vector<std::string>& paths);

}  // namespace quillfen
