#pragma once

namespace quillfen {

// The start-up of the desktop program: sets the version, reads the command line and chooses what
// this process does. "/Update" runs the version check in this process and ends it. Returns the
// process's exit status.
int startProgram(int argc, const char* const* argv);

}  // namespace quillfen
