#pragma once

#include <mutex>
#include <string>

namespace quillfen {

// The type text shown for every folder. It is fetched from the first folder met and then kept for
// the rest of the process, one for each kind of search window.
class FolderTypeText {
public:
    std::string textFor(const std::string& folderPath);

private:
    std::mutex mutex_;
    std::string text_;
};

}  // namespace quillfen
