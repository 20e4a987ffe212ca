#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "downloader/PartFile.h"
#include "platform/windows/WideText.h"

namespace quillfen::downloader {

namespace {

constexpr int kNameAttempts = 16;

class WindowsPartFile final : public PartFile {
public:
    WindowsPartFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
    WindowsPartFile(const WindowsPartFile&) = delete;
    WindowsPartFile& operator=(const WindowsPartFile&) = delete;

    ~WindowsPartFile() override {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
        }
        if (!replaced_) {
            DeleteFileW(path_.c_str());
        }
    }

    bool write(std::string_view piece) override {
        while (!piece.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file_, piece.data(), chunk, &written, nullptr) || written == 0) {
                return false;
            }
            piece.remove_prefix(written);
        }
        return true;
    }

    bool finish() override {
        const bool flushed = FlushFileBuffers(file_) != 0;
        const bool closed = CloseHandle(file_) != 0;
        file_ = INVALID_HANDLE_VALUE;
        return flushed && closed;
    }

    bool replace(const std::string& destination) override {
        if (file_ != INVALID_HANDLE_VALUE ||
            !MoveFileExW(path_.c_str(), platform::toWide(destination).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        replaced_ = true;
        return true;
    }

private:
    HANDLE file_;
    std::wstring path_;
    bool replaced_ = false;
};

std::string randomSuffix(std::mt19937& random) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(random()));
    return text;
}

}  // namespace

std::unique_ptr<PartFile> PartFile::createBeside(const std::string& destination) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring path = platform::toWide(destination + ".part-" + randomSuffix(random));
        // A new file that nobody else may open while it fills; a name taken already is never
        // reused.
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return std::make_unique<WindowsPartFile>(file, std::move(path));
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

}  // namespace quillfen::downloader
