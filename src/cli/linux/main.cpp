#include "cli/CliRunner.h"
#include "platform/linux/LinuxPlatform.h"

int main(int argc, char** argv) {
    quillfen::platform::LinuxPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return quillfen::cli::runCli(argc, argv);
}
