#include "platform/windows/Registry.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr std::size_t kQueryBufferBytes = 32768;

struct RootName {
    std::string_view name;
    HKEY key;
};

const std::array<RootName, 7>& rootNames() {
    static const std::array<RootName, 7> roots = {{
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    }};
    return roots;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c =
            text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
        if (c != upper[i]) {
            return false;
        }
    }
    return true;
}

// A location split into its predefined root key and the key path below it.
struct Location {
    int error = 0;
    HKEY root = nullptr;
    std::wstring keyPath;
};

Location resolve(std::string_view text) {
    const std::size_t separator = text.find('\\');
    if (separator == std::string_view::npos || separator == 0) {
        return {kRegMalformedPath, nullptr, {}};
    }
    const std::string_view rootName = text.substr(0, separator);
    for (const RootName& root : rootNames()) {
        if (equalsIgnoringAsciiCase(rootName, root.name)) {
            return {0, root.key, toWide(text.substr(separator + 1))};
        }
    }
    return {kRegUnknownRoot, nullptr, {}};
}

// An open key, closed when it goes. Keys that are written are opened with whatever access the
// user has, so that a key the user may only read fails at the write with the system's own code.
class OpenKey {
public:
    OpenKey(HKEY parent, const std::wstring& path, REGSAM access) {
        if (RegOpenKeyExW(parent, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool isOpen() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool canOpen(HKEY root, const std::wstring& path) {
    return OpenKey(root, path, KEY_READ).isOpen();
}

void createKey(HKEY root, const std::wstring& path) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &created, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(created);
    }
}

// Each level is created only below one that exists, so a key path whose first level is missing
// creates nothing.
void createMissingLevels(HKEY root, const std::wstring& keyPath) {
    for (std::size_t at = keyPath.find(L'\\'); at != std::wstring::npos;
         at = keyPath.find(L'\\', at + 1)) {
        if (canOpen(root, keyPath.substr(0, at))) {
            createKey(root, keyPath.substr(0, keyPath.find(L'\\', at + 1)));
        }
    }
}

std::string textOf(const std::array<std::uint8_t, kQueryBufferBytes>& buffer, DWORD size) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    return fromWide(std::wstring_view(text).substr(0, end));
}

std::string numberOf(const std::array<std::uint8_t, kQueryBufferBytes>& buffer) {
    std::int32_t number = 0;
    std::memcpy(&number, buffer.data(), sizeof(number));
    return std::to_string(number);
}

}  // namespace

// The stored text carries its terminating zero, as the system's readers expect of a string value.
int regSetString(std::string_view location, std::string_view valueName, std::string_view value) {
    const Location where = resolve(location);
    if (where.error != 0) {
        return where.error;
    }
    createMissingLevels(where.root, where.keyPath);
    const OpenKey key(where.root, where.keyPath, MAXIMUM_ALLOWED);
    if (!key.isOpen()) {
        return kRegKeyNotOpened;
    }
    const std::wstring text = toWide(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return static_cast<int>(RegSetValueExW(key.get(), toWide(valueName).c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

std::string regQueryString(std::string_view location, std::string_view valueName, int kind) {
    const Location where = resolve(location);
    if (where.error != 0) {
        return {};
    }
    const OpenKey key(where.root, where.keyPath, KEY_QUERY_VALUE);
    if (!key.isOpen()) {
        return {};
    }
    std::array<std::uint8_t, kQueryBufferBytes> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExW(key.get(), toWide(valueName).c_str(), nullptr, nullptr, buffer.data(),
                         &size) != ERROR_SUCCESS) {
        return {};
    }
    return kind == kRegNumber ? numberOf(buffer) : textOf(buffer, size);
}

int regDeleteValue(std::string_view location, std::string_view valueName) {
    const Location where = resolve(location);
    if (where.error != 0) {
        return where.error;
    }
    const OpenKey key(where.root, where.keyPath, MAXIMUM_ALLOWED);
    if (!key.isOpen()) {
        return kRegKeyNotOpened;
    }
    return static_cast<int>(RegDeleteValueW(key.get(), toWide(valueName).c_str()));
}

int regDeleteKey(std::string_view location) {
    const Location where = resolve(location);
    if (where.error != 0) {
        return where.error;
    }
    const std::size_t last = where.keyPath.rfind(L'\\');
    if (last == std::wstring::npos) {
        return kRegKeyBelowRoot;
    }
    const OpenKey parent(where.root, where.keyPath.substr(0, last), MAXIMUM_ALLOWED);
    if (!parent.isOpen()) {
        return kRegParentNotOpened;
    }
    return static_cast<int>(RegDeleteKeyW(parent.get(), where.keyPath.substr(last + 1).c_str()));
}

bool regMayWrite(std::string_view location) {
    const Location where = resolve(location);
    return where.error == 0 &&
           OpenKey(where.root, where.keyPath, KEY_CREATE_SUB_KEY | KEY_SET_VALUE).isOpen();
}

}  // namespace quillfen::platform
