#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace quillfen::platform {

// Starts programs with CreateProcessW from one command line that gives every argument back
// whole (see QuotedCommandLine); arguments a batch file cannot receive safely are refused. The
// program is found by the system's search rules when its name holds no folder, ".exe" being
// added to a name without extension. No handles are inherited.
class WindowsProcessLauncher final : public ProcessLauncher {
public:
    struct Outcome {
        bool started = false;
        // The program's exit code when the caller waited; a program ended at the time-out
        // reports 0xFFFFFFFF.
        std::optional<std::uint32_t> exitCode;
        // Why the program did not start, with the program's name; empty when it started.
        std::string error;
    };

    bool launch(const std::vector<std::string>& arguments, const LaunchOptions& options) override;
    bool isRunning(int processId) const override;
    // Inherits the child the ends of its standard handles only.
    CapturedRun runCapturingOutput(const std::vector<std::string>& arguments,
                                   int timeoutMs) override;
    // The system's process list, each process's program file as the system names it; processes
    // this user may not ask are left out.
    std::vector<int> othersRunningFrom(const std::string& folder) const override;
    std::string programFileName(std::string_view name) const override;

    Outcome run(const std::vector<std::string>& arguments, const LaunchOptions& options);
};

}  // namespace quillfen::platform
