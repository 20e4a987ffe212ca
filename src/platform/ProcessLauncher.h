#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

struct LaunchOptions {
    bool wait = false;
    // Asks for a normal window; platforms without window states ignore it.
    bool show = true;
    // When waiting: above 0, wait that long and then terminate the process; otherwise wait for
    // its end.
    int timeoutMs = -1;
    // The last argument reaches the program exactly as given, never quoted, for programs that
    // read their command line themselves (a setup's "/D=folder" must come last and unquoted,
    // blanks and all). Systems that pass arguments one by one ignore it.
    bool lastArgumentAsIs = false;
};

// How a program whose output was captured ended.
struct CapturedRun {
    bool started = false;
    // Ended by the time limit; its exit code then tells nothing.
    bool timedOut = false;
    int exitCode = -1;
    std::string output;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts arguments[0] (looked up on PATH when it holds no separator) with the whole vector as
    // its arguments; no shell is involved. Returns false when the process could not be started.
    virtual bool launch(const std::vector<std::string>& arguments,
                        const LaunchOptions& options) = 0;
    // Whether a process of that identifier runs now. When the system cannot tell, it counts as
    // running, so that nothing a live process may still need is cleared away.
    virtual bool isRunning(int processId) const {
        (void)processId;
        return true;
    }
    // Runs the program (arguments[0], a path) with its standard output captured and nothing on
    // its input or its errors, ending it when it runs longer than `timeoutMs`. Output beyond a
    // megabyte is dropped.
    virtual CapturedRun runCapturingOutput(const std::vector<std::string>& arguments,
                                           int timeoutMs) {
        (void)arguments;
        (void)timeoutMs;
        return {};
    }
    // The identifiers of this user's processes, this one left out, whose program file lies in the
    // folder or below it: a program still running from there keeps its files in use.
    virtual std::vector<int> othersRunningFrom(const std::string& folder) const {
        (void)folder;
        return {};
    }
    // The file name that a program called `name` has on this system.
    virtual std::string programFileName(std::string_view name) const { return std::string(name); }
};

}  // namespace quillfen::platform
