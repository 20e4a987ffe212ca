#include "platform/windows/WindowsSystemInfo.h"

// clang-format off
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

#include <string>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr int kUnknownLanguage = 1033;
// Beyond this a path cannot be, even with the long-path prefix.
constexpr DWORD kLongestPath = 32768;

std::string knownFolder(REFKNOWNFOLDERID folder) {
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, &path))) {
        result = fromWide(path);
    }
    CoTaskMemFree(path);
    while (result.size() > 3 && result.back() == '\\') {
        result.pop_back();
    }
    return result;
}

// True when the folder is the root or lies inside it, compared as the file system compares names:
// without regard to case.
bool liesWithin(const std::string& folder, const std::string& rootFolder) {
    const std::wstring root = toWide(rootFolder);
    const std::wstring path = toWide(folder);
    if (root.empty() || path.size() < root.size()) {
        return false;
    }
    const bool sameStart =
        CompareStringOrdinal(path.data(), static_cast<int>(root.size()), root.data(),
                             static_cast<int>(root.size()), TRUE) == CSTR_EQUAL;
    return sameStart &&
           (path.size() == root.size() || path[root.size()] == L'\\' || root.back() == L'\\');
}

}  // namespace

// The setup program leaves its uninstaller beside the programs; a copy under the folders that
// hold installed programs (Program Files, or the user's own %LOCALAPPDATA%\Programs) was put
// there by some installer too.
bool WindowsSystemInfo::isInstalledCopy() const {
    std::string folder = executablePath();
    const auto separator = folder.rfind('\\');
    if (separator == std::string::npos) {
        return false;
    }
    folder.erase(separator);
    const DWORD attributes = GetFileAttributesW(toWide(folder + "\\Uninstall.exe").c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return true;
    }
    // The user's own folder of programs is %LOCALAPPDATA%\Programs, also where the known folder
    // for it is not answered.
    const std::string localAppData = knownFolder(FOLDERID_LocalAppData);
    return liesWithin(folder, knownFolder(FOLDERID_ProgramFiles)) ||
           liesWithin(folder, knownFolder(FOLDERID_ProgramFilesX86)) ||
           (!localAppData.empty() && liesWithin(folder, localAppData + "\\Programs"));
}

// The first answer that fits in the buffer is whole; a full buffer may be cut, so it grows.
std::string WindowsSystemInfo::executablePath() const {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= kLongestPath) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return fromWide(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

std::string WindowsSystemInfo::userName() const {
    std::wstring buffer(257, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!GetUserNameW(buffer.data(), &length)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        buffer.assign(length, L'\0');
        if (!GetUserNameW(buffer.data(), &length)) {
            return {};
        }
    }
    // The length counts the terminating zero.
    buffer.resize(length > 0 ? length - 1 : 0);
    return fromWide(buffer);
}

std::string WindowsSystemInfo::computerName() const {
    std::wstring buffer(MAX_COMPUTERNAME_LENGTH + 1, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!GetComputerNameW(buffer.data(), &length)) {
        if (GetLastError() != ERROR_BUFFER_OVERFLOW) {
            return {};
        }
        buffer.assign(length, L'\0');
        if (!GetComputerNameW(buffer.data(), &length)) {
            return {};
        }
    }
    buffer.resize(length);
    return fromWide(buffer);
}

std::string WindowsSystemInfo::userConfigDirectory() const {
    return knownFolder(FOLDERID_RoamingAppData);
}

std::string WindowsSystemInfo::userDataDirectory() const {
    return knownFolder(FOLDERID_RoamingAppData);
}

std::string WindowsSystemInfo::userCacheDirectory() const {
    return knownFolder(FOLDERID_LocalAppData);
}

int WindowsSystemInfo::systemLanguageId() const {
    const LANGID language = GetSystemDefaultLangID();
    return language == 0 ? kUnknownLanguage : static_cast<int>(language);
}

// Asked by the locale's name, as the system default locale has no usable identifier of its own
// where several locales share one.
std::string WindowsSystemInfo::systemLanguageEnglishName() const {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetSystemDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) <= 0) {
        return {};
    }
    const int length = GetLocaleInfoEx(locale, LOCALE_SENGLISHLANGUAGENAME, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring name(static_cast<std::size_t>(length), L'\0');
    if (GetLocaleInfoEx(locale, LOCALE_SENGLISHLANGUAGENAME, name.data(), length) <= 0) {
        return {};
    }
    name.resize(static_cast<std::size_t>(length) - 1);
    return fromWide(name);
}

int WindowsSystemInfo::processId() const {
    return static_cast<int>(GetCurrentProcessId());
}

std::string WindowsSystemInfo::defaultTextEditor() const {
    return "Notepad.exe";
}

}  // namespace quillfen::platform
