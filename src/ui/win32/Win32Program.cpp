#include "ui/win32/Win32Program.h"

// clang-format off
#include <windows.h>
// clang-format on

#include "shell/windows/RegistryShellEntries.h"
#include "ui/win32/GetIconCommand.h"
#include "ui/win32/ScreenScale.h"
#include "ui/win32/Win32DuplicateWindow.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen::win32 {

ProgramCourses Win32Program::courses() {
    ProgramCourses courses;
    courses.writeIcon = runGetIcon;
    courses.openWindow = openWindow;
    courses.removeShellEntries = [] {
        RegistryShellEntries().remove();
        return 0;
    };
    return courses;
}

int Win32Program::openWindow(const std::string& argument, bool duplicateSearch) {
    initCommonControls();
    if (duplicateSearch) {
        Win32DuplicateWindow window(argument);
        window.run();
        return 0;
    }
    Win32MainWindow window(argument);
    window.run();
    return 0;
}

}  // namespace quillfen::win32
