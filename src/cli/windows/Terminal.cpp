#include "cli/Terminal.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

namespace quillfen::cli::terminal {

namespace {

void (*interruptHandler)() = nullptr;

// Runs on a thread the system starts for the event. Returning TRUE keeps the process alive, so
// the search stops at its next check and the rows found so far are still written.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            if (interruptHandler != nullptr) {
                interruptHandler();
            }
            return TRUE;
        default:
            return FALSE;
    }
}

bool isConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

void prepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

void onInterrupt(void (*handler)()) {
    interruptHandler = handler;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// Writing to a pipe whose reader has gone fails with ERROR_NO_DATA, which the C runtime turns
// into EINVAL rather than EPIPE; on a pipe, neither can mean anything else.
bool isClosedReader(int error) {
    if (error == EPIPE) {
        return true;
    }
    return error == EINVAL && GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
}

bool standardOutputIsTerminal() {
    return isConsole(STD_OUTPUT_HANDLE);
}

bool standardErrorIsTerminal() {
    return isConsole(STD_ERROR_HANDLE);
}

std::size_t terminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) != 0) {
        const int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns > 0) {
            return static_cast<std::size_t>(columns);
        }
    }
    return 80;
}

}  // namespace quillfen::cli::terminal
