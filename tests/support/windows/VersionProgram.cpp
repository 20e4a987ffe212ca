#include "support/VersionProgram.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::test {

std::string commandLineProgramName() {
    return "quillfen-cli.exe";
}

// The process tests' child, which answers "--version" with what the file of its own name with
// ".answer" in place of ".exe" holds: the exit code on the first line, then the answer.
std::vector<ZipMember> versionProgram(const std::string& answer, int exitCode) {
    const std::string self = platform::WindowsSystemInfo().executablePath();
    const std::string echo = self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    std::ifstream in(echo, std::ios::binary);
    if (!in) {
        throw std::runtime_error("test program missing: " + echo);
    }
    std::string program((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {{commandLineProgramName(), std::move(program), 0100755},
            {"quillfen-cli.answer", std::to_string(exitCode) + "\n" + answer + "\n"}};
}

}  // namespace quillfen::test
