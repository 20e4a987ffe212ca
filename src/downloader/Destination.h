#pragma once

#include <string>
#include <vector>

// What stands at a download's target, asked of the file system of the system the downloader runs
// on (a source file per system).
namespace quillfen::downloader {

// A target that names a folder: it ends with a separator or is an existing folder.
bool isFolder(const std::string& path);

// Nothing there yet, or a plain file; never a link, a folder or a device.
bool mayBeReplaced(const std::string& path);

// The file `name` inside `folder`, with one separator between them.
std::string pathInFolder(const std::string& folder, const std::string& name);

// The folder that holds a destination file, ending with a separator.
std::string folderOf(const std::string& path);

// The names of the plain files in a folder; links, folders and devices left out.
std::vector<std::string> plainFileNamesIn(const std::string& folder);

// Removes a plain file that no running downloader holds: a downloader keeps its part file locked
// (here) or open without sharing (on Windows) until it is renamed or removed.
void removeUnlessInUse(const std::string& path);

}  // namespace quillfen::downloader
