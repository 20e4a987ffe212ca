#pragma once

#include <string>
#include <vector>

namespace quillfen::test {

// A chain of folders nested so deep that its full path is longer than any the system takes in one
// call. It is built and removed through folder handles, as no single path reaches its bottom.
class DeepTree {
public:
    DeepTree(const std::string& base, int levels, const std::string& folderName = "d");
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;
    ~DeepTree();

    // The deepest folder's full path, without a trailing separator.
    const std::string& bottom() const { return bottom_; }
    // Writes a file into the deepest folder; its full path.
    std::string writeFile(const std::string& name, const std::string& contents);

private:
    std::string base_;
    std::string folderName_;
    int levels_ = 0;
    int bottomFd_ = -1;
    std::string bottom_;
    std::vector<std::string> files_;
};

}  // namespace quillfen::test
