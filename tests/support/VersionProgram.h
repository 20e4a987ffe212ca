#pragma once

#include <string>
#include <vector>

#include "support/ZipBuilder.h"

namespace quillfen::test {

// The file name of the command-line program on this system.
std::string commandLineProgramName();

// The files of a command-line program that answers "--version" by printing `answer` and ending
// with `exitCode`, named as this system names it, to be put in a program folder or an archive.
std::vector<ZipMember> versionProgram(const std::string& answer, int exitCode = 0);

// A program that waits until it is ended, and the arguments that make it wait.
ZipMember waitingProgram(const std::string& name);
std::vector<std::string> waitingArguments();
// Ends the process at once.
void endProcess(int processId);

}  // namespace quillfen::test
