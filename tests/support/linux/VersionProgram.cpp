#include "support/VersionProgram.h"

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

}  // namespace quillfen::test
