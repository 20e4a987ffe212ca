#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "index/IndexData.h"
#include "index/IndexFormat.h"
#include "index/IndexRecorder.h"
#include "index/IndexView.h"
#include "support/TemporaryFolder.h"

namespace quillfen::test {

// A small tree with nested folders, a link to a folder and a name that is not UTF-8, and the
// readable form of an index that the index tests compare.
class IndexTestTree {
public:
    IndexTestTree() {
        for (const char* file : {"a/1.txt", "a/b/2.txt", "a/b/c/3.txt", "a/d/4.txt", "e/5.txt",
                                 "top.txt", "\xff\xfe.bin"}) {
            folder_.writeFile(file, "x");
        }
        std::filesystem::create_directory_symlink("a", folder_ / "l");
        age();
    }

    // Puts every folder's time an hour back, as folders look that did not change just now.
    void age() const {
        const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        std::filesystem::last_write_time(folder_.path(), hourAgo);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.path())) {
            if (entry.is_directory() && !entry.is_symlink()) {
                std::filesystem::last_write_time(entry.path(), hourAgo);
            }
        }
    }

    std::string root() const { return folder_.path() + "/"; }
    std::string operator/(const std::string& name) const { return folder_ / name; }

    IndexData record() const {
        const std::atomic<bool> stop{false};
        IndexRecorder recorder(root(), 0, stop);
        recorder.walkFrom(root());
        return recorder.finish();
    }

    static IndexView stored(const IndexData& index) {
        return IndexView::of(IndexFormat::encode(index)).value();
    }

    // Every entry with its kind and every folder with its range, status and reason, in order;
    // entry sizes and times are left out, since a search looks them up afresh.
    static std::vector<std::string> described(const IndexData& data) {
        const IndexView index = stored(data);
        std::vector<std::string> lines;
        const std::vector<std::string> paths = index.folderPaths('/');
        for (std::uint32_t at = 0; at < index.entryCount(); ++at) {
            lines.push_back(paths.at(index.parentOf(at)) + std::string(index.name(at)) + " " +
                            std::to_string(index.flagsOf(at)));
        }
        for (std::uint32_t at = 0; at < index.folderCount(); ++at) {
            const IndexData::Folder folder = index.folder(at);
            lines.push_back(paths[at] + " [" + std::to_string(folder.first) + "," +
                            std::to_string(folder.end) + ") " + std::to_string(folder.writeTime) +
                            " " + std::to_string(folder.changeTime) + " " +
                            std::to_string(folder.identity.file) + " " +
                            std::string(index.reason(folder)));
        }
        return lines;
    }

private:
    TemporaryFolder folder_;
};

}  // namespace quillfen::test
