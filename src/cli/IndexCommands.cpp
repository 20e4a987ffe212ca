#include "cli/IndexCommands.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/PathHelpers.h"
#include "cli/ProgressLine.h"
#include "index/IndexFormat.h"
#include "index/IndexStore.h"
#include "index/IndexUpdater.h"
#include "platform/Platform.h"
#include "results/TextEscapes.h"
#include "search/FileTimeText.h"
#include "search/FolderWalk.h"

namespace quillfen::cli {

namespace {

constexpr int kDone = 0;
constexpr int kNotIndexed = 1;
constexpr int kFailed = 2;
constexpr int kInterrupted = 130;
// An updater of the same index is waited for this long, so two updates run one after the other.
constexpr int kLockWaitMilliseconds = 10 * 60 * 1000;

std::string rootOf(const std::string& path) {
    return platform::currentPlatform().volumes().resolvedFolder(withTrailingSeparator(path));
}

// A folder to index with the option bits it is recorded with: "*" stands for the root of every
// volume, each recorded as the walk of every volume walks it.
struct IndexedFolder {
    std::string root;
    std::uint32_t options = 0;
};

std::vector<IndexedFolder> foldersNamed(const std::vector<std::string>& paths,
                                        bool searchInRecycleBin) {
    const std::uint32_t recycleBins = searchInRecycleBin ? IndexData::kRecycleBinOption : 0;
    std::vector<IndexedFolder> folders;
    for (const std::string& path : paths) {
        if (!FolderWalk::isAllVolumes(withTrailingSeparator(path))) {
            folders.push_back({rootOf(path), recycleBins});
            continue;
        }
        for (const std::string& root : platform::currentPlatform().volumes().searchRoots()) {
            folders.push_back({root, recycleBins | IndexData::kVolumeRootOption});
        }
    }
    return folders;
}

// The entries recorded so far and the folder being read, on a terminal only.
IndexRecorder::Progress progressOn(ProgressLine& line) {
    return [&line](const std::string& folder, std::uint64_t entries) {
        line.update(folder, static_cast<std::int64_t>(entries));
    };
}

int worst(int a, int b) {
    return std::max(a, b);
}

int report(const std::string& root, const std::optional<IndexView>& index, const char* done) {
    if (!index) {
        std::fprintf(stderr, "quillfen-cli: cannot index %s\n", root.c_str());
        return kFailed;
    }
    std::printf("%s %s: %u entries\n", done, root.c_str(), index->entryCount());
    return kDone;
}

int add(const IndexCommand& command, const IndexUpdater& updater, bool searchInRecycleBin) {
    int code = kDone;
    for (const IndexedFolder& folder : foldersNamed(command.paths, searchInRecycleBin)) {
        ProgressLine line(false, "entries");
        const auto index = updater.build(folder.root, folder.options, progressOn(line));
        line.erase();
        code = worst(code, report(folder.root, index, "indexed"));
    }
    return code;
}

int remove(const IndexCommand& command, const IndexStore& store) {
    int code = kDone;
    for (const std::string& path : command.paths) {
        const std::string root = rootOf(path);
        const bool indexed =
            platform::currentPlatform().files().entryStatus(store.fileOf(root)).kind !=
            platform::EntryKind::Missing;
        if (!indexed) {
            std::fprintf(stderr, "quillfen-cli: not indexed: %s\n", root.c_str());
            code = worst(code, kNotIndexed);
        } else if (!store.remove(root)) {
            std::fprintf(stderr, "quillfen-cli: cannot remove the index of %s\n", root.c_str());
            code = worst(code, kFailed);
        }
    }
    return code;
}

// The indexed folders as their files' headers name them, each with the options it was recorded
// with, so that a damaged index is built again as it was. A file whose header cannot be read
// names no folder to build it for.
std::vector<IndexedFolder> indexedFolders(const IndexStore& store, int& code) {
    std::vector<IndexedFolder> folders;
    for (const std::string& file : store.files()) {
        const auto mapped = platform::currentPlatform().files().mapFile(file);
        const auto header = mapped ? IndexFormat::header(mapped->bytes()) : std::nullopt;
        if (!header) {
            std::fprintf(stderr,
                         "quillfen-cli: %s is damaged beyond telling its folder; index the folder "
                         "again or remove the file\n",
                         file.c_str());
            code = worst(code, kFailed);
            continue;
        }
        folders.push_back({std::string(header->root), header->options});
    }
    return folders;
}

// An index that no longer holds together is built again: with the options its header names, or,
// for a folder named, with the setting of today.
int update(const IndexCommand& command, const IndexStore& store, const IndexUpdater& updater,
           bool searchInRecycleBin) {
    int code = kDone;
    std::vector<IndexedFolder> folders = command.paths.empty()
                                             ? indexedFolders(store, code)
                                             : foldersNamed(command.paths, searchInRecycleBin);
    for (const auto& [root, options] : folders) {
        if (platform::currentPlatform().files().entryStatus(store.fileOf(root)).kind ==
            platform::EntryKind::Missing) {
            std::fprintf(stderr, "quillfen-cli: not indexed: %s\n", root.c_str());
            code = worst(code, kNotIndexed);
            continue;
        }
        ProgressLine line(false, "entries");
        std::optional<IndexView> index =
            updater.refresh(root, IndexUpdater::Write::Always, progressOn(line));
        if (!index) {
            index = updater.build(root, options, progressOn(line));
        }
        line.erase();
        code = worst(code, report(root, index, "updated"));
    }
    return code;
}

struct ListedIndex {
    std::string folder;
    std::string entries;
    std::string bytes;
    std::string built;
    std::string state;
};

const char* stateText(IndexUpdater::State state) {
    switch (state) {
        case IndexUpdater::State::Current:
            return "current";
        case IndexUpdater::State::NeedsChecking:
            return "needs checking";
        case IndexUpdater::State::BeingRebuilt:
            return "being rebuilt";
        case IndexUpdater::State::FolderMissing:
            break;
    }
    return "folder missing";
}

ListedIndex describe(const std::string& file, const IndexStore& store,
                     const IndexUpdater& updater) {
    const std::optional<IndexView> index = store.loadFile(file);
    if (!index) {
        const std::int64_t size = platform::currentPlatform().files().entryStatus(file).size;
        return {file, "", std::to_string(std::max<std::int64_t>(size, 0)), "", "damaged"};
    }
    return {index->root(), std::to_string(index->entryCount()), std::to_string(index->fileBytes()),
            formatFileTime(index->builtAt()), stateText(updater.stateOf(*index))};
}

void printTable(const std::vector<ListedIndex>& rows) {
    std::vector<std::vector<std::string>> cells = {
        {"Folder", "Entries", "Bytes", "Built", "State"}};
    for (const ListedIndex& row : rows) {
        cells.push_back({TextEscapes::escapeForTerminal(row.folder), row.entries, row.bytes,
                         row.built, row.state});
    }
    std::vector<std::size_t> widths(5, 0);
    for (const auto& line : cells) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], line[column].size());
        }
    }
    for (const auto& line : cells) {
        std::string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            text += line[column] + std::string(widths[column] - line[column].size() + 2, ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        std::printf("%s\n", text.c_str());
    }
}

void printTsv(const std::vector<ListedIndex>& rows) {
    std::printf("folder\tentries\tbytes\tbuilt\tstate\n");
    for (const ListedIndex& row : rows) {
        std::printf("%s\t%s\t%s\t%s\t%s\n", TextEscapes::escapeForTsv(row.folder).c_str(),
                    row.entries.c_str(), row.bytes.c_str(), row.built.c_str(), row.state.c_str());
    }
}

// A damaged index has no count to give, so its entries are null there.
void printJson(const std::vector<ListedIndex>& rows) {
    std::printf("[");
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const ListedIndex& row = rows[at];
        std::printf(
            "%s\n  {\"folder\": %s, \"entries\": %s, \"bytes\": %s, \"built\": %s, "
            "\"state\": \"%s\"}",
            at == 0 ? "" : ",", TextEscapes::quoteForJson(row.folder).c_str(),
            row.entries.empty() ? "null" : row.entries.c_str(), row.bytes.c_str(),
            row.built.empty() ? "null" : TextEscapes::quoteForJson(row.built).c_str(),
            row.state.c_str());
    }
    std::printf("%s]\n", rows.empty() ? "" : "\n");
}

int list(const IndexCommand& command, const IndexStore& store, const IndexUpdater& updater) {
    std::vector<ListedIndex> rows;
    for (const std::string& file : store.files()) {
        rows.push_back(describe(file, store, updater));
    }
    std::sort(rows.begin(), rows.end(),
              [](const ListedIndex& a, const ListedIndex& b) { return a.folder < b.folder; });
    if (command.format == "tsv") {
        printTsv(rows);
    } else if (command.format == "json") {
        printJson(rows);
    } else {
        printTable(rows);
    }
    return kDone;
}

int run(const IndexCommand& command, bool searchInRecycleBin, const std::atomic<bool>& stop) {
    const IndexStore store;
    const IndexUpdater updater(store, stop, kLockWaitMilliseconds);
    switch (command.action) {
        case IndexCommand::Action::Add:
            return add(command, updater, searchInRecycleBin);
        case IndexCommand::Action::Remove:
            return remove(command, store);
        case IndexCommand::Action::Update:
            return update(command, store, updater, searchInRecycleBin);
        case IndexCommand::Action::List:
            break;
    }
    return list(command, store, updater);
}

}  // namespace

int runIndexCommand(const IndexCommand& command, bool searchInRecycleBin,
                    const std::atomic<bool>& stop) {
    const int code = run(command, searchInRecycleBin, stop);
    std::fflush(stdout);
    return stop.load() ? kInterrupted : code;
}

}  // namespace quillfen::cli
