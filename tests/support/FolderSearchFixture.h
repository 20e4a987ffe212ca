#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "search/FileSearch.h"
#include "search/SearchCriteria.h"
#include "support/PlatformOverlay.h"
#include "support/TemporaryFolder.h"

namespace quillfen::test {

class RecordingObserver : public SearchObserver {
public:
    void searchingFolder(const std::string& folder) override { folders.push_back(folder); }
    void comparingFile(const std::string&) override {}
    void found(const FoundEntry& entry) override {
        rows.push_back(entry.folder + entry.name);
        entries.push_back(entry);
        if (onFound) {
            onFound();
        }
    }

    std::vector<std::string> folders;
    std::vector<std::string> rows;
    std::vector<FoundEntry> entries;
    std::function<void()> onFound;
};

// Volumes and mount points the test chooses, inside its own folder.
class FakeVolumes : public platform::Volumes {
public:
    std::vector<std::string> roots;
    std::vector<std::string> points;
    std::string trash;

    std::vector<std::string> searchRoots() const override { return roots; }
    std::vector<std::string> mountPoints() const override { return points; }
    std::string resolvedFolder(const std::string& folder) const override {
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
        return error ? folder : resolved.string() + platform::currentPlatform().files().separator();
    }
    // By the resolved path, so that any spelling of a mount point is one.
    bool isMountRoot(const std::string& folder) const override {
        std::error_code error;
        const std::filesystem::path asked = std::filesystem::canonical(folder, error);
        return !error && std::any_of(points.begin(), points.end(), [&](const std::string& path) {
            std::error_code pointError;
            return std::filesystem::canonical(path, pointError) == asked && !pointError;
        });
    }
    std::vector<std::string> recycleBinNames() const override {
        return {"$RECYCLE.BIN", "RECYCLER", "RECYCLED", ".TRASH", ".TRASH-1000"};
    }
    std::string userTrashFolder() const override { return trash; }
};

// A search over a fresh folder with the test's volumes. Paths in expectations are written with
// '/' between names; at() spells them with the system's separator.
class FolderSearchFixture : public testing::Test {
protected:
    std::string at(const std::string& relative) const {
        std::string path = folder.path() + separator + relative;
        std::replace(path.begin(), path.end(), '/', separator);
        return path;
    }
    std::string root() const { return at(""); }

    std::vector<std::string> search(SearchInputs inputs, bool recycleBin = false) {
        SearchCriteria criteria = buildCriteria(inputs);
        FileSearch(criteria, observer, stop, recycleBin).run();
        return observer.rows;
    }

    SearchInputs inputsFor(const std::string& lookIn, const std::string& names = "") const {
        SearchInputs inputs;
        inputs.lookIn = lookIn;
        inputs.namePatterns = names;
        return inputs;
    }

    // The tree in the system's listing order, depth-first and pre-order, without entering
    // linked folders.
    void expectedWalk(const std::filesystem::path& from, std::vector<std::string>& out) const {
        for (const auto& entry : std::filesystem::directory_iterator(from)) {
            const bool isFolder = entry.is_directory();
            out.push_back(entry.path().string() + (isFolder ? std::string(1, separator) : ""));
            if (isFolder && !entry.is_symlink()) {
                expectedWalk(entry.path(), out);
            }
        }
    }

    const char separator = platform::currentPlatform().files().separator();
    TemporaryFolder folder;
    FakeVolumes volumes;
    PlatformOverlay platform{volumes};
    RecordingObserver observer;
    std::atomic<bool> stop{false};
};

}  // namespace quillfen::test
