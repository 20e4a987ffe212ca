// A child for the process tests. It reads its command line as every Windows program's runtime
// does (CommandLineToArgvW) and reports what it received:
//   write <file> <argument>…   writes each argument after the file, UTF-8, each ended by a zero
//   exit <code>                ends with that exit code
//   sleep <milliseconds>       waits, then ends with 0
//   self <file>                writes the executable path as the system information gives it
//   installed <file>           writes "installed" or "portable", as the system information
//                              judges this copy
//   hold <file> <ready file>   holds the file open, sharing reading only, as a running program's
//                              image is held; writes the ready file, then waits until its standard
//                              input ends: a stand-in for a program that still runs
//   lock <file>                takes the lock of the file as the update does: exit code 0 when
//                              it got it, 1 when not
//   /S ... /D=<folder>         a stand-in for a silent setup: writes the folder, as it stands on
//                              the command line after "/D=" (the setup reads it raw), into
//                              <folder>\setup.txt
//   --version                  prints what the file named as the program with ".answer" in place
//                              of ".exe" holds after its first line, and ends with the exit code
//                              that line holds: a stand-in for a command-line program
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>

#include "platform/windows/WideText.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsSystemInfo.h"

namespace {

using quillfen::platform::fromWide;

bool writeFile(const wchar_t* path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

int holdUntilInputEnds(const wchar_t* path, const wchar_t* readyFile) {
    HANDLE held =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE || !writeFile(readyFile, "held")) {
        return 101;
    }
    char buffer[64];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) &&
           read > 0) {
    }
    CloseHandle(held);
    return 0;
}

// The answer file beside the program, as an update test made it.
int answerVersion() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path = path.substr(0, path.rfind(L'.')) + L".answer";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 104;
    }
    char buffer[4096];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    const std::string answer(buffer, ok ? read : 0);
    const auto lineEnd = answer.find('\n');
    if (lineEnd == std::string::npos) {
        return 105;
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), answer.data() + lineEnd + 1,
              static_cast<DWORD>(answer.size() - lineEnd - 1), &written, nullptr);
    return std::stoi(answer.substr(0, lineEnd));
}

int recordSetupFolder() {
    const std::wstring line = GetCommandLineW();
    const auto at = line.find(L" /D=");
    if (at == std::wstring::npos) {
        return 106;
    }
    const std::wstring folder = line.substr(at + 4);
    return writeFile((folder + L"\\setup.txt").c_str(), fromWide(folder)) ? 0 : 101;
}

int run(int count, wchar_t** arguments) {
    if (count > 1 && std::wstring(arguments[1]) == L"/S") {
        return recordSetupFolder();
    }
    if (count == 2 && std::wstring(arguments[1]) == L"--version") {
        return answerVersion();
    }
    if (count < 3) {
        return 100;
    }
    const std::wstring mode = arguments[1];
    if (mode == L"exit") {
        return std::stoi(arguments[2]);
    }
    if (mode == L"sleep") {
        Sleep(static_cast<DWORD>(std::stoul(arguments[2])));
        return 0;
    }
    if (mode == L"self") {
        return writeFile(arguments[2], quillfen::platform::WindowsSystemInfo().executablePath())
                   ? 0
                   : 101;
    }
    if (mode == L"hold" && count == 4) {
        return holdUntilInputEnds(arguments[2], arguments[3]);
    }
    if (mode == L"lock") {
        return quillfen::platform::WindowsFileSystem().tryLock(fromWide(arguments[2])) ? 0 : 1;
    }
    if (mode == L"installed") {
        const bool installed = quillfen::platform::WindowsSystemInfo().isInstalledCopy();
        return writeFile(arguments[2], installed ? "installed" : "portable") ? 0 : 101;
    }
    if (mode == L"write") {
        std::string received;
        for (int i = 3; i < count; ++i) {
            received += fromWide(arguments[i]);
            received.push_back('\0');
        }
        return writeFile(arguments[2], received) ? 0 : 101;
    }
    return 102;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return 103;
    }
    const int code = run(count, arguments);
    LocalFree(arguments);
    return code;
}
