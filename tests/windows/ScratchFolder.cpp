#include "ScratchFolder.h"

#include <windows.h>

#include <atomic>

#include "platform/windows/WideText.h"

namespace quillfen::test {

namespace {

using platform::fromWide;
using platform::toWide;

// The long-path form, so that folders deeper than 260 characters go too.
std::wstring extended(const std::wstring& path) {
    return path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path;
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(extended(folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + name;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeTree(path + L"\\");
            } else {
                SetFileAttributesW(extended(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(extended(path).c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(extended(folder).c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temporary[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temporary);
    const std::wstring path = std::wstring(temporary) + L"quillfen-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++) + L"\\";
    CreateDirectoryW(path.c_str(), nullptr);
    path_ = fromWide(path);
}

ScratchFolder::~ScratchFolder() {
    removeTree(toWide(path_));
}

bool ScratchFolder::writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(extended(toWide(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<std::string> ScratchFolder::readFile(const std::string& path) {
    HANDLE file = CreateFileW(extended(toWide(path)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char piece[4096];
    DWORD count = 0;
    while (ReadFile(file, piece, sizeof piece, &count, nullptr) && count > 0) {
        bytes.append(piece, count);
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace quillfen::test
