#pragma once

#include <string>

namespace quillfen {

// The paths of an in-place update: the program folder and, inside it, the work folder with the
// unpacked new files, the kept old ones, programs moved aside while they ran, and the journal.
// Relative names use '/' between folder names; paths use the system's separator.
class UpdateWorkFolder {
public:
    // The name of the work folder inside the program folder.
    static constexpr const char* kName = ".quillfen-update";

    explicit UpdateWorkFolder(const std::string& programFolder);

    const std::string& programFolder() const { return programFolder_; }
    const std::string& path() const { return work_; }
    std::string journalPath() const { return work_ + separator_ + "journal"; }
    std::string newFolder() const { return work_ + separator_ + "new"; }
    std::string oldFolder() const { return work_ + separator_ + "old"; }
    std::string asideFolder() const { return work_ + separator_ + "running"; }

    std::string target(const std::string& name) const { return below(programFolder_, name); }
    std::string newFile(const std::string& name) const { return below(newFolder(), name); }
    std::string oldFile(const std::string& name) const { return below(oldFolder(), name); }

    // The path of a relative name below a folder.
    std::string below(const std::string& folder, const std::string& name) const;

    // Makes the folder and the folders above `name` below it that are missing; false when one
    // cannot be.
    bool makeParents(const std::string& folder, const std::string& name) const;
    // A free path in the aside folder, which is made when missing; empty when it cannot be.
    std::string freeAsidePath() const;
    // Removes the tree the path names, as far as it can; links are removed, never followed.
    // False when anything is left.
    static bool removeTree(const std::string& path);
    // Removes the new, old and aside folders, and when they are gone the journal and the work
    // folder: a journal stays as long as anything it speaks of is left. True when nothing is left.
    bool clear() const;

private:
    char separator_;
    std::string programFolder_;
    std::string work_;
};

}  // namespace quillfen
