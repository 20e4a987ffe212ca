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

}  // namespace quillfen::test
