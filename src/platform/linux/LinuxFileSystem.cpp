#include "platform/linux/LinuxFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/linux/AnchoredPath.h"
#include "platform/linux/FileDescriptor.h"
#include "platform/linux/FolderReader.h"
#include "platform/linux/LinuxFileTime.h"
#include "platform/linux/LinuxMappedFile.h"

namespace quillfen::platform {

namespace {

std::optional<std::string> readAll(int fd) {
    std::string contents;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) {
            return contents;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        contents.append(buffer, static_cast<size_t>(count));
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t count = ::write(fd, data.data(), data.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(count));
    }
    return true;
}

// A settings file kept elsewhere through a symbolic link is edited where it lives, so the link
// survives the rename that replaces the file.
std::string resolveLinks(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes the rename itself durable, so a power loss right after a write does not bring the old
// file back.
void syncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

bool isRegularFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Writers of one file take turns on a lock file beside it rather than on the file itself: a file
// created as its own lock would carry the name empty until its contents arrive, and a writer
// killed in between would leave an empty file for good. The target is created only by rename.
std::string lockPathOf(const std::string& path) {
    return folderOf(path) + "/." + baseNameOf(path) + "-lock";
}

// Never follows a link and never waits on a pipe or a device: only a regular file is a lock.
FileDescriptor openLockFile(const std::string& lockPath) {
    FileDescriptor fd(
        ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    return fd.valid() && isRegularFile(fd.get()) ? std::move(fd) : FileDescriptor();
}

// Opens the target for reading; `missing` tells a file that is not there from one that cannot be
// read. Never waits on a pipe or a device and never follows a link: only a regular file is edited.
FileDescriptor openTarget(const std::string& path, bool& missing) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    missing = !fd.valid() && errno == ENOENT;
    return fd.valid() && isRegularFile(fd.get()) ? std::move(fd) : FileDescriptor();
}

bool lockExclusively(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

// The name must still be the locked file itself, not a link to it, or the rename would replace
// the link.
bool stillNamesFile(const std::string& path, int fd) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// As the Windows profile functions refuse a file the user may not write, so does the editor,
// although replacing it needs only a writable folder. A file without any write permission counts
// as read-only even for the superuser, like the read-only attribute.
bool mayReplace(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A temporary file of a replacement is named "." + the target's name + "." + six letters or digits.
bool isTemporaryNameOf(std::string_view name, std::string_view target) {
    constexpr std::size_t kUniquePartLength = 6;
    if (name.size() != target.size() + 2 + kUniquePartLength || !name.starts_with('.') ||
        name.substr(1, target.size()) != target || name[target.size() + 1] != '.') {
        return false;
    }
    const std::string_view unique = name.substr(target.size() + 2);
    return std::all_of(unique.begin(), unique.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

// A writer locks its temporary file as soon as it has created it; one that has not done so for
// this long is gone.
bool isStale(const struct stat& info, const timespec& now) {
    constexpr time_t kStaleAfterSeconds = 60;
    return now.tv_sec - info.st_mtim.tv_sec >= kStaleAfterSeconds;
}

struct FolderCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Removes the temporary files that writers of the target left behind when they died before their
// rename. A live writer holds a lock on its temporary file, and a file younger than a minute may
// belong to a writer about to take that lock; both stay. `now` is the file system's own time, the
// write time of the file just written.
void removeStaleTemporaries(const std::string& folder, const std::string& target,
                            const timespec& now) {
    const std::unique_ptr<DIR, FolderCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return;
    }
    const int folderFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!isTemporaryNameOf(entry->d_name, target)) {
            continue;
        }
        const FileDescriptor fd(
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            !isStale(info, now) || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        struct stat named {};
        if (::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == info.st_dev && named.st_ino == info.st_ino) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
}

// Writes the new contents to a temporary file beside the target and renames it over the target.
bool replaceFile(const std::string& path, std::string_view contents, mode_t mode,
                 const LinuxFileSystem::ReplaceHook& beforeReplace) {
    const std::string folder = folderOf(path);
    const std::string target = baseNameOf(path);
    std::string temporary = folder + "/." + target + ".XXXXXX";
    // Open and locked until the rename is done, which tells the cleanup of other writers that
    // this temporary file is alive.
    const FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid()) {
        return false;
    }
    const bool written = lockExclusively(out.get()) && writeAll(out.get(), contents) &&
                         ::fchmod(out.get(), mode) == 0 && ::fsync(out.get()) == 0;
    if (written && beforeReplace) {
        beforeReplace(temporary);
    }
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        // The caller may tell the user why, so the cleanup keeps the failure's errno.
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    syncFolder(folder);
    struct stat info {};
    if (::fstat(out.get(), &info) == 0) {
        removeStaleTemporaries(folder, target, info.st_mtim);
    }
    return true;
}

// The mode a new file gets from the user's umask, which cannot be read without changing it but
// for this line of the process's status.
mode_t newFileMode() {
    constexpr mode_t kDefaultUmask = 022;
    mode_t mask = kDefaultUmask;
    const std::optional<std::string> status =
        readAll(FileDescriptor(::open("/proc/self/status", O_RDONLY | O_CLOEXEC)).get());
    if (status) {
        if (const auto at = status->find("\nUmask:"); at != std::string::npos) {
            mask = static_cast<mode_t>(std::strtoul(status->c_str() + at + 8, nullptr, 8));
        }
    }
    return 0666 & ~mask;
}

std::string errorText(int error) {
    char buffer[256] = {};
    return ::strerror_r(error, buffer, sizeof buffer);
}

// Reads, edits and replaces the file while its writers' lock is held.
bool editLocked(const std::string& path, const FileSystem::FileEdit& edit, mode_t modeOfNewFile,
                const LinuxFileSystem::ReplaceHook& beforeReplace) {
    bool missing = false;
    const FileDescriptor in = openTarget(path, missing);
    struct stat info {};
    std::optional<std::string> current;
    if (in.valid()) {
        if (::fstat(in.get(), &info) != 0 || !mayReplace(path, info)) {
            return false;
        }
        current = readAll(in.get());
        if (!current) {
            return false;
        }
    } else if (!missing) {
        return false;
    }
    const std::optional<std::string> next = edit(current);
    const mode_t mode = in.valid() ? info.st_mode & 07777 : modeOfNewFile;
    return !next || replaceFile(path, *next, mode, beforeReplace);
}

}  // namespace

LinuxFileSystem::LinuxFileSystem(ReplaceHook beforeReplace)
    : beforeReplace_(std::move(beforeReplace)) {}

std::size_t LinuxFileSystem::rootLength(std::string_view path) const {
    return path.starts_with('/') ? 1 : 0;
}

EntryKind LinuxFileSystem::kindOf(const std::string& path) const {
    return targetStatus(path).kind;
}

bool LinuxFileSystem::createDirectory(const std::string& path) {
    const AnchoredPath at(path);
    return at.valid() && ::mkdirat(at.folder(), at.name(), 0777) == 0;
}

bool LinuxFileSystem::isWritableDirectory(const std::string& path) const {
    const AnchoredPath at(path);
    return kindOf(path) == EntryKind::Directory && at.valid() &&
           ::faccessat(at.folder(), at.name(), W_OK | X_OK, 0) == 0;
}

std::optional<std::string> LinuxFileSystem::readFile(const std::string& path) const {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return readAll(fd.get());
}

bool LinuxFileSystem::editFile(const std::string& requestedPath, const FileEdit& edit) {
    for (;;) {
        const std::string path = resolveLinks(requestedPath);
        const std::string lockPath = lockPathOf(path);
        const FileDescriptor lock = openLockFile(lockPath);
        if (!lock.valid() || !lockExclusively(lock.get())) {
            return false;
        }
        // The writer before this one removes the lock file when it is done; a lock taken on a
        // removed one guards nothing, so start again on the name as it is now.
        if (!stillNamesFile(lockPath, lock.get())) {
            continue;
        }
        // A new file gets the permissions that the user's umask left the lock file.
        struct stat lockInfo {};
        const bool done = ::fstat(lock.get(), &lockInfo) == 0 &&
                          editLocked(path, edit, lockInfo.st_mode & 0666, beforeReplace_);
        ::unlink(lockPath.c_str());
        return done;
    }
}

bool LinuxFileSystem::copyFile(const std::string& from, const std::string& to) {
    const std::optional<std::string> contents = readFile(from);
    if (!contents) {
        return false;
    }
    return editFile(to, [&](const std::optional<std::string>&) { return contents; });
}

std::optional<std::string> LinuxFileSystem::saveFile(const std::string& requestedPath,
                                                     std::string_view contents) {
    const std::string path = resolveLinks(requestedPath);
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    // Replacing needs only a writable folder, but a file the user may not write stays as it is.
    if (exists && ::access(path.c_str(), W_OK) != 0) {
        return errorText(errno);
    }
    const mode_t mode = exists ? info.st_mode & 07777 : newFileMode();
    errno = 0;
    if (replaceFile(path, contents, mode, beforeReplace_)) {
        return std::nullopt;
    }
    return errorText(errno != 0 ? errno : EIO);
}

bool LinuxFileSystem::removeFile(const std::string& path) {
    const AnchoredPath at(path);
    return at.valid() && ::unlinkat(at.folder(), at.name(), 0) == 0;
}

bool LinuxFileSystem::listFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                                 const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                                 std::string* failure) const {
    return readFolder(folder, entries, stop, statusWanted, failure);
}

namespace {

EntryStatus statusOf(const std::string& path, int flags) {
    if (path.empty()) {
        return {};
    }
    const AnchoredPath at(path);
    struct stat info {};
    if (!at.valid() || ::fstatat(at.folder(), at.name(), &info, flags) != 0) {
        return {};
    }
    return toEntryStatus(info);
}

// Opens by a path of any length; an invalid descriptor when it cannot.
FileDescriptor openPath(const std::string& path, int flags) {
    const AnchoredPath at(path);
    return FileDescriptor(at.valid() ? ::openat(at.folder(), at.name(), flags) : -1);
}

}  // namespace

EntryStatus LinuxFileSystem::entryStatus(const std::string& path) const {
    return statusOf(path, AT_SYMLINK_NOFOLLOW);
}

EntryStatus LinuxFileSystem::targetStatus(const std::string& path) const {
    return statusOf(path, 0);
}

namespace {

class LinuxInputFile final : public InputFile {
public:
    explicit LinuxInputFile(FileDescriptor fd) : fd_(std::move(fd)) {}

    std::int64_t read(char* buffer, std::size_t size) override {
        // The kernel sizes its read-ahead of a file by the first read. A small first read makes
        // it fetch a file that is not in the page cache in a few requests that grow as the reads
        // go on, which a disk serving many requests at once completes sooner than one large
        // request; a file in the page cache pays one more call.
        constexpr std::size_t kFirstReadBytes = 16 * 1024;
        if (std::exchange(firstRead_, false)) {
            size = std::min(size, kFirstReadBytes);
        }
        for (;;) {
            const ssize_t count = ::read(fd_.get(), buffer, size);
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    }

private:
    FileDescriptor fd_;
    bool firstRead_ = true;
};

}  // namespace

std::unique_ptr<InputFile> LinuxFileSystem::openForContent(const std::string& path,
                                                           std::string* failure) const {
    // Non-blocking and without following links, so a FIFO or a device never stalls a search;
    // the type is checked on the open handle, not on the name, which may change meanwhile.
    FileDescriptor fd = openPath(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    // A link, a socket or a device is no file to read, and one gone since it was listed is no
    // file at all; anything else kept a file from being read.
    const int error = errno;
    if (!fd.valid() && failure != nullptr && error != ELOOP && error != ENXIO && error != ENODEV &&
        error != ENOENT && error != ENOTDIR) {
        *failure = std::generic_category().message(error);
    }
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    // O_NONBLOCK stays: it has no effect on reading a regular file, and clearing it would cost
    // two more system calls per file. A larger read-ahead pays only for a file that takes many
    // reads; a small one is read in one or two, so the hint would only cost a call.
    constexpr off_t kReadAheadWorthwhile = off_t{4} << 20;
    if (info.st_size > kReadAheadWorthwhile) {
        ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    return std::make_unique<LinuxInputFile>(std::move(fd));
}

namespace {

class LinuxRandomAccessFile final : public RandomAccessFile {
public:
    LinuxRandomAccessFile(FileDescriptor fd, std::int64_t size) : fd_(std::move(fd)), size_(size) {}

    std::int64_t size() const override { return size_; }

    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t count) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
            return 0;
        }
        for (;;) {
            const ssize_t read = ::pread(fd_.get(), buffer, count, static_cast<off_t>(offset));
            if (read >= 0 || errno != EINTR) {
                return read;
            }
        }
    }

private:
    FileDescriptor fd_;
    std::int64_t size_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> LinuxFileSystem::openForRandomAccess(
    const std::string& path) const {
    FileDescriptor fd = openPath(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    return std::make_unique<LinuxRandomAccessFile>(std::move(fd),
                                                   static_cast<std::int64_t>(info.st_size));
}

// The kernel counts the blocks each thread's reads brought in from the device; reads served
// from the page cache count nothing.
std::uint64_t LinuxFileSystem::diskReadsOfThisThread() const {
    struct rusage usage {};
    if (::getrusage(RUSAGE_THREAD, &usage) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(usage.ru_inblock);
}

bool LinuxFileSystem::createNewFile(const std::string& path, std::string_view contents) {
    const AnchoredPath at(path);
    FileDescriptor fd(at.valid()
                          ? ::openat(at.folder(), at.name(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                          : -1);
    if (!fd.valid()) {
        return false;
    }
    if (!writeAll(fd.get(), contents) || ::fsync(fd.get()) != 0) {
        fd.reset();
        ::unlinkat(at.folder(), at.name(), 0);
        return false;
    }
    return true;
}

std::string LinuxFileSystem::createPrivateTemporaryFolder(const std::string& prefix) {
    const char* configured = std::getenv("TMPDIR");
    std::string base = configured != nullptr && configured[0] == '/' ? configured : "/tmp";
    if (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    std::string pattern = base + "/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern + "/";
}

bool LinuxFileSystem::setWriteTime(const std::string& path, FileTime time) {
    const timespec times[2] = {timespec{0, UTIME_NOW}, toTimespec(time)};
    const AnchoredPath at(path);
    return at.valid() && ::utimensat(at.folder(), at.name(), times, 0) == 0;
}

bool LinuxFileSystem::setAccess(const std::string& path, FileAccess access) {
    const AnchoredPath at(path);
    struct stat info {};
    if (!at.valid() || ::fstatat(at.folder(), at.name(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISLNK(info.st_mode)) {
        return false;
    }
    // Folders need the search bit wherever their owner may read them.
    const bool runnable = S_ISDIR(info.st_mode) || access == FileAccess::PrivateProgram ||
                          access == FileAccess::SharedProgram;
    const bool shared = access == FileAccess::Shared || access == FileAccess::SharedProgram;
    const mode_t mode = (shared ? 0644 : 0600) | (runnable ? (shared ? 0111 : 0100) : 0);
    return ::fchmodat(at.folder(), at.name(), mode, 0) == 0;
}

bool LinuxFileSystem::restoreAccess(const std::string& path, const ArchivedAccess& access) {
    const AnchoredPath at(path);
    struct stat info {};
    if (!at.valid() || ::fstatat(at.folder(), at.name(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISLNK(info.st_mode)) {
        return false;
    }
    // Set-id and sticky bits from an archive are never wanted.
    const mode_t current = info.st_mode & 0777;
    const mode_t wanted = access.unixMode   ? static_cast<mode_t>(*access.unixMode & 0777)
                          : access.readOnly ? current & ~mode_t{0222}
                                            : current;
    return wanted == current || ::fchmodat(at.folder(), at.name(), wanted, 0) == 0;
}

bool LinuxFileSystem::renameEntry(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    syncFolder(folderOf(to));
    if (folderOf(from) != folderOf(to)) {
        syncFolder(folderOf(from));
    }
    return true;
}

bool LinuxFileSystem::removeFolder(const std::string& path) {
    const AnchoredPath at(path);
    return at.valid() && ::unlinkat(at.folder(), at.name(), AT_REMOVEDIR) == 0;
}

namespace {

class FlockLock : public HeldLock {
public:
    explicit FlockLock(FileDescriptor fd) : fd_(std::move(fd)) {}

private:
    FileDescriptor fd_;
};

}  // namespace

std::unique_ptr<HeldLock> LinuxFileSystem::tryLock(const std::string& path) {
    FileDescriptor fd = openLockFile(path);
    if (!fd.valid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return nullptr;
    }
    return std::make_unique<FlockLock>(std::move(fd));
}

std::unique_ptr<MappedFile> LinuxFileSystem::mapFile(const std::string& path) const {
    return LinuxMappedFile::open(path);
}

bool LinuxFileSystem::keepCopy(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        syncFolder(folderOf(to));
        return true;
    }
    if (errno != EPERM && errno != EMLINK && errno != EXDEV && errno != EOPNOTSUPP) {
        return false;
    }
    const FileDescriptor in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    struct stat existing {};
    if (!in.valid() || ::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::lstat(to.c_str(), &existing) == 0) {
        return false;
    }
    const std::optional<std::string> contents = readAll(in.get());
    // The copy takes its name by a rename once whole, as a link would have appeared.
    const std::string partial = folderOf(to) + "/." + baseNameOf(to) + ".partial";
    ::unlink(partial.c_str());
    FileDescriptor out(::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              info.st_mode & 0777));
    const bool copied = contents && out.valid() && writeAll(out.get(), *contents) &&
                        ::fchmod(out.get(), info.st_mode & 0777) == 0 && ::fsync(out.get()) == 0;
    out.reset();
    if (!copied || ::rename(partial.c_str(), to.c_str()) != 0) {
        ::unlink(partial.c_str());
        return false;
    }
    syncFolder(folderOf(to));
    return true;
}

}  // namespace quillfen::platform
