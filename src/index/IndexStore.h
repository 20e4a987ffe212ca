#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "index/IndexView.h"
#include "platform/HeldLock.h"

namespace quillfen {

// Where the indexes live: one file per indexed folder in the user's cache folder, named by a
// hash of the folder's path and its last name, each with a lock file beside it that makes two
// updaters of the same index take turns.
class IndexStore {
public:
    // In the cache folder's "quillfen/index".
    IndexStore();

    // The index file of an indexed folder (resolved, ending with a separator).
    std::string fileOf(const std::string& root) const;
    // Waits up to `waitMilliseconds` for the index's lock; null when another updater kept it.
    std::unique_ptr<platform::HeldLock> lock(const std::string& root, int waitMilliseconds) const;
    // The index, mapped, when its file is there and holds together; nothing otherwise.
    std::optional<IndexView> load(const std::string& root) const;
    // An index file as it lies, whatever it holds; nothing when it cannot be mapped.
    std::optional<IndexView> loadFile(const std::string& file) const;
    // Writes an encoded index beside and renames it over, so a reader or a killed writer leaves
    // the old or the new.
    bool save(const std::string& root, std::string_view encoded) const;
    bool remove(const std::string& root) const;
    // The nearest indexed folder that holds `folder` (resolved), itself included.
    std::optional<std::string> coveringRoot(const std::string& folder) const;
    // Every index file's path.
    std::vector<std::string> files() const;

private:
    struct Checked;

    void makeFolder() const;
    static void forget(const std::string& file);

    static std::mutex lastMutex_;
    static Checked last_;

    std::string folder_;
};

}  // namespace quillfen
