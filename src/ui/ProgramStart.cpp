#include "ui/ProgramStart.h"

#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/PathHelpers.h"
#include "app/RunCommand.h"
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

int startProgram(int argc, const char* const* argv, const ProgramCourses& courses) {
    Application& application = Application::instance();
    application.version = Application::kVersion;
    const CommandLine commandLine = processCommandLine(argc, argv);
    const std::string remainder = commandLine.remainder();
    if (remainder.starts_with("/GetIcon")) {
        return courses.writeIcon(remainder);
    }
    if (remainder.starts_with("/Update")) {
        runVersionCheck(machineIdentifier(platform::currentPlatform().disks()));
        return 0;
    }
    runCommand({moduleFilePath(), "/Update"}, false, true, -1);
    application.loadSettings();
    const std::string argument = commandLine.argument();
    const bool existingFile = !isDirectory(argument) && pathExists(argument);
    return courses.openWindow(argument, existingFile);
}

}  // namespace quillfen
