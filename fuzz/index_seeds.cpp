// Writes the seed corpus of the index reader's fuzz target: index files made by the writer
// itself, of small trees with every kind of record (folders, links, a folder that could not be
// read, a name that is not UTF-8) under each option.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "index/IndexFormat.h"

namespace {

using quillfen::IndexData;

struct Node {
    std::string name;
    std::vector<Node> children;
    bool folder = false;
    bool link = false;
    std::string reason;
};

Node file(std::string name) {
    return {std::move(name), {}, false, false, ""};
}

Node folder(std::string name, std::vector<Node> children, std::string reason = "") {
    return {std::move(name), std::move(children), true, false, std::move(reason)};
}

Node link(std::string name) {
    return {std::move(name), {}, true, true, ""};
}

void record(IndexData& index, const std::vector<Node>& children, std::uint32_t entry,
            const std::string& reason) {
    const auto at = static_cast<std::uint32_t>(index.folders.size());
    IndexData::Folder folder;
    folder.entry = entry;
    folder.first = static_cast<std::uint32_t>(index.entries.size());
    folder.writeTime = 131000000000000000ULL + at;
    folder.changeTime = folder.writeTime + 1;
    folder.identity = {7, 100 + at, 0};
    folder.reasonOffset = static_cast<std::uint32_t>(index.reasons.size());
    folder.reasonLength = static_cast<std::uint32_t>(reason.size());
    index.reasons += reason;
    index.folders.push_back(folder);
    for (const Node& child : children) {
        IndexData::Entry recorded;
        recorded.setParent(at);
        recorded.setFlags(static_cast<std::uint8_t>((child.folder ? IndexData::kFolderFlag : 0) |
                                                    (child.link ? IndexData::kLinkFlag : 0)));
        recorded.nameOffset = static_cast<std::uint32_t>(index.names.size());
        recorded.size = child.folder ? -1 : static_cast<std::int64_t>(child.name.size()) * 10;
        recorded.writeTime = 132000000000000000ULL + index.entries.size();
        index.names += child.name;
        index.entries.push_back(recorded);
        if (child.folder && !child.link) {
            record(index, child.children, static_cast<std::uint32_t>(index.entries.size() - 1),
                   child.reason);
        }
    }
    index.folders[at].end = static_cast<std::uint32_t>(index.entries.size());
}

void write(const std::string& folder, const std::string& name, const std::string& root,
           const std::vector<Node>& tree, std::uint32_t options) {
    IndexData index;
    index.root = root;
    index.options = options;
    index.volume = 7;
    index.builtAt = 133000000000000000ULL;
    record(index, tree, IndexData::kNone, "");
    std::ofstream(folder + "/" + name, std::ios::binary) << quillfen::IndexFormat::encode(index);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string into = argv[1];
    const std::vector<Node> nested = {
        file("a.txt"),
        folder("docs", {file("b.log"), folder("deep", {file("c")}, "Permission denied"),
                        folder("empty", {})}),
        link("link"),
        file("\xff\xfe.bin"),
        file("Report-2024.TXT"),
        folder("z", {file("last"), file("a-name-longer-than-sixteen-bytes.txt")})};
    write(into, "empty-root.qfi", "/tmp/empty/", {}, 0);
    write(into, "flat.qfi", "/home/user/flat/", {file("one"), file("two")}, 0);
    write(into, "nested.qfi", "/srv/data/", nested, 0);
    write(into, "recycle-bins.qfi", "/", nested, IndexData::kRecycleBinOption);
    write(into, "volume-root.qfi", "/", nested, IndexData::kVolumeRootOption);
    return 0;
}
