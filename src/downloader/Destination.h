#pragma once

#include <string>

// What stands at a download's target, asked of the file system of the system the downloader runs
// on (a source file per system).
namespace quillfen::downloader {

// A target that names a folder: it ends with a separator or is an existing folder.
bool isFolder(const std::string& path);

// Nothing there yet, or a plain file; never a link, a folder or a device.
bool mayBeReplaced(const std::string& path);

// The file `name` inside `folder`, with one separator between them.
std::string pathInFolder(const std::string& folder, const std::string& name);

}  // namespace quillfen::downloader
