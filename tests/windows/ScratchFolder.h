#pragma once

#include <optional>
#include <string>

namespace quillfen::test {

// A fresh folder in the user's temporary folder, removed with everything in it when the object
// goes. Paths are UTF-8 with backslashes; path() ends with one.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

    static bool writeFile(const std::string& path, const std::string& bytes);
    static std::optional<std::string> readFile(const std::string& path);

private:
    std::string path_;
};

}  // namespace quillfen::test
