#include "ui/ProgramStart.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/PathHelpers.h"
#include "app/ProgramLicense.h"
#include "app/RunCommand.h"
#include "platform/Platform.h"
#include "update/MachineIdentifier.h"
#include "update/VersionCheck.h"
#include "version/ProgramVersion.h"

namespace quillfen {

namespace {

CommandLine processCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return CommandLine(moduleFilePath(), std::move(arguments));
}

constexpr std::string_view kUsage =
    "Usage: quillfen [FOLDER | FILE]\n"
    "Find files by name, date, size and content, and find duplicates.\n"
    "\n"
    "  (nothing)     open the search window\n"
    "  FOLDER        open the search window, looking in FOLDER\n"
    "  FILE          find the duplicates of FILE\n"
    "  /Update       check for a newer version, then end\n"
    "  /GetIcon NAME PATH\n"
    "                write the icon of PATH to NAME.ico in the program's temp folder\n"
    "\n"
    "Options:\n"
    "  -h,--help     Print this help message and exit\n"
    "  --version     Print the version and exit\n"
    "  --remove-shell-entries\n"
    "                remove the Quillfen entries from the file managers' context menus\n"
    "                (Dolphin, Nemo, Thunar, Nautilus, Caja) and exit\n";

// The text that a lone "--version" or "--help" asks for; nothing for any other command line.
std::optional<std::string> terminalText(int argc, const char* const* argv,
                                        const std::string& version) {
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string_view word = argv[1];
    if (word == "--version") {
        return "quillfen " + version + "\n" + kProgramLicenseLine + "\n";
    }
    if (word == "--help" || word == "-h") {
        return std::string(kUsage);
    }
    return std::nullopt;
}

}  // namespace

int startProgram(int argc, const char* const* argv, const ProgramCourses& courses) {
    Application& application = Application::instance();
    application.version = programVersion();
    if (courses.printText) {
        if (const auto text = terminalText(argc, argv, application.version)) {
            return courses.printText(*text);
        }
    }
    if (courses.removeShellEntries && argc == 2 &&
        std::string_view(argv[1]) == "--remove-shell-entries") {
        return courses.removeShellEntries();
    }
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
