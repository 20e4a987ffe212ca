#include "platform/windows/WindowsProcessLauncher.h"

#include <windows.h>

#include "platform/windows/QuotedCommandLine.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr UINT kTerminatedExitCode = 0xFFFFFFFF;

// Waits up to the time-out and then ends the process whether or not it has finished, so the
// caller's wait is bounded; a process that has ended keeps its own exit code.
void waitThenTerminate(HANDLE process, int timeoutMs) {
    if (WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(process, kTerminatedExitCode);
        WaitForSingleObject(process, INFINITE);
    }
}

std::optional<std::uint32_t> waitedExitCode(HANDLE process, const LaunchOptions& options) {
    if (!options.wait) {
        return std::nullopt;
    }
    if (options.timeoutMs > 0) {
        waitThenTerminate(process, options.timeoutMs);
    } else {
        WaitForSingleObject(process, INFINITE);
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(code);
}

}  // namespace

bool WindowsProcessLauncher::launch(const std::vector<std::string>& arguments,
                                    const LaunchOptions& options) {
    return run(arguments, options).started;
}

WindowsProcessLauncher::Outcome WindowsProcessLauncher::run(
    const std::vector<std::string>& arguments, const LaunchOptions& options) {
    Outcome outcome;
    const QuotedCommandLine line = quoteCommandLine(arguments);
    if (line.refused()) {
        outcome.error = line.refusal;
        return outcome;
    }
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring commandLine = toWide(line.text);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = options.show ? SW_SHOWNORMAL : SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        outcome.error = "cannot start " + arguments.front() +
                        ": CreateProcessW failed with error " + std::to_string(GetLastError());
        return outcome;
    }
    outcome.started = true;
    outcome.exitCode = waitedExitCode(process.hProcess, options);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

bool WindowsProcessLauncher::isRunning(int processId) const {
    if (processId <= 0) {
        return false;
    }
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr) {
        // No such process; one that may not be opened still runs.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace quillfen::platform
