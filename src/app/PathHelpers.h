#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The platform's path separator ('/' on Linux, '\' on Windows).
char pathSeparator();
// The path with one trailing separator added when it has none.
std::string withTrailingSeparator(std::string_view path);
// The path with one trailing separator removed, except when it is the whole root ("/", "C:\",
// "\\server\share\"): the platform says how roots are spelt.
std::string withoutTrailingSeparator(std::string_view path);

std::string moduleFilePath();
// moduleFilePath up to and including its last separator.
std::string moduleDirectory();

bool isDirectory(const std::string& path);
// True when anything, file or folder, exists at the path.
bool pathExists(const std::string& path);
// Creates every folder along the path, then the path itself; existing folders and failures are
// passed over.
void createDirectoryChain(const std::string& path);

}  // namespace quillfen
