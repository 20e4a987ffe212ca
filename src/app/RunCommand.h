#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Starts a program; returns 0 when it started and -1 when it could not. With `wait`, a time-out
// above 0 waits that many milliseconds and then ends the program; 0 or less waits for its end.
// `show` asks for a normal window where the platform has window states.
int runCommand(const std::vector<std::string>& arguments, bool wait, bool show, int timeoutMs);
// The same for a command text, split into words by splitCommandWords. A path that must stay one
// argument whatever it holds is appended to the word list by the caller instead.
int runCommand(std::string_view commandLine, bool wait, bool show, int timeoutMs);

}  // namespace quillfen
