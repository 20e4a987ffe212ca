#include "cli/CliRunner.h"
#include "platform/windows/ProgramArguments.h"
#include "platform/windows/WindowsPlatform.h"

int main() {
    const quillfen::platform::ProgramArguments arguments;
    quillfen::platform::WindowsPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return quillfen::cli::runCli(arguments.count(), arguments.vector());
}
