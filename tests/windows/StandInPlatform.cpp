#include "StandInPlatform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/windows/WindowsClock.h"
#include "platform/windows/WindowsPathRules.h"
#include "platform/windows/WindowsTextServices.h"

namespace quillfen::test {

namespace {

// Knows how paths are spelt; every file operation aborts.
class SeparatorOnlyFileSystem final : public platform::FileSystem {
public:
    char separator() const override { return '\\'; }
    std::size_t rootLength(std::string_view path) const override {
        return platform::windowsRootLength(path);
    }
    platform::EntryKind kindOf(const std::string&) const override { missing(); }
    bool createDirectory(const std::string&) override { missing(); }
    bool isWritableDirectory(const std::string&) const override { missing(); }
    std::optional<std::string> readFile(const std::string&) const override { missing(); }
    bool editFile(const std::string&, const FileEdit&) override { missing(); }
    bool copyFile(const std::string&, const std::string&) override { missing(); }
    std::optional<std::string> saveFile(const std::string&, std::string_view) override {
        missing();
    }
    bool removeFile(const std::string&) override { missing(); }
    bool listFolder(const std::string&, std::vector<platform::FolderEntry>&,
                    const std::atomic<bool>&, const platform::StatusWanted&,
                    std::string*) const override {
        missing();
    }
    platform::EntryStatus entryStatus(const std::string&) const override { missing(); }
    platform::EntryStatus targetStatus(const std::string&) const override { missing(); }
    std::unique_ptr<platform::InputFile> openForContent(const std::string&,
                                                        std::string*) const override {
        missing();
    }
    std::unique_ptr<platform::RandomAccessFile> openForRandomAccess(
        const std::string&) const override {
        missing();
    }
    bool createNewFile(const std::string&, std::string_view) override { missing(); }
    std::string createPrivateTemporaryFolder(const std::string&) override { missing(); }
    bool setWriteTime(const std::string&, platform::FileTime) override { missing(); }
    bool setAccess(const std::string&, platform::FileAccess) override { missing(); }
    bool restoreAccess(const std::string&, const platform::ArchivedAccess&) override { missing(); }

private:
    [[noreturn]] static void missing() { StandInPlatform::missing("files"); }
};

}  // namespace

platform::FileSystem& StandInPlatform::files() {
    static SeparatorOnlyFileSystem files;
    return files;
}

platform::TextServices& StandInPlatform::text() {
    static platform::WindowsTextServices text;
    return text;
}

platform::Clock& StandInPlatform::clock() {
    static platform::WindowsClock clock;
    return clock;
}

void StandInPlatform::missing(const char* service) {
    std::fprintf(stderr, "The Windows test platform has no %s service yet.\n", service);
    std::abort();
}

}  // namespace quillfen::test
