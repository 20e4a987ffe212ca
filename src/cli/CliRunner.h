#pragma once

namespace quillfen::cli {

// Exit codes: 0 when at least one row was found, 1 when none, 2 on bad input, 130 when
// interrupted (after the rows found so far were printed).
int runCli(int argc, const char* const* argv);

}  // namespace quillfen::cli
