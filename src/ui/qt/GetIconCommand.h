#pragma once

#include <string>

namespace quillfen::qt {

// The "/GetIcon NAME PATH" mode: writes the icon of the file at PATH as NAME.ico into the temp
// folder beside the program. `remainder` is the command line behind the program path, beginning
// with "/GetIcon". Needs no display. Returns the process's exit status, which means nothing to
// callers: a file without an icon simply leaves no icon file.
int runGetIcon(const std::string& remainder);

}  // namespace quillfen::qt
