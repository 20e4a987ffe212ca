#include "StandInPlatform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/windows/WindowsPathRules.h"

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
    bool removeFile(const std::string&) override { missing(); }
    bool listFolder(const std::string&, std::vector<platform::FolderEntry>&,
                    const std::atomic<bool>&, const platform::StatusWanted&) const override {
        missing();
    }
    platform::EntryStatus entryStatus(const std::string&) const override { missing(); }
    platform::EntryStatus targetStatus(const std::string&) const override { missing(); }
    std::unique_ptr<platform::InputFile> openForContent(const std::string&) const override {
        missing();
    }
    std::unique_ptr<platform::RandomAccessFile> openForRandomAccess(
        const std::string&) const override {
        missing();
    }
    bool createNewFile(const std::string&, std::string_view) override { missing(); }
    std::string createPrivateTemporaryFolder(const std::string&) override { missing(); }
    bool setWriteTime(const std::string&, platform::FileTime) override { missing(); }
    bool setPermissions(const std::string&, std::uint32_t) override { missing(); }

private:
    [[noreturn]] static void missing() { StandInPlatform::missing("files"); }
};

// UTF-8 text, as the engine keeps it on Windows, lower-cased by LCMapStringEx. Text that is not
// valid UTF-8 has only its ASCII letters folded.
class Utf8TextServices final : public platform::TextServices {
public:
    std::string foldCase(std::string_view text) const override {
        std::string folded;
        foldCaseInto(text, folded);
        return folded;
    }
    void foldCaseInto(std::string_view text, std::string& folded) const override {
        if (!foldWhole(text, folded)) {
            foldAscii(text, folded);
        }
    }
    std::u16string toUtf16(std::string_view text) const override {
        if (text.empty()) {
            return {};
        }
        const int length =
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
        return {wide.begin(), wide.end()};
    }
    std::string fromUtf16(std::u16string_view text) const override {
        return fromWide(std::wstring(text.begin(), text.end()));
    }

private:
    static bool foldWhole(std::string_view text, std::string& folded) {
        const int size = static_cast<int>(text.size());
        const int length =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
        if (text.empty() || length <= 0) {
            return false;
        }
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
        std::wstring lower(wide.size(), L'\0');
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, wide.data(), length, lower.data(),
                          length, nullptr, nullptr, 0) != length) {
            return false;
        }
        folded = fromWide(lower);
        return true;
    }

    static void foldAscii(std::string_view text, std::string& folded) {
        folded.assign(text);
        for (char& c : folded) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }

    static std::string fromWide(const std::wstring& wide) {
        const int size = static_cast<int>(wide.size());
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
        return narrow;
    }
};

platform::FileTime fileTimeOf(const FILETIME& time) {
    return (static_cast<platform::FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME toFiletime(platform::FileTime time) {
    return {static_cast<DWORD>(time & 0xFFFFFFFFu), static_cast<DWORD>(time >> 32)};
}

// The time zone of the machine, through the Win32 time functions.
class LocalZoneClock final : public platform::Clock {
public:
    platform::FileTime now() const override {
        FILETIME time{};
        GetSystemTimeAsFileTime(&time);
        return fileTimeOf(time);
    }
    platform::LocalTime toLocalTime(platform::FileTime time) const override {
        const FILETIME utc = toFiletime(time);
        SYSTEMTIME universal{};
        SYSTEMTIME local{};
        if (!FileTimeToSystemTime(&utc, &universal) ||
            !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
            return {};
        }
        return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    }
    platform::FileTime fromLocalTime(const platform::LocalTime& local) const override {
        SYSTEMTIME given{};
        given.wYear = static_cast<WORD>(local.year);
        given.wMonth = static_cast<WORD>(local.month);
        given.wDay = static_cast<WORD>(local.day);
        given.wHour = static_cast<WORD>(local.hour);
        given.wMinute = static_cast<WORD>(local.minute);
        given.wSecond = static_cast<WORD>(local.second);
        SYSTEMTIME universal{};
        FILETIME time{};
        if (!TzSpecificLocalTimeToSystemTime(nullptr, &given, &universal) ||
            !SystemTimeToFileTime(&universal, &time)) {
            return 0;
        }
        return fileTimeOf(time);
    }
};

}  // namespace

platform::FileSystem& StandInPlatform::files() {
    static SeparatorOnlyFileSystem files;
    return files;
}

platform::TextServices& StandInPlatform::text() {
    static Utf8TextServices text;
    return text;
}

platform::Clock& StandInPlatform::clock() {
    static LocalZoneClock clock;
    return clock;
}

void StandInPlatform::missing(const char* service) {
    std::fprintf(stderr, "The Windows test platform has no %s service yet.\n", service);
    std::abort();
}

}  // namespace quillfen::test
