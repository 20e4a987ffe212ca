#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/DesktopShell.h"

namespace quillfen {

// Whether the program that receives the paste moves the files or copies them. Cutting itself
// changes no file.
enum class FileTransfer { Cut, Copy };

// A "file://" URI of an absolute path. Every byte outside the unreserved characters is
// percent-encoded, separators excepted, so names with blanks, non-ASCII letters or bytes that are
// not valid UTF-8 survive the trip through other programs unchanged.
std::string fileUri(std::string_view path);

// The files for the file managers in all the forms they read: a URI list, the GNOME and MATE
// copied-files lists, the KDE cut marker ("1" for Cut, "0" for Copy, as KDE writes it itself), and
// the paths one per line as plain text. An empty list still replaces the clipboard.
platform::ClipboardContent fileListContent(const std::vector<std::string>& paths,
                                           FileTransfer transfer);

// Plain text only: each path in double quotes followed by CR LF.
platform::ClipboardContent fileNameContent(const std::vector<std::string>& paths);

}  // namespace quillfen
