#pragma once

#include <string>
#include <string_view>

// What a download link names, decided the same way by the program that hands links over and by
// the downloader that writes them: both must agree on which links are archives and which file an
// archive link may become. Standard C++ only, so that the downloader stays free of the program.
namespace quillfen::downloadlink {

// The link without its query and fragment: what the server's path says, and nothing the server
// may add behind a "?" or "#".
std::string_view linkPath(std::string_view link);

// Whether the link's path, not its query or fragment, ends in ".zip" or ".zip_" in any case.
bool isArchiveLink(std::string_view link);

// The last segment of the link's path; empty when the path ends with "/".
std::string linkFileName(std::string_view link);

// A name that may be written inside a folder on any system: no separator, no control character,
// not "." or "..", not hidden (no leading "."), none of the characters, endings (a dot or a
// blank) and device names that Windows gives other meanings. Anything else could reach outside
// the folder, into another file's stream or a device, or replace a file the user does not see.
bool isPlainFileName(std::string_view name);

// A plain file name that ends in ".zip" or ".zip_" in any case: the only kind of file the
// downloader writes into a folder it is given.
bool isArchiveFileName(std::string_view name);

}  // namespace quillfen::downloadlink
