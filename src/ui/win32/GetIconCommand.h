#pragma once

#include <string>

namespace quillfen::win32 {

// The "/GetIcon NAME PATH" mode: writes icon 0 of the file at PATH, as the shell extracts it, as
// NAME.ico into the temp folder beside the program. `remainder` is the command line behind the
// program path, beginning with "/GetIcon". Shows nothing. Returns the process's exit status,
// which means nothing to callers: a file without an icon simply leaves no icon file.
int runGetIcon(const std::string& remainder);

}  // namespace quillfen::win32
