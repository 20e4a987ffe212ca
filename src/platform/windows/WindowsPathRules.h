#pragma once

#include <cstddef>
#include <string_view>

namespace quillfen::platform {

// How many leading bytes of a Windows path spell its root, trailing separator included when there
// is one: "C:\" (3), "C:" (2, the current folder of drive C), "\" (1, the root of the current
// drive), "\\server\share\" and the long forms "\\?\C:\" and "\\?\UNC\server\share\". Either
// slash separates. 0 for a relative path.
std::size_t windowsRootLength(std::string_view path);

}  // namespace quillfen::platform
