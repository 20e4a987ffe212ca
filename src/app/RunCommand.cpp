#include "app/RunCommand.h"

#include "app/CommandLine.h"
#include "platform/Platform.h"

namespace quillfen {

int runCommand(const std::vector<std::string>& arguments, bool wait, bool show, int timeoutMs) {
    const platform::LaunchOptions options{wait, show, timeoutMs};
    return platform::currentPlatform().processes().launch(arguments, options) ? 0 : -1;
}

int runCommand(std::string_view commandLine, bool wait, bool show, int timeoutMs) {
    return runCommand(splitCommandWords(commandLine), wait, show, timeoutMs);
}

}  // namespace quillfen
