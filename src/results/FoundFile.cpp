#include "results/FoundFile.h"

#include <utility>

#include "platform/Platform.h"
#include "results/CellFormat.h"

namespace quillfen {

namespace {

constexpr std::int64_t kFolderSize = -1;

std::string endingWithSeparator(std::string path) {
    const char separator = platform::currentPlatform().files().separator();
    if (path.empty() || path.back() != separator) {
        path.push_back(separator);
    }
    return path;
}

}  // namespace

FoundFile FoundFile::describe(std::string name, std::string inFolder, std::int64_t size,
                              platform::FileTime writeTime, bool isFolder) {
    FoundFile found;
    found.name = isFolder ? endingWithSeparator(std::move(name)) : std::move(name);
    found.inFolder = endingWithSeparator(std::move(inFolder));
    found.modified = formatFileTime(writeTime);
    found.sizeText = isFolder ? std::string() : formatSizeText(size);
    found.sizeKey = formatSizeKey(isFolder ? kFolderSize : size);
    return found;
}

}  // namespace quillfen
