#include "index/IndexFormat.h"
#include "index/IndexView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "IndexTestTree.h"

namespace quillfen {
namespace {

// Where each part of an encoded index starts: the header, then the entries, folders and names
// sections, each a tag and a length in front of its payload and a hash after it.
struct Layout {
    explicit Layout(const IndexData& index) {
        const std::size_t header = 60 + index.root.size();
        entries = header + 12;
        folders = entries + index.entries.size() * IndexFormat::kEntryBytes + 20;
        names = folders + index.folders.size() * IndexFormat::kFolderBytes + 20;
    }
    std::size_t entries = 0;
    std::size_t folders = 0;
    std::size_t names = 0;
};

using Damage = std::function<void(std::string& bytes, const Layout& at)>;
using Distortion = std::function<void(IndexData& index)>;

TEST(IndexFormat, AnIndexReadsBackAsWritten) {
    const test::IndexTestTree tree;
    const IndexData index = tree.record();
    ASSERT_EQ(index.entries.size(), 13u);
    const std::string bytes = IndexFormat::encode(index);
    const std::optional<IndexView> view = IndexView::of(bytes);
    ASSERT_TRUE(view);
    const IndexData read = view->toData();
    EXPECT_EQ(test::IndexTestTree::described(read), test::IndexTestTree::described(index));
    EXPECT_EQ(IndexFormat::encode(read), bytes);
    EXPECT_EQ(IndexFormat::rootOf(bytes), tree.root());
    const std::vector<std::string> lines = test::IndexTestTree::described(read);
    EXPECT_NE(std::find(lines.begin(), lines.end(), tree.root() + "\xff\xfe.bin 0"), lines.end());
}

// Every damage a file can suffer on its way, and every lie a hostile file can tell with correct
// checksums, leaves no index rather than a wrong one.
TEST(IndexFormat, ADamagedOrInconsistentFileIsNoIndex) {
    const IndexData index = test::IndexTestTree().record();
    const std::string good = IndexFormat::encode(index);
    const Layout layout(index);
    const std::vector<std::pair<const char*, Damage>> damages = {
        {"empty", [](std::string& b, const Layout&) { b.clear(); }},
        {"cut in the header", [](std::string& b, const Layout&) { b.resize(30); }},
        {"cut in the entries", [](std::string& b, const Layout& at) { b.resize(at.entries + 5); }},
        {"cut in the names", [](std::string& b, const Layout& at) { b.resize(at.names + 3); }},
        {"last byte missing", [](std::string& b, const Layout&) { b.pop_back(); }},
        {"a byte more", [](std::string& b, const Layout&) { b.push_back('\0'); }},
        {"magic", [](std::string& b, const Layout&) { b[0] ^= 1; }},
        {"flip in the header", [](std::string& b, const Layout&) { b[20] ^= 0x10; }},
        {"flip in the root", [](std::string& b, const Layout&) { b[53] ^= 0x01; }},
        {"flip in an entry", [](std::string& b, const Layout& at) { b[at.entries + 30] ^= 4; }},
        {"flip in a folder", [](std::string& b, const Layout& at) { b[at.folders + 9] ^= 2; }},
        {"flip in a name", [](std::string& b, const Layout& at) { b[at.names] ^= 0x20; }},
        {"flip in a section tag",
         [](std::string& b, const Layout& at) { b[at.folders - 12] ^= 1; }},
        {"flip in a hash", [](std::string& b, const Layout&) { b.back() ^= 0x80; }},
        {"earlier version", [](std::string& b, const Layout&) { b[8] = 1; }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        std::string bytes = good;
        damage(bytes, layout);
        EXPECT_FALSE(IndexView::of(bytes));
    }
    const std::vector<std::pair<const char*, Distortion>> distortions = {
        {"name past the names", [](IndexData& i) { i.entries[3].nameOffset = 100000; }},
        {"names out of order", [](IndexData& i) { i.entries[3].nameOffset = 0; }},
        {"empty name", [](IndexData& i) { i.entries[4].nameOffset = i.entries[3].nameOffset; }},
        {"first name after the start", [](IndexData& i) { i.entries[0].nameOffset = 1; }},
        {"parent out of range", [](IndexData& i) { i.entries[2].setParent(99); }},
        {"entry outside its parent", [](IndexData& i) { i.entries[0].setParent(1); }},
        {"reason past the reasons", [](IndexData& i) { i.folders[1].reasonLength = 100000; }},
        {"root with an entry", [](IndexData& i) { i.folders[0].entry = 0; }},
        {"root not whole", [](IndexData& i) { i.folders[0].end -= 1; }},
        {"subtree after a gap", [](IndexData& i) { i.folders[1].first += 1; }},
        {"subtree past the end", [](IndexData& i) { i.folders[1].end = 1000; }},
        {"folder of a file", [](IndexData& i) { i.entries[i.folders[1].entry].setFlags(0); }},
        {"folders out of order", [](IndexData& i) { std::swap(i.folders[1], i.folders[2]); }},
        {"no folders", [](IndexData& i) { i.folders.clear(); }},
        {"empty root", [](IndexData& i) { i.root.clear(); }},
    };
    for (const auto& [name, distort] : distortions) {
        SCOPED_TRACE(name);
        IndexData bad = index;
        distort(bad);
        EXPECT_FALSE(IndexView::of(IndexFormat::encode(bad)));
    }
}

}  // namespace
}  // namespace quillfen
