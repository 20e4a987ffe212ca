#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace quillfen::platform {

class LinuxFileSystem : public FileSystem {
public:
    // Called with the finished temporary file just before it replaces the target; tests use it to
    // interrupt a write at its most delicate moment.
    using ReplaceHook = std::function<void(const std::string& temporaryPath)>;

    explicit LinuxFileSystem(ReplaceHook beforeReplace = {});

    char separator() const override { return '/'; }
    std::size_t rootLength(std::string_view path) const override;
    EntryKind kindOf(const std::string& path) const override;
    bool createDirectory(const std::string& path) override;
    bool isWritableDirectory(const std::string& path) const override;
    std::optional<std::string> readFile(const std::string& path) const override;
    bool editFile(const std::string& path, const FileEdit& edit) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    std::optional<std::string> saveFile(const std::string& path,
                                        std::string_view contents) override;
    bool removeFile(const std::string& path) override;
    bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                    const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                    std::string* failure = nullptr) const override;
    EntryStatus entryStatus(const std::string& path) const override;
    EntryStatus targetStatus(const std::string& path) const override;
    std::unique_ptr<InputFile> openForContent(const std::string& path,
                                              std::string* failure = nullptr) const override;
    std::unique_ptr<RandomAccessFile> openForRandomAccess(const std::string& path) const override;
    std::uint64_t diskReadsOfThisThread() const override;
    bool createNewFile(const std::string& path, std::string_view contents) override;
    std::string createPrivateTemporaryFolder(const std::string& prefix) override;
    bool setWriteTime(const std::string& path, FileTime time) override;
    bool setAccess(const std::string& path, FileAccess access) override;
    bool restoreAccess(const std::string& path, const ArchivedAccess& access) override;
    bool renameEntry(const std::string& from, const std::string& to) override;
    bool removeFolder(const std::string& path) override;
    // A hard link; a copy on file systems without them (FAT, some network shares).
    bool keepCopy(const std::string& from, const std::string& to) override;
    // flock, which the kernel drops with the last descriptor of the process.
    std::unique_ptr<HeldLock> tryLock(const std::string& path) override;
    std::unique_ptr<MappedFile> mapFile(const std::string& path) const override;

private:
    ReplaceHook beforeReplace_;
};

}  // namespace quillfen::platform
