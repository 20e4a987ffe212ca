#include "platform/windows/WindowsProcessLauncher.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "platform/windows/LongPath.h"
#include "platform/windows/QuotedCommandLine.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsHandle.h"

namespace quillfen::platform {

namespace {

constexpr UINT kTerminatedExitCode = 0xFFFFFFFF;
constexpr std::size_t kMostOutput = 1 << 20;
// How often a captured run looks for output and for its end.
constexpr DWORD kCapturePoll = 10;

// Reads what the pipe holds now, without waiting for more: a program the child started may keep
// the pipe open long after the child has ended.
void readAvailable(HANDLE pipe, std::string& output) {
    char buffer[4096];
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &read, nullptr) ||
            read == 0) {
            return;
        }
        output.append(buffer, std::min<std::size_t>(read, kMostOutput - output.size()));
    }
}

// The attribute list that lets the child inherit the given handles and no others.
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        ready_ =
            InitializeProcThreadAttributeList(list_, 1, 0, &size) &&
            UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                      handles_.size() * sizeof(HANDLE), nullptr, nullptr);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;
    ~InheritedHandles() {
        if (ready_) {
            DeleteProcThreadAttributeList(list_);
        }
    }
    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return ready_ ? list_ : nullptr; }

private:
    std::vector<HANDLE> handles_;
    std::vector<unsigned char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    bool ready_ = false;
};

// Waits for the process while it reads its output; ends it at the time-out.
void collectOutput(HANDLE process, HANDLE pipe, int timeoutMs, CapturedRun& run) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0));
    for (;;) {
        readAvailable(pipe, run.output);
        if (WaitForSingleObject(process, kCapturePoll) == WAIT_OBJECT_0) {
            readAvailable(pipe, run.output);
            break;
        }
        if (GetTickCount64() >= deadline) {
            TerminateProcess(process, kTerminatedExitCode);
            WaitForSingleObject(process, INFINITE);
            run.timedOut = true;
            break;
        }
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process, &code)) {
        run.exitCode = static_cast<int>(code);
    }
}

// The folder as the system names running programs: absolute, long names, no "\\?\" prefix, with
// a trailing backslash.
std::wstring programFolderPrefix(const std::string& folder) {
    std::wstring path = withoutLongPrefix(longPath(folder));
    if (path.empty()) {
        return path;
    }
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length > 0) {
        std::wstring expanded(length, L'\0');
        const DWORD written = GetLongPathNameW(path.c_str(), expanded.data(), length);
        if (written > 0 && written < length) {
            expanded.resize(written);
            path = expanded;
        }
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return path;
}

std::wstring programFileOf(DWORD processId) {
    const WindowsHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.valid()) {
        return {};
    }
    std::wstring name(32768, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, name.data(), &size)) {
        return {};
    }
    name.resize(size);
    return name;
}

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
    const bool lastAsIs = options.lastArgumentAsIs && arguments.size() > 1;
    const QuotedCommandLine line = quoteCommandLine(
        lastAsIs ? std::vector<std::string>(arguments.begin(), arguments.end() - 1) : arguments);
    if (line.refused()) {
        outcome.error = line.refusal;
        return outcome;
    }
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring commandLine = toWide(lastAsIs ? line.text + " " + arguments.back() : line.text);
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

CapturedRun WindowsProcessLauncher::runCapturingOutput(const std::vector<std::string>& arguments,
                                                       int timeoutMs) {
    CapturedRun run;
    const QuotedCommandLine line = quoteCommandLine(arguments);
    if (arguments.empty() || line.refused()) {
        return run;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return run;
    }
    const WindowsHandle reader(readEnd);
    WindowsHandle writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    WindowsHandle nothing(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                      OPEN_EXISTING, 0, nullptr));
    if (!nothing.valid()) {
        return run;
    }
    const InheritedHandles inherited({writer.get(), nothing.get()});
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = nothing.get();
    startup.StartupInfo.hStdOutput = writer.get();
    startup.StartupInfo.hStdError = nothing.get();
    startup.lpAttributeList = inherited.list();
    const DWORD flags =
        CREATE_NO_WINDOW | (inherited.list() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0);
    std::wstring commandLine = toWide(line.text);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags,
                                        nullptr, nullptr, &startup.StartupInfo, &process);
    // The child's copies are its own now; the pipe ends when the last of them closes.
    writer.reset();
    nothing.reset();
    if (!started) {
        return run;
    }
    run.started = true;
    const WindowsHandle processHandle(process.hProcess);
    CloseHandle(process.hThread);
    collectOutput(processHandle.get(), reader.get(), timeoutMs, run);
    return run;
}

std::vector<int> WindowsProcessLauncher::othersRunningFrom(const std::string& folder) const {
    const std::wstring prefix = programFolderPrefix(folder);
    const WindowsHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    std::vector<int> found;
    if (prefix.empty() || !snapshot.valid()) {
        return found;
    }
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self || entry.th32ProcessID == 0) {
            continue;
        }
        const std::wstring program = programFileOf(entry.th32ProcessID);
        if (program.size() > prefix.size() &&
            CompareStringOrdinal(program.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                 static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
            found.push_back(static_cast<int>(entry.th32ProcessID));
        }
    }
    return found;
}

std::string WindowsProcessLauncher::programFileName(std::string_view name) const {
    return std::string(name) + ".exe";
}

}  // namespace quillfen::platform
