#pragma once

#include <functional>
#include <string>

namespace quillfen {

// The parts of start-up that need the window toolkit, handed in by the executable.
struct ProgramCourses {
    // "/GetIcon NAME PATH": receives the command line's text behind the program path.
    std::function<int(const std::string& remainder)> writeIcon;
    // Opens the one window of the process and returns when it closes: the duplicate search when
    // the argument names an existing file, the search window otherwise.
    std::function<int(const std::string& argument, bool duplicateSearch)> openWindow;
    // Shows a text on the terminal in place of a window, for "--version" and "--help". A program
    // without it takes those words as names of files or folders, like any other argument.
    std::function<int(const std::string& text)> printText;
    // "--remove-shell-entries": removes the file managers' entries of this program without a
    // window, as before the program itself is removed. A program without it takes the word as a
    // name, like any other argument.
    std::function<int()> removeShellEntries;
};

// The start-up of the desktop program: sets the version, reads the command line and chooses what
// this process does. "--version", "--help" or "--remove-shell-entries" as the only argument does
// its work before anything else happens; a folder of either name is still reached as ./--version or
// by its full path, as a file manager passes it. "/Update" runs the version check in this process;
// every window-showing start first starts a background copy of the program with "/Update" and loads
// the settings. Returns the process's exit status.
int startProgram(int argc, const char* const* argv, const ProgramCourses& courses);

}  // namespace quillfen
