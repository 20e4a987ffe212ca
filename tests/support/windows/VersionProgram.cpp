#include "support/VersionProgram.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::test {

// The process tests' child; see tests/windows/ArgvEcho.cpp.
ZipMember waitingProgram(const std::string& name) {
    const std::string self = platform::WindowsSystemInfo().executablePath();
    const std::string echo = self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    std::ifstream in(echo, std::ios::binary);
    if (!in) {
        throw std::runtime_error("test program missing: " + echo);
    }
    return {name, std::string(std::istreambuf_iterator<char>(in), {}), 0100755};
}

std::vector<std::string> waitingArguments() {
    return {"sleep", "600000"};
}

std::string commandLineProgramName() {
    return "quillfen-cli.exe";
}

// The child answers "--version" with what the file of its own name with ".answer" in place of
// ".exe" holds: the exit code on the first line, then the answer.
std::vector<ZipMember> versionProgram(const std::string& answer, int exitCode) {
    return {waitingProgram(commandLineProgramName()),
            {"quillfen-cli.answer", std::to_string(exitCode) + "\n" + answer + "\n"}};
}

void endProcess(int processId) {
    const HANDLE process =
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    if (process != nullptr) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    }
}

}  // namespace quillfen::test
