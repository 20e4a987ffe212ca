#pragma once

#include <string>

namespace quillfen::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    // The folder's path in UTF-8, without a trailing separator.
    const std::string& path() const { return path_; }
    // The path of a name inside the folder, which may hold '/' between folder names; they become
    // the system's separator.
    std::string operator/(const std::string& name) const;

    void writeFile(const std::string& name, const std::string& contents) const;
    std::string readFile(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace quillfen::test
