#include "ui/ProgramStart.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "update/MachineIdentifier.h"
#include "update/VersionCheck.h"

namespace quillfen {

namespace {

CommandLine processCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return CommandLine(moduleFilePath(), std::move(arguments));
}

}  // namespace

int startProgram(int argc, const char* const* argv) {
    Application::instance().version = Application::kVersion;
    const CommandLine commandLine = processCommandLine(argc, argv);
    const std::string remainder = commandLine.remainder();
    if (remainder.starts_with("/Update")) {
        runVersionCheck(machineIdentifier(platform::currentPlatform().disks()));
        return 0;
    }
    std::fputs(
        "quillfen: this build has no search window yet; quillfen-cli searches from the "
        "command line.\n",
        stderr);
    return 0;
}

}  // namespace quillfen
