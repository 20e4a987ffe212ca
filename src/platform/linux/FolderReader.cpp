#include "platform/linux/FolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

#include "platform/linux/AnchoredPath.h"
#include "platform/linux/FileDescriptor.h"
#include "platform/linux/LinuxFileTime.h"

namespace quillfen::platform {

namespace {

constexpr size_t kListingBufferBytes = 64 * 1024;

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Fills in what the listing left open: the kind of an entry of unknown type, and whether a link
// points to a folder.
void completeEntry(int folderFd, const char* name, unsigned char type, FolderEntry& entry) {
    struct stat info {};
    if (type == DT_UNKNOWN) {
        if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return;
        }
        entry.isLink = S_ISLNK(info.st_mode);
        entry.isFolder = S_ISDIR(info.st_mode);
    }
    if (entry.isLink && ::fstatat(folderFd, name, &info, 0) == 0) {
        entry.isFolder = S_ISDIR(info.st_mode);
    }
}

// The category's words rather than strerror's, which may share one buffer between threads.
void noteFailure(int error, std::string* failure) {
    if (failure != nullptr) {
        *failure = std::generic_category().message(error);
    }
}

EntryStatus statusAt(int folderFd, const char* name) {
    struct stat info {};
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return {};
    }
    return toEntryStatus(info);
}

}  // namespace

EntryStatus toEntryStatus(const struct stat& info) {
    EntryStatus status;
    status.kind = S_ISDIR(info.st_mode)   ? EntryKind::Directory
                  : S_ISREG(info.st_mode) ? EntryKind::File
                                          : EntryKind::Other;
    status.size = static_cast<std::int64_t>(info.st_size);
    status.writeTime = toFileTime(info.st_mtim);
    status.changeTime = toFileTime(info.st_ctim);
    status.identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                   static_cast<std::uint64_t>(info.st_ino)};
    return status;
}

bool readFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                std::string* failure) {
    entries.clear();
    const AnchoredPath at(folder);
    const FileDescriptor fd(
        at.valid() ? ::openat(at.folder(), at.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
    if (!fd.valid()) {
        noteFailure(errno, failure);
        return false;
    }
    // One listing buffer per thread, reused for every folder: a walk lists tens of thousands of
    // folders, and a fresh buffer each time would cost an allocation and clearing for each.
    thread_local const std::unique_ptr<char[]> buffer =
        std::make_unique_for_overwrite<char[]>(kListingBufferBytes);
    while (!stop.load(std::memory_order_relaxed)) {
        const long count = ::syscall(SYS_getdents64, fd.get(), buffer.get(), kListingBufferBytes);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            noteFailure(errno, failure);
        }
        if (count <= 0) {
            break;
        }
        for (long offset = 0; offset < count;) {
            const auto* record = reinterpret_cast<const dirent64*>(buffer.get() + offset);
            offset += record->d_reclen;
            if (isDotOrDotDot(record->d_name)) {
                continue;
            }
            FolderEntry entry;
            entry.name = record->d_name;
            entry.isFolder = record->d_type == DT_DIR;
            entry.isLink = record->d_type == DT_LNK;
            if (record->d_type == DT_UNKNOWN || entry.isLink) {
                completeEntry(fd.get(), record->d_name, record->d_type, entry);
            }
            if (statusWanted && statusWanted(entry)) {
                entry.status = statusAt(fd.get(), record->d_name);
            }
            entries.push_back(std::move(entry));
        }
    }
    return true;
}

}  // namespace quillfen::platform
