#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace quillfen::platform {

// The file system through Win32, wide calls only. Paths are UTF-8 (WTF-8 for names that are not
// valid UTF-16) and reach the system as long paths, so no depth is too deep. Reparse points that
// stand for another name (symbolic links, junctions, mount points) count as links: listed, never
// entered, never read as content.
class WindowsFileSystem : public FileSystem {
public:
    // Called with the finished temporary file just before it replaces the target; tests use it to
    // interrupt a write at its most delicate moment.
    using ReplaceHook = std::function<void(const std::string& temporaryPath)>;

    explicit WindowsFileSystem(ReplaceHook beforeReplace = {});

    char separator() const override { return '\\'; }
    std::size_t rootLength(std::string_view path) const override;
    EntryKind kindOf(const std::string& path) const override;
    // Spelt as typed when that names something; otherwise as the system reads a typed path, when
    // that names something and is no device.
    std::string typedPath(const std::string& path) const override;
    bool createDirectory(const std::string& path) override;
    bool isWritableDirectory(const std::string& path) const override;
    std::optional<std::string> readFile(const std::string& path) const override;
    bool editFile(const std::string& path, const FileEdit& edit) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    std::optional<std::string> saveFile(const std::string& path,
                                        std::string_view contents) override;
    bool removeFile(const std::string& path) override;
    // The listing carries every entry's size, times, kind and identity (a link's aside), so every
    // entry gets its status whatever `statusWanted` says, equal to what a lookup by path tells.
    bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                    const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                    std::string* failure = nullptr) const override;
    EntryStatus entryStatus(const std::string& path) const override;
    EntryStatus targetStatus(const std::string& path) const override;
    std::unique_ptr<InputFile> openForContent(const std::string& path,
                                              std::string* failure = nullptr) const override;
    std::unique_ptr<RandomAccessFile> openForRandomAccess(const std::string& path) const override;
    bool createNewFile(const std::string& path, std::string_view contents) override;
    std::string createPrivateTemporaryFolder(const std::string& prefix) override;
    bool setWriteTime(const std::string& path, FileTime time) override;
    bool setAccess(const std::string& path, FileAccess access) override;
    bool restoreAccess(const std::string& path, const ArchivedAccess& access) override;
    // A running program may be renamed but not replaced.
    bool renameEntry(const std::string& from, const std::string& to) override;
    bool removeFolder(const std::string& path) override;
    // A hard link on NTFS; a copy on FAT and exFAT, as on a USB stick.
    bool keepCopy(const std::string& from, const std::string& to) override;
    // The file open without sharing: a second opener is refused until the handle closes.
    std::unique_ptr<HeldLock> tryLock(const std::string& path) override;
    std::unique_ptr<MappedFile> mapFile(const std::string& path) const override;

private:
    static bool setReadOnly(const std::string& path, bool readOnly);

    ReplaceHook beforeReplace_;
};

}  // namespace quillfen::platform
