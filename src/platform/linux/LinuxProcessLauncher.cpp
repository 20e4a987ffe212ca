#include "platform/linux/LinuxProcessLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

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

}  // namespace quillfen::platform
