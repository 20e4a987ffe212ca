#include "index/IndexedSearch.h"

#include <gtest/gtest.h>

#include "IndexTestTree.h"
#include "index/IndexUpdater.h"
#include "support/FolderSearchFixture.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

// Two made-up volumes in a tree of the test, one with another volume mounted below its root.
class IndexedSearchTest : public testing::Test {
protected:
    void SetUp() override {
        platform.facts().fixedUserCacheDirectory = cache.path();
        volumes.roots = {tree / "a/", tree / "e/"};
        volumes.points = {tree / "a/", tree / "e/", tree / "a/b/"};
        platform.volumesOverride = &volumes;
    }

    bool buildAsVolumeRoot(const std::string& root) const {
        return IndexUpdater(IndexStore(), stop, 0)
            .build(root, IndexData::kVolumeRootOption)
            .has_value();
    }

    // The rows of a search, and how many recorded entries answered it (none when it walked).
    std::pair<std::vector<std::string>, std::uint64_t> search(const std::string& folder,
                                                              bool useIndex) const {
        SearchInputs inputs;
        inputs.lookIn = folder;
        inputs.namePatterns = "*.txt *c*";
        struct Observer : test::RecordingObserver {
            void answeredFromIndex(std::uint64_t count) override { answeredBy = count; }
            std::uint64_t answeredBy = 0;
        } observer;
        IndexedSearch::run(buildCriteria(inputs), observer, stop, false, useIndex);
        return {observer.rows, observer.answeredBy};
    }

    test::TemporaryFolder cache;
    test::TestPlatform platform;
    test::FakeVolumes volumes;
    test::IndexTestTree tree;
    const std::atomic<bool> stop{false};
};

// Every volume is answered from indexes only once each root has one recorded as the walk of every
// volume records it, without the volume mounted below; such an index answers no other search.
TEST_F(IndexedSearchTest, EveryVolumeIsAnsweredOnlyByAnIndexOfEachRoot) {
    const auto walked = search("*/", false);
    ASSERT_EQ(walked.first,
              (std::vector<std::string>{tree / "a/1.txt", tree / "a/d/4.txt", tree / "e/5.txt"}));
    EXPECT_EQ(search("*/", true), walked);
    ASSERT_TRUE(buildAsVolumeRoot(tree / "a/"));
    EXPECT_EQ(search("*/", true), walked) << "one root has no index";
    ASSERT_TRUE(buildAsVolumeRoot(tree / "e/"));
    EXPECT_EQ(search("*/", true), std::make_pair(walked.first, std::uint64_t{5}));
    const auto folderAlone = search(tree / "a/", false);
    EXPECT_EQ(search(tree / "a/", true), folderAlone) << "a walk of a folder enters a/b";
    EXPECT_EQ(folderAlone.second, 0u);
}

}  // namespace
}  // namespace quillfen
