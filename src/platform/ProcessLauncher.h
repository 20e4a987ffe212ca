#pragma once

#include <string>
#include <vector>

namespace quillfen::platform {

struct LaunchOptions {
    bool wait = false;
    // Asks for a normal window; platforms without window states ignore it.
    bool show = true;
    // When waiting: above 0, wait that long and then terminate the process; otherwise wait for
    // its end.
    int timeoutMs = -1;
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
};

}  // namespace quillfen::platform
