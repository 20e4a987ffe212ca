#include "platform/linux/LinuxProcessLauncher.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <thread>

#include "platform/linux/CommandOutput.h"

extern char** environ;

namespace quillfen::platform {

namespace {

using Clock = std::chrono::steady_clock;

void reapInBackground(pid_t pid) {
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

void waitForEnd(pid_t pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Waits up to the time-out, then ends the process whether or not it has finished, as callers
// expect a bounded wait. A process that already ended has been reaped and is not signalled.
void waitThenTerminate(pid_t pid, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::milliseconds(1);
    while (Clock::now() < deadline) {
        const pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    waitForEnd(pid);
}

}  // namespace

bool LinuxProcessLauncher::launch(const std::vector<std::string>& arguments,
                                  const LaunchOptions& options) {
    if (arguments.empty() || arguments.front().empty()) {
        return false;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The child starts with default signal handling and its own process group, so a Ctrl+C meant
    // for this program does not reach an editor it started.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return false;
    }
    if (!options.wait) {
        reapInBackground(pid);
    } else if (options.timeoutMs > 0) {
        waitThenTerminate(pid, options.timeoutMs);
    } else {
        waitForEnd(pid);
    }
    return true;
}

bool LinuxProcessLauncher::isRunning(int processId) const {
    // A process of another user still runs, though no signal may reach it.
    return processId > 0 && (::kill(processId, 0) == 0 || errno == EPERM);
}

CapturedRun LinuxProcessLauncher::runCapturingOutput(const std::vector<std::string>& arguments,
                                                     int timeoutMs) {
    return captureOutput(arguments, timeoutMs);
}

std::vector<int> LinuxProcessLauncher::othersRunningFrom(const std::string& folder) const {
    // /proc names every program by its resolved path, so the folder is compared resolved too.
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        return {};
    }
    std::string prefix = resolved;
    if (!prefix.ends_with('/')) {
        prefix += '/';
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> processes(::opendir("/proc"), ::closedir);
    if (!processes) {
        return {};
    }
    const pid_t self = ::getpid();
    std::vector<int> found;
    while (const dirent* entry = ::readdir(processes.get())) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string_view::npos) {
            continue;
        }
        const int processId = std::atoi(entry->d_name);
        char program[PATH_MAX];
        const std::string link = "/proc/" + std::string(name) + "/exe";
        const ssize_t length = ::readlink(link.c_str(), program, sizeof program - 1);
        // A replaced program file reads as "<path> (deleted)", still below the folder.
        if (processId != self && length > 0 &&
            std::string_view(program, static_cast<size_t>(length)).starts_with(prefix)) {
            found.push_back(processId);
        }
    }
    return found;
}

}  // namespace quillfen::platform
