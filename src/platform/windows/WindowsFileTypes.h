#pragma once

#include "platform/FileTypes.h"

namespace quillfen::platform {

// Type names as the shell shows them in its folder windows, from SHGetFileInfoW. An extension's
// type is asked for a name that need not exist ("1" and the extension) with the file-attributes
// request, so no file is touched and the answer depends on the extension alone; a folder's type
// is asked of the real folder.
//
// Icons as the registry's DefaultIcon entries give them (see DefaultIconEntry): the entry of the
// extension's class under HKEY_CLASSES_ROOT, "%1" meaning each file's own icon; the entries of
// "Folder" and "Unknown"; icon 0 of "%SystemRoot%\System32\shell32.dll" for types without one;
// the shell's own icon of programs. The system extracts the icons (ExtractIconW).
class WindowsFileTypes final : public FileTypes {
public:
    static constexpr const char* kUnknownTypeIconFile = "%SystemRoot%\\System32\\shell32.dll";

    std::string typeNameForExtension(const std::string& extension) const override;
    std::string folderTypeName(const std::string& folderPath) const override;
    IconLocation extensionIcon(const std::string& extension) const override;
    IconLocation folderIcon() const override;
    IconLocation unknownTypeIcon() const override;
    IconLocation fallbackIcon() const override;
    IconLocation genericProgramIcon() const override;
    bool extractsIcons() const override { return true; }
    std::optional<std::string> extractIcon(const std::string& path, int index) const override;
};

}  // namespace quillfen::platform
