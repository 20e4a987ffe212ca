#include "results/FolderTypeText.h"

#include "platform/Platform.h"

namespace quillfen {

std::string FolderTypeText::textFor(const std::string& folderPath) {
    const std::lock_guard lock(mutex_);
    if (text_.empty()) {
        text_ = platform::currentPlatform().fileTypes().folderTypeName(folderPath);
    }
    return text_;
}

}  // namespace quillfen
