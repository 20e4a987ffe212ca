#pragma once

#include <optional>
#include <string>

namespace quillfen::platform {

// Icons from the shell, as the bytes of .ico files (see IcoEncoder).
class ShellIcons {
public:
    // Icon number `index` of the file, in the system's large icon size, as ExtractIconW gives it:
    // from a program, a library or an icon file; a negative index names an icon group by its
    // resource identifier. The file text may be quoted and may hold %…% references, as registry
    // entries write it. nullopt when the file has no such icon or is no file with icons.
    static std::optional<std::string> extract(const std::string& file, int index);

    // The shell's icon of programs in general: the icon it shows for a program file that need not
    // exist, in the program's folder.
    static std::optional<std::string> genericProgram();
};

}  // namespace quillfen::platform
