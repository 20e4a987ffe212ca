#include "index/IndexStore.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr std::string_view kSuffix = ".qfi";
constexpr std::size_t kTailLength = 40;
constexpr int kLockPollMilliseconds = 20;

std::uint64_t pathHash(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : path) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    }
    return hash;
}

// The folder's last name in characters that every file system takes, so a person looking in
// the cache can tell the files apart.
std::string readableTail(const std::string& root, char separator) {
    std::string name = root.substr(0, root.size() - 1);
    name = name.substr(name.rfind(separator) + 1);
    std::string tail;
    for (const char c : name.substr(0, kTailLength)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        tail.push_back(plain ? c : '_');
    }
    return tail.empty() ? "root" : tail;
}

}  // namespace

IndexStore::IndexStore() {
    platform::Platform& system = platform::currentPlatform();
    const char separator = system.files().separator();
    folder_ = system.system().userCacheDirectory() + separator + "quillfen" + separator + "index" +
              separator;
}

// Made by the first index only: a search where nothing was indexed leaves no trace.
void IndexStore::makeFolder() const {
    platform::FileSystem& files = platform::currentPlatform().files();
    const char separator = files.separator();
    for (std::size_t end = folder_.find(separator, files.rootLength(folder_));
         end != std::string::npos; end = folder_.find(separator, end + 1)) {
        files.createDirectory(folder_.substr(0, end));
    }
}

std::string IndexStore::fileOf(const std::string& root) const {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(pathHash(root)));
    const char separator = platform::currentPlatform().files().separator();
    return folder_ + hash + "-" + readableTail(root, separator) + std::string(kSuffix);
}

std::unique_ptr<platform::HeldLock> IndexStore::lock(const std::string& root,
                                                     int waitMilliseconds) const {
    makeFolder();
    const std::string path = fileOf(root) + ".lock";
    for (int waited = 0;; waited += kLockPollMilliseconds) {
        if (auto held = platform::currentPlatform().files().tryLock(path)) {
            return held;
        }
        if (waited >= waitMilliseconds) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kLockPollMilliseconds));
    }
}

// A file of another folder that happens to share the name's hash is no index of this one.
std::optional<IndexView> IndexStore::load(const std::string& root) const {
    std::optional<IndexView> index = loadFile(fileOf(root));
    if (!index || index->root() != root) {
        return std::nullopt;
    }
    return index;
}

// A window searches the same index again and again: the file it checked last is taken as it was
// checked while the file is the same one, unchanged (a new index is renamed over it, so it is
// another file). It is let go of before this process writes or removes that file, since Windows
// neither replaces nor removes a file that is mapped.
struct IndexStore::Checked {
    std::string file;
    platform::EntryStatus status;
    std::optional<IndexView> index;
};

std::mutex IndexStore::lastMutex_;
IndexStore::Checked IndexStore::last_;

void IndexStore::forget(const std::string& file) {
    const std::lock_guard lock(lastMutex_);
    if (last_.file == file) {
        last_ = {};
    }
}

std::optional<IndexView> IndexStore::loadFile(const std::string& file) const {
    platform::FileSystem& files = platform::currentPlatform().files();
    const platform::EntryStatus status = files.entryStatus(file);
    const auto same = [&status](const platform::EntryStatus& other) {
        return other.kind == platform::EntryKind::File && status.size == other.size &&
               status.writeTime == other.writeTime && status.changeTime == other.changeTime &&
               status.identity.has_value() && status.identity == other.identity;
    };
    {
        const std::lock_guard lock(lastMutex_);
        if (last_.file == file && same(last_.status)) {
            return last_.index;
        }
    }
    std::shared_ptr<const platform::MappedFile> mapped = files.mapFile(file);
    if (!mapped) {
        return std::nullopt;
    }
    const std::string_view bytes = mapped->bytes();
    std::optional<IndexView> index = IndexView::open(std::move(mapped), bytes);
    const std::lock_guard lock(lastMutex_);
    last_ = {file, status, index};
    return index;
}

bool IndexStore::save(const std::string& root, std::string_view encoded) const {
    forget(fileOf(root));
    return !platform::currentPlatform().files().saveFile(fileOf(root), encoded);
}

bool IndexStore::remove(const std::string& root) const {
    forget(fileOf(root));
    platform::FileSystem& files = platform::currentPlatform().files();
    const bool removed = files.removeFile(fileOf(root));
    files.removeFile(fileOf(root) + ".lock");
    return removed;
}

// Asks only for the files the folder's ancestors would have, so no other index is read.
std::optional<std::string> IndexStore::coveringRoot(const std::string& folder) const {
    platform::FileSystem& files = platform::currentPlatform().files();
    const std::size_t rootLength = files.rootLength(folder);
    std::string candidate = folder;
    while (candidate.size() >= rootLength && !candidate.empty()) {
        if (files.entryStatus(fileOf(candidate)).kind == platform::EntryKind::File) {
            return candidate;
        }
        if (candidate.size() == rootLength) {
            break;
        }
        candidate.erase(candidate.rfind(files.separator(), candidate.size() - 2) + 1);
    }
    return std::nullopt;
}

std::vector<std::string> IndexStore::files() const {
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    platform::currentPlatform().files().listFolder(folder_, entries, never, nullptr);
    std::vector<std::string> paths;
    for (const platform::FolderEntry& entry : entries) {
        if (!entry.isFolder && entry.name.ends_with(kSuffix)) {
            paths.push_back(folder_ + entry.name);
        }
    }
    return paths;
}

}  // namespace quillfen
