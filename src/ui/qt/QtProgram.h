#pragma once

#include "ui/ProgramStart.h"

namespace quillfen::qt {

// The toolkit's side of start-up: the application object and the one window of the process.
class QtProgram {
public:
    static ProgramCourses courses(int& argc, char** argv);
    static int openWindow(int& argc, char** argv, const std::string& argument,
                          bool duplicateSearch);
    // Prints on standard output, without a window.
    static int printText(const std::string& text);
    // Removes the file managers' entries; 1 when one of them stays.
    static int removeShellEntries();
};

}  // namespace quillfen::qt
