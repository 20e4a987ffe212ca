#pragma once

#include <string>

#include "ui/ProgramStart.h"

namespace quillfen::win32 {

// What start-up hands to the Win32 windows: the icon writer and the one window of the process.
class Win32Program {
public:
    static ProgramCourses courses();

private:
    static int openWindow(const std::string& argument, bool duplicateSearch);
};

}  // namespace quillfen::win32
