#include "support/ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quillfen::test {

namespace {

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& override : overrides) {
            replaced = replaced || override.substr(0, override.find('=')) == name;
        }
        if (!replaced) {
            merged.push_back(text);
        }
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

void drain(int outFd, int errFd, std::string& out, std::string& err) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
                if (count <= 0) {
                    fds[i].fd = -1;
                    --open;
                } else {
                    (i == 0 ? out : err).append(buffer, static_cast<size_t>(count));
                }
            }
        }
    }
}

// Sends a signal to a process after a delay unless cancelled first, so a program that ends early
// is not waited for.
class DelayedSignal {
public:
    DelayedSignal(pid_t pid, int signal, int afterMs) {
        if (afterMs < 0) {
            return;
        }
        thread_ = std::thread([this, pid, signal, afterMs] {
            std::unique_lock lock(mutex_);
            if (!cancelled_.wait_for(lock, std::chrono::milliseconds(afterMs),
                                     [this] { return done_; })) {
                ::kill(pid, signal);
            }
        });
    }
    DelayedSignal(const DelayedSignal&) = delete;
    DelayedSignal& operator=(const DelayedSignal&) = delete;
    ~DelayedSignal() { cancel(); }

    void cancel() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        cancelled_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable cancelled_;
    bool done_ = false;
    std::thread thread_;
};

ProgramResult runWithSignal(const std::string& program, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment, int signal, int afterMs) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = mergedEnvironment(environment);
    std::vector<char*> argv = pointersTo(argvTexts);
    std::vector<char*> envp = pointersTo(envTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int error =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProgramResult result;
    if (error != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
    }
    DelayedSignal delayed(pid, signal, afterMs);
    drain(outPipe[0], errPipe[0], result.out, result.err);
    delayed.cancel();
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, int interruptAfterMs) {
    return runWithSignal(program, arguments, environment, SIGINT, interruptAfterMs);
}

ProgramResult runProgramWithin(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, int limitMs) {
    return runWithSignal(program, arguments, environment, SIGKILL, limitMs);
}

}  // namespace quillfen::test
