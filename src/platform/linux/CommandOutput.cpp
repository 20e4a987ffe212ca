#include "platform/linux/CommandOutput.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/linux/FileDescriptor.h"

extern char** environ;

namespace quillfen::platform {

namespace {

constexpr size_t kMaxOutputBytes = 1 << 20;
// A shell's way to tell a program ended by a signal.
constexpr int kSignalledBase = 128;

bool readUntilEnd(int fd, std::string& output, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd request{fd, POLLIN, 0};
        const int ready = ::poll(&request, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) {
            return true;
        }
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return false;
        }
        output.append(buffer, static_cast<size_t>(count));
        if (output.size() > kMaxOutputBytes) {
            return false;
        }
    }
}

}  // namespace

CapturedRun captureOutput(const std::vector<std::string>& arguments, int timeoutMs) {
    CapturedRun run;
    if (arguments.empty() || arguments.front().empty()) {
        return run;
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return run;
    }
    FileDescriptor readEnd(pipeEnds[0]);
    FileDescriptor writeEnd(pipeEnds[1]);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.reset();
    if (error != 0) {
        return run;
    }
    run.started = true;

    const bool complete = readUntilEnd(readEnd.get(), run.output, timeoutMs);
    if (!complete) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // Output cut off at the size limit still came from a program that ended by itself.
    run.timedOut = !complete && run.output.size() <= kMaxOutputBytes;
    run.output.resize(std::min(run.output.size(), kMaxOutputBytes));
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.exitCode = kSignalledBase + WTERMSIG(status);
    }
    return run;
}

std::optional<std::string> commandOutput(const std::vector<std::string>& arguments, int timeoutMs) {
    CapturedRun run = captureOutput(arguments, timeoutMs);
    if (!run.started || run.timedOut || run.exitCode != 0) {
        return std::nullopt;
    }
    return std::move(run.output);
}

}  // namespace quillfen::platform
