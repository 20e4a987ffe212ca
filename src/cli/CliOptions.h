#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/DuplicateRequest.h"
#include "search/SearchInputs.h"

namespace quillfen::cli {

enum class OutputFormat { Paths, Table, Tsv, Csv, Jsonl };

struct OutputOptions {
    // Unset means: a table on a terminal, paths otherwise.
    std::optional<OutputFormat> format;
    bool nullTerminated = false;
    bool quiet = false;
};

struct FindCommand {
    SearchInputs inputs;
    // Column indexes, one header click each, in the order given.
    std::vector<int> sortClicks;
    // The size bound in bytes when the command line gave one, which may be no whole number of
    // the window's KB.
    std::optional<std::int64_t> sizeLimitBytes;
    // Walk even where an index could answer.
    bool noIndex = false;
};

struct IndexCommand {
    enum class Action { Add, Remove, List, Update };
    Action action = Action::List;
    std::vector<std::string> paths;
    // table, tsv or json, for the list.
    std::string format = "table";
};

struct DupesCommand {
    DuplicateInputs inputs;
    bool noIndex = false;
};

// The parsed command line: exactly one of the commands, or an exit code when parsing ended
// the run (help shown, or bad usage reported).
struct CliOptions {
    std::optional<FindCommand> find;
    std::optional<DupesCommand> dupes;
    std::optional<IndexCommand> index;
    OutputOptions output;
    std::optional<int> exitCode;
};

// Parses the arguments; usage errors and help go to standard error and standard output as the
// option library prints them.
CliOptions parseCommandLine(int argc, const char* const* argv);

}  // namespace quillfen::cli
