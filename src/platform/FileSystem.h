#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ArchivedAccess.h"
#include "platform/FileAccess.h"
#include "platform/FileIdentity.h"
#include "platform/FileTime.h"
#include "platform/HeldLock.h"
#include "platform/InputFile.h"
#include "platform/MappedFile.h"
#include "platform/RandomAccessFile.h"

namespace quillfen::platform {

enum class EntryKind { Missing, File, Directory, Other };

// What a lookup of one path learns, without following a final symbolic link.
struct EntryStatus {
    EntryKind kind = EntryKind::Missing;
    std::int64_t size = -1;
    FileTime writeTime = 0;
    // When the entry itself last changed: its contents, its name or its access. 0 where the system
    // does not tell; a folder whose time is unchanged then still lists as it did.
    FileTime changeTime = 0;
    // Absent when the lookup did not learn it: a folder listing on some systems does not, and a
    // lookup by path fills it whenever the system can tell.
    std::optional<FileIdentity> identity;
};

// One entry of a folder listing, "." and ".." left out.
struct FolderEntry {
    std::string name;
    // Listed as a folder: a folder, or a symbolic link to one.
    bool isFolder = false;
    // A symbolic link; a linked folder is listed but never entered.
    bool isLink = false;
    // Looked up with the listing when its reader asked for it; see listFolder.
    std::optional<EntryStatus> status;
};

// Decides, while a folder is read, whether an entry's status is looked up with the listing: a
// lookup relative to the open folder costs less than one by the full path later. Called on the
// listing's thread, with the name and the kind filled in.
using StatusWanted = std::function<bool(const FolderEntry& entry)>;

// The file operations the application frame needs. Paths are raw bytes in the system encoding.
class FileSystem {
public:
    // Receives the current contents (nullopt when the file does not exist) and returns the new
    // contents, or nullopt to leave the file untouched.
    using FileEdit =
        std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

    virtual ~FileSystem() = default;

    virtual char separator() const = 0;
    // How many leading bytes of the path spell its root, which keeps its trailing separator:
    // "/" here, "C:\", "C:" or "\\server\share\" on a system with drives and shares; 0 for a
    // relative path.
    virtual std::size_t rootLength(std::string_view path) const = 0;
    // Follows symbolic links, as a user who types a linked folder expects.
    virtual EntryKind kindOf(const std::string& path) const = 0;
    // A path the user typed, as the system reads typed paths. Every other path is taken exactly as
    // spelt, since it was built from names that folders listed; a system that reads typed paths
    // more loosely (dropping trailing dots and blanks) says here what such a path names when it
    // names nothing as spelt.
    virtual std::string typedPath(const std::string& path) const { return path; }
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool isWritableDirectory(const std::string& path) const = 0;
    virtual std::optional<std::string> readFile(const std::string& path) const = 0;
    // Reads, edits and replaces the file as one step. Concurrent editors of the same file, in this
    // or another process, run one after the other; a reader sees either the old or the new file,
    // never a torn one; a new file's name appears only with its whole contents. A symbolic link is
    // edited where its target lives and stays a link; anything but a regular file, and a file the
    // user may not write, is left alone. Returns false when the file could not be read or replaced.
    virtual bool editFile(const std::string& path, const FileEdit& edit) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Writes the contents as the whole new file in one step, as editFile does but without
    // reading what was there, for files the user names. Nothing when written, else the system's
    // reason, in words the user can read.
    virtual std::optional<std::string> saveFile(const std::string& path,
                                                std::string_view contents) = 0;
    virtual bool removeFile(const std::string& path) = 0;

    // Lists a folder in the system's order, with the status of the entries that `statusWanted`
    // (if given) chooses. The listing ends early when `stop` becomes set. Returns false, with no
    // entries, when the folder cannot be read. Whenever reading fails, also part way through
    // (the entries read so far are kept), `failure`, if given, receives the system's reason in
    // its own words ("Permission denied").
    virtual bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                            const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                            std::string* failure = nullptr) const = 0;
    virtual EntryStatus entryStatus(const std::string& path) const = 0;
    // The same for what the path names once symbolic links are followed.
    virtual EntryStatus targetStatus(const std::string& path) const = 0;
    // Opens a regular file for reading its content; anything else (a folder, a link, a device, a
    // pipe) or a file that cannot be opened gives nullptr. Never blocks on special files. When a
    // regular file is there but may not be read, `failure`, if given, receives the system's reason.
    virtual std::unique_ptr<InputFile> openForContent(const std::string& path,
                                                      std::string* failure = nullptr) const = 0;
    // Opens a regular file for reading at any offset; nullptr when it cannot be opened.
    virtual std::unique_ptr<RandomAccessFile> openForRandomAccess(
        const std::string& path) const = 0;
    // How many reads from the disk the calling thread has caused so far, or 0 where the system
    // does not tell. A thread whose count grows while it reads files waits on the disk, not on
    // the processor, so more such threads would keep the disk busier.
    virtual std::uint64_t diskReadsOfThisThread() const { return 0; }

    // Creates a file that must not exist yet, never through a symbolic link, and writes it whole.
    virtual bool createNewFile(const std::string& path, std::string_view contents) = 0;
    // Creates a folder of a new, unpredictable name under the system's temporary folder, which
    // only this user may enter; returns its path with a trailing separator, or "" on failure.
    virtual std::string createPrivateTemporaryFolder(const std::string& prefix) = 0;

    // Sets a file's last-write time (its access time becomes now).
    virtual bool setWriteTime(const std::string& path, FileTime time) = 0;
    // Gives a file or folder the program made the access its use needs.
    virtual bool setAccess(const std::string& path, FileAccess access) = 0;
    // Gives an extracted file the access its archive recorded, as far as this system can keep it.
    virtual bool restoreAccess(const std::string& path, const ArchivedAccess& access) = 0;

    // Gives a file, or a folder, a new name on the same volume in one step that is durable when
    // it returns. A file of the new name is replaced in that step, so a reader finds the old or
    // the new file, never none. False when the system refuses, as it does for replacing a program
    // that runs; a file system that cannot rename always refuses.
    virtual bool renameEntry(const std::string& from, const std::string& to) {
        (void)from;
        (void)to;
        return false;
    }
    // Removes a folder that is empty.
    virtual bool removeFolder(const std::string& path) {
        (void)path;
        return false;
    }
    // Keeps the file's contents under a second name, which must not exist yet: a second name of
    // the same file where the volume has them, else a copy with the same access. The second name
    // appears only with the whole contents.
    virtual bool keepCopy(const std::string& from, const std::string& to) {
        (void)from;
        (void)to;
        return false;
    }
    // Takes the lock of the file at `path`, which is created when missing and must be a plain
    // file, without waiting: null when another process holds it or it cannot be had.
    virtual std::unique_ptr<HeldLock> tryLock(const std::string& path) {
        (void)path;
        return nullptr;
    }
    // The plain file at `path` mapped into memory; null when it cannot be opened or mapped. An
    // empty file maps to no bytes.
    virtual std::unique_ptr<MappedFile> mapFile(const std::string& path) const {
        (void)path;
        return nullptr;
    }
};

}  // namespace quillfen::platform
