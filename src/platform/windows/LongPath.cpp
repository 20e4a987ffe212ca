#include "platform/windows/LongPath.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

std::wstring fullPathOf(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return {};
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

}  // namespace

std::wstring longPath(const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    if (path.starts_with(kLongPrefix) || path.starts_with(kDevicePrefix)) {
        return path;
    }
    const std::wstring full = fullPathOf(path);
    if (full.starts_with(kLongPrefix) || full.starts_with(kDevicePrefix)) {
        return full;
    }
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kLongUncPrefix) + full.substr(2);
    }
    if (full.size() >= 2 && full[1] == L':') {
        return std::wstring(kLongPrefix) + full;
    }
    return full;
}

std::wstring longPath(const std::string& path) {
    return longPath(toWide(path));
}

std::wstring withoutLongPrefix(const std::wstring& path) {
    if (path.starts_with(kLongUncPrefix)) {
        return L"\\\\" + path.substr(kLongUncPrefix.size());
    }
    if (path.starts_with(kLongPrefix)) {
        return path.substr(kLongPrefix.size());
    }
    return path;
}

}  // namespace quillfen::platform
