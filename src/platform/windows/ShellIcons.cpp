#include "platform/windows/ShellIcons.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string_view>

#include "platform/windows/ComScope.h"
#include "platform/windows/IcoEncoder.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

// ExtractIconW reads index -1 as a request for the number of icons, so resource identifier 1 is
// asked of the function behind it, which reads every negative index as an identifier.
constexpr int kCountRequest = -1;
// ExtractIconW's answer for a file that is no program, library or icon file.
const auto kNoIconFile = reinterpret_cast<HICON>(1);
constexpr DWORD kLongestPath = 32768;

// Registry entries write paths with blanks in quotes and system folders as %SystemRoot%; the
// system's extraction takes neither.
std::wstring usablePath(std::string_view file) {
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
        file = file.substr(1, file.size() - 2);
    }
    const std::wstring path = toWide(file);
    if (path.find(L'%') == std::wstring::npos) {
        return shellSpelling(std::string(file));
    }
    std::wstring expanded(kLongestPath, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(path.c_str(), expanded.data(), kLongestPath);
    if (length == 0 || length > kLongestPath) {
        return path;
    }
    expanded.resize(length - 1);
    return expanded;
}

HICON extractedIcon(const std::wstring& path, int index) {
    if (index != kCountRequest) {
        return ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), static_cast<UINT>(index));
    }
    HICON icon = nullptr;
    const UINT count = PrivateExtractIconsW(path.c_str(), index, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), &icon, nullptr, 1, 0);
    return count == 1 ? icon : nullptr;
}

std::optional<std::string> encodedAndDestroyed(HICON icon) {
    auto bytes = IcoEncoder::encode(icon);
    DestroyIcon(icon);
    return bytes;
}

std::wstring programFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    path.resize(length < kLongestPath ? length : 0);
    return path.substr(0, path.rfind(L'\\') + 1);
}

}  // namespace

std::optional<std::string> ShellIcons::extract(const std::string& file, int index) {
    if (file.empty()) {
        return std::nullopt;
    }
    HICON icon = extractedIcon(usablePath(file), index);
    if (icon == nullptr || icon == kNoIconFile) {
        return std::nullopt;
    }
    return encodedAndDestroyed(icon);
}

std::optional<std::string> ShellIcons::genericProgram() {
    const ComScope com;
    const std::wstring program = programFolder() + L"Tools\\Tools1.exe";
    SHFILEINFOW info{};
    if (SHGetFileInfoW(program.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES) == 0 ||
        info.hIcon == nullptr) {
        return std::nullopt;
    }
    return encodedAndDestroyed(info.hIcon);
}

}  // namespace quillfen::platform
