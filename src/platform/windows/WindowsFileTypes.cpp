#include "platform/windows/WindowsFileTypes.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cwchar>
#include <iterator>
#include <utility>

#include "platform/windows/ComScope.h"
#include "platform/windows/DefaultIconEntry.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/Registry.h"
#include "platform/windows/ShellIcons.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

// The shell's type name for the path; empty when the shell gives none.
std::string shellTypeName(const std::wstring& path, DWORD attributes, UINT flags) {
    const ComScope com;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags | SHGFI_TYPENAME) == 0) {
        return {};
    }
    return fromWide(
        std::wstring_view(info.szTypeName, wcsnlen(info.szTypeName, std::size(info.szTypeName))));
}

constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";

// A key's default value; the empty text when the key or the value is missing.
std::string classesValue(const std::string& keyPath) {
    return regQueryString(kClassesRoot + keyPath, "", kRegString);
}

}  // namespace

std::string WindowsFileTypes::typeNameForExtension(const std::string& extension) const {
    return shellTypeName(toWide("1" + extension), 0, SHGFI_USEFILEATTRIBUTES);
}

std::string WindowsFileTypes::folderTypeName(const std::string& folderPath) const {
    return shellTypeName(shellSpelling(folderPath), 0, 0);
}

IconLocation WindowsFileTypes::extensionIcon(const std::string& extension) const {
    const std::string typeClass = classesValue(extension);
    if (typeClass.empty()) {
        return IconLocation::none();
    }
    return DefaultIconEntry::parse(classesValue(typeClass + "\\DefaultIcon"));
}

IconLocation WindowsFileTypes::folderIcon() const {
    return DefaultIconEntry::parse(classesValue("Folder\\DefaultIcon"));
}

IconLocation WindowsFileTypes::unknownTypeIcon() const {
    return IconLocation::fileIcon(kUnknownTypeIconFile, 0);
}

IconLocation WindowsFileTypes::fallbackIcon() const {
    return DefaultIconEntry::parse(classesValue("Unknown\\DefaultIcon"));
}

IconLocation WindowsFileTypes::genericProgramIcon() const {
    auto icon = ShellIcons::genericProgram();
    return icon ? IconLocation::icoBytes(std::move(*icon)) : IconLocation::none();
}

std::optional<std::string> WindowsFileTypes::extractIcon(const std::string& path, int index) const {
    return ShellIcons::extract(path, index);
}

}  // namespace quillfen::platform
