#include "support/VersionProgram.h"

#include <signal.h>

#include <fstream>
#include <iterator>

namespace quillfen::test {

std::string commandLineProgramName() {
    return "quillfen-cli";
}

// A shell script does here what the program does.
std::vector<ZipMember> versionProgram(const std::string& answer, int exitCode) {
    return {{commandLineProgramName(),
             "#!/bin/sh\nprintf '%s\\n' '" + answer + "'\nexit " + std::to_string(exitCode) + "\n",
             0100755}};
}

ZipMember waitingProgram(const std::string& name) {
    std::ifstream in("/bin/sleep", std::ios::binary);
    return {name, std::string(std::istreambuf_iterator<char>(in), {}), 0100755};
}

std::vector<std::string> waitingArguments() {
    return {"600"};
}

void endProcess(int processId) {
    ::kill(processId, SIGKILL);
}

}  // namespace quillfen::test
