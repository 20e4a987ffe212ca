#include "index/IndexStore.h"

#include <gtest/gtest.h>

#include "IndexTestTree.h"
#include "index/IndexUpdater.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using Write = IndexUpdater::Write;

// The store in a cache folder of the test, over a tree of the test.
class IndexStoreTest : public testing::Test {
protected:
    void SetUp() override { platform.facts().fixedUserCacheDirectory = cache.path(); }

    test::TemporaryFolder cache;
    test::TestPlatform platform;
    test::IndexTestTree tree;
    const std::atomic<bool> stop{false};
};

// A search finds the index of its folder or of the nearest folder above it, and no other.
TEST_F(IndexStoreTest, TheIndexThatHoldsAFolderIsFoundByItsPathAlone) {
    const IndexStore store;
    EXPECT_FALSE(fs::exists(cache / "quillfen")) << "nothing is made before an index is";
    ASSERT_TRUE(IndexUpdater(store, stop, 0).build(tree / "a/", false));
    ASSERT_TRUE(IndexUpdater(store, stop, 0).build(tree.root(), false));
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {tree.root(), tree.root()},
        {tree / "e/", tree.root()},
        {tree / "a/", tree / "a/"},
        {tree / "a/b/c/", tree / "a/"},
        {fs::path(tree.root()).parent_path().parent_path().string() + "/", std::nullopt},
    };
    for (const auto& [folder, root] : cases) {
        EXPECT_EQ(store.coveringRoot(folder), root) << folder;
    }
    EXPECT_EQ(store.files().size(), 2u);
    EXPECT_TRUE(store.remove(tree / "a/"));
    EXPECT_EQ(store.coveringRoot(tree / "a/b/"), tree.root());
    EXPECT_FALSE(store.remove(tree / "a/"));
}

// Two updaters take turns: while one holds the index, another that may not wait gets nothing
// and leaves the file as it was. An index whose file names another folder is none.
TEST_F(IndexStoreTest, UpdatersTakeTurnsAndAForeignFileIsNoIndex) {
    const IndexStore store;
    ASSERT_TRUE(IndexUpdater(store, stop, 0).build(tree.root(), false));
    const auto before = fs::file_size(store.fileOf(tree.root()));
    {
        const auto held = store.lock(tree.root(), 0);
        ASSERT_TRUE(held);
        std::ofstream(tree / "a/new.txt") << "new";
        EXPECT_FALSE(IndexUpdater(store, stop, 0).refresh(tree.root(), Write::Always));
        EXPECT_FALSE(IndexUpdater(store, stop, 0).build(tree.root(), false));
        EXPECT_EQ(fs::file_size(store.fileOf(tree.root())), before);
        EXPECT_EQ(IndexUpdater(store, stop, 0).stateOf(*store.load(tree.root())),
                  IndexUpdater::State::BeingRebuilt);
    }
    const IndexUpdater updater(store, stop, 0);
    EXPECT_EQ(updater.stateOf(*store.load(tree.root())), IndexUpdater::State::NeedsChecking);
    const auto refreshed = updater.refresh(tree.root(), Write::Always);
    ASSERT_TRUE(refreshed);
    EXPECT_EQ(refreshed->entryCount(), 14u);
    EXPECT_EQ(store.load(tree.root())->entryCount(), 14u);
    EXPECT_EQ(updater.stateOf(*store.load(tree.root())), IndexUpdater::State::NeedsChecking)
        << "the folder changed within the clock's step";
    tree.age();
    updater.refresh(tree.root(), Write::Always);
    EXPECT_EQ(updater.stateOf(*store.load(tree.root())), IndexUpdater::State::Current);

    fs::copy_file(store.fileOf(tree.root()), store.fileOf(tree / "e/"));
    EXPECT_FALSE(store.load(tree / "e/"));
}

// A search that finds one folder in forty changed answers with it listed anew but leaves the
// file as it was, since listing it again costs the next search less than a rewrite; an update
// writes it.
TEST_F(IndexStoreTest, ASearchRewritesTheIndexOnlyWhenEnoughChanged) {
    for (int folder = 0; folder < 40; ++folder) {
        fs::create_directories(tree / ("many/f" + std::to_string(folder)));
    }
    tree.age();
    const IndexStore store;
    const IndexUpdater updater(store, stop, 0);
    const std::uint32_t before = updater.build(tree.root(), 0)->entryCount();
    std::ofstream(tree / "many/f7/new.txt") << "new";
    EXPECT_EQ(updater.refresh(tree.root(), Write::WhenWorthIt)->entryCount(), before + 1);
    EXPECT_EQ(store.load(tree.root())->entryCount(), before);
    EXPECT_EQ(updater.refresh(tree.root(), Write::Always)->entryCount(), before + 1);
    EXPECT_EQ(store.load(tree.root())->entryCount(), before + 1);
}

}  // namespace
}  // namespace quillfen
