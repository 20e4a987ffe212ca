#pragma once

#include <string>
#include <vector>

namespace quillfen::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with the arguments (no shell), the environment of this process plus the given
// "NAME=value" overrides, and collects what it prints.
// With `interruptAfterMs` of 0 or more, the program is interrupted that long after its start, as
// by Ctrl+C: SIGINT on Linux, the Ctrl+C console event on Windows.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {},
                         int interruptAfterMs = -1);
// The same, except that a program still running after `limitMs` is killed (SIGKILL; on Windows
// TerminateProcess), so that a hanging program ends the test with exit code 137 instead of hanging
// it too.
ProgramResult runProgramWithin(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, int limitMs);

}  // namespace quillfen::test
