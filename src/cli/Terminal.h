#pragma once

#include <cstddef>

// The console the command line runs in, as far as the command line needs it. Each system has its
// own implementation, chosen by the build.
namespace quillfen::cli::terminal {

// Makes the standard streams carry the program's bytes unchanged: UTF-8 text and paths exactly as
// the engine holds them, with no line-end translation.
void prepareStandardStreams();

// Calls `handler` when the user interrupts the program (Ctrl+C) or it is asked to end. The
// handler may run on another thread or in a signal handler, so it may only set atomic flags.
void onInterrupt(void (*handler)());

// Whether a failed write to standard output, with the C library's error number, means that its
// reader has gone (a closed pipe, as "| head" leaves it), which ends a run without a message.
bool isClosedReader(int error);

bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

// The width of the terminal behind standard error, 80 when it cannot be told.
std::size_t terminalColumns();

}  // namespace quillfen::cli::terminal
