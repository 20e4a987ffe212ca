#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "search/DuplicateSearch.h"
#include "support/TemporaryFolder.h"

namespace quillfen::test {

class CollectingObserver : public SearchObserver {
public:
    void searchingFolder(const std::string&) override {}
    void comparingFile(const std::string& path) override { compared.push_back(path); }
    void found(const FoundEntry& entry) override { rows.push_back(entry.folder + entry.name); }

    std::vector<std::string> rows;
    std::vector<std::string> compared;
};

// A duplicate search over a fresh folder. Paths in expectations are written with '/' between
// names; at() spells them with the system's separator.
class DuplicateSearchFixture : public testing::Test {
protected:
    std::string at(const std::string& relative) const {
        std::string path = folder.path() + separator + relative;
        std::replace(path.begin(), path.end(), '/', separator);
        return path;
    }
    std::string root() const { return at(""); }

    std::vector<std::string> duplicatesOf(DuplicateInputs inputs) {
        observer.rows.clear();
        const DuplicateRequest request = buildDuplicateRequest(inputs);
        DuplicateSearch(request, observer, stop, false).run();
        std::sort(observer.rows.begin(), observer.rows.end());
        return observer.rows;
    }

    DuplicateInputs inputs(const std::string& reference, bool name, bool extension, bool time,
                           bool body) const {
        return DuplicateInputs{at(reference), root(), name, extension, time, body};
    }

    const char separator = platform::currentPlatform().files().separator();
    TemporaryFolder folder;
    CollectingObserver observer;
    std::atomic<bool> stop{false};
};

}  // namespace quillfen::test
