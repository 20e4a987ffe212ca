#include "search/FileSearch.h"

#include "platform/Platform.h"
#include "search/ContentMatcher.h"
#include "search/FileTimeText.h"

namespace quillfen {

FileSearch::FileSearch(const SearchCriteria& criteria, SearchObserver& observer,
                       const std::atomic<bool>& stopRequested, bool searchInRecycleBin)
    : criteria_(criteria),
      observer_(observer),
      stopRequested_(stopRequested),
      rowNeedsDetails_(observer.needsEntryDetails()),
      walk_(stopRequested, FolderWalk::Options{criteria.searchSubfolders, searchInRecycleBin}) {}

void FileSearch::run() {
    run([this](FolderVisitor& visitor) { walk_.walk(criteria_.folder, visitor); });
}

void FileSearch::run(const std::function<void(FolderVisitor&)>& recordedWalk) {
    if (!criteria_.content.active()) {
        recordedWalk(*this);
        return;
    }
    OrderedFileTests tests(
        [this](const std::string& path, std::int64_t size) {
            std::string failure;
            const bool matches =
                fileContentMatches(path, size, criteria_.content, stopRequested_, &failure);
            if (!failure.empty()) {
                const std::lock_guard lock(unreadableMutex_);
                unreadableFiles_.push_back({path, std::move(failure)});
            }
            return matches;
        },
        [this](FoundEntry&& entry) { observer_.found(entry); });
    contentTests_ = &tests;
    recordedWalk(*this);
    tests.finish();
    contentTests_ = nullptr;
    reportUnreadableFiles();
}

// The files are tested on other threads, but the observer hears from the walk's thread alone.
void FileSearch::reportUnreadableFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    {
        const std::lock_guard lock(unreadableMutex_);
        files.swap(unreadableFiles_);
    }
    for (const auto& [path, reason] : files) {
        observer_.skipped(path, reason);
    }
}

void FileSearch::enterFolder(const std::string& folder) {
    if (contentTests_ != nullptr) {
        reportUnreadableFiles();
    }
    observer_.lookedAt(filesLookedAt_);
    observer_.searchingFolder(folder);
}

void FileSearch::folderUnreadable(const std::string& folder, const std::string& reason) {
    observer_.skipped(folder, reason);
}

bool FileSearch::passesSize(std::int64_t size) const {
    switch (criteria_.sizeMode) {
        case SizeMode::AtLeast:
            return size >= criteria_.sizeLimit;
        case SizeMode::AtMost:
            return size <= criteria_.sizeLimit;
        case SizeMode::None:
            return true;
    }
    return true;
}

bool FileSearch::passesDate(platform::FileTime time) const {
    if (!criteria_.dateOn) {
        return true;
    }
    const std::string text = formatFileTime(time);
    return text >= criteria_.dateFrom && text <= criteria_.dateTo;
}

// A folder's size is -1 whatever it holds, so its size test needs no lookup; a file is looked up
// once for both size and time, and only when a test or the row needs them.
bool FileSearch::needsStatus(bool isFolder) const {
    if (isFolder) {
        return rowNeedsDetails_ || criteria_.dateOn;
    }
    return rowNeedsDetails_ || criteria_.sizeMode != SizeMode::None || criteria_.dateOn ||
           criteria_.content.active();
}

bool FileSearch::passesName(const std::string& name, std::string& folded) const {
    if (criteria_.namePatterns.empty()) {
        return true;
    }
    foldNameInto(name, folded);
    return matchesFoldedName(criteria_.namePatterns, folded);
}

bool FileSearch::wantsStatus(const platform::FolderEntry& entry) const {
    if (!needsStatus(entry.isFolder)) {
        return false;
    }
    // Locals, not thread-locals: this runs on the listing threads, and a thread-local with a
    // destructor corrupts the heap when a thread ends under MinGW's emulated thread storage.
    std::string name = entry.name;
    std::string folded;
    if (entry.isFolder) {
        name += platform::currentPlatform().files().separator();
    }
    return passesName(name, folded);
}

void FileSearch::visitEntry(const std::string& folder, const platform::FolderEntry& entry) {
    if (!entry.isFolder) {
        ++filesLookedAt_;
    }
    const char separator = platform::currentPlatform().files().separator();
    std::string name = entry.isFolder ? entry.name + separator : entry.name;
    if (!passesName(name, folded_)) {
        return;
    }
    const std::string path = folder + entry.name;
    // An entry that vanished since the listing has size -1 and time 0.
    platform::EntryStatus status;
    if (needsStatus(entry.isFolder)) {
        status =
            entry.status ? *entry.status : platform::currentPlatform().files().entryStatus(path);
    }
    const std::int64_t size =
        entry.isFolder || status.kind == platform::EntryKind::Missing ? -1 : status.size;
    if (!passesSize(size)) {
        return;
    }
    if (!passesDate(status.writeTime)) {
        return;
    }
    if (contentTests_ != nullptr) {
        if (!entry.isFolder) {
            contentTests_->submit(FoundEntry{std::move(name), folder, size, status.writeTime},
                                  path);
        }
        return;
    }
    observer_.found(FoundEntry{std::move(name), folder, size, status.writeTime});
}

}  // namespace quillfen
