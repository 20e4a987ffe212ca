#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "app/AnsiCodePage.h"
#include "app/Application.h"
#include "app/ProgramLicense.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "cli/ArgumentChecks.h"
#include "cli/NearestName.h"
#include "platform/Platform.h"
#include "search/DatePresets.h"
#include "version/ProgramVersion.h"

namespace quillfen::cli {

namespace {

constexpr int kUsageError = 2;

const std::map<std::string, int> kSortColumns = {
    {"name", 0}, {"folder", 1}, {"type", 2}, {"modified", 3}, {"size", 4}};

const std::map<std::string, OutputFormat> kFormats = {{"paths", OutputFormat::Paths},
                                                      {"table", OutputFormat::Table},
                                                      {"tsv", OutputFormat::Tsv},
                                                      {"csv", OutputFormat::Csv},
                                                      {"jsonl", OutputFormat::Jsonl}};

const std::map<std::string, DateOption> kDatePresets = {{"week", DateOption::LastWeek},
                                                        {"month", DateOption::PastMonth},
                                                        {"year", DateOption::PastYear}};

const std::map<std::string, SizeOption> kSizePresets = {
    {"small", SizeOption::Small}, {"medium", SizeOption::Medium}, {"large", SizeOption::Large}};

constexpr const char* kFormatNotes =
    "Formats:\n"
    "  paths  each path as its raw bytes, one a line (or NUL-ended with --null); the default\n"
    "         when standard output is not a terminal\n"
    "  table  the default on a terminal: aligned columns; control characters and bytes that\n"
    "         are not UTF-8 show as \\xHH, a backslash as \\\\\n"
    "  tsv    a heading line, then tab-separated cells; \\\\, \\t, \\r, \\n and \\xHH (a byte\n"
    "         that is not UTF-8) are the only escapes\n"
    "  csv    a heading line, then comma-separated cells quoted as RFC 4180 asks, raw bytes\n"
    "  jsonl  one object a line with name, in_folder, type, date_modified, size (the size as\n"
    "         shown, \"2 KB\"), size_byte (the number of bytes, a text of 20 zero-padded\n"
    "         digits that sorts as it counts; -0000000000000000001 for a folder) and path.\n"
    "         JSON text is UTF-8, so a byte that is not becomes the text \\xHH there; a row\n"
    "         whose path is not UTF-8 also carries path_bytes, the path's exact bytes in base64.";

constexpr const char* kExitNotes =
    "Exit status: 0 when something was found, 1 when nothing was, 2 on bad input or when the\n"
    "output cannot be written, 130 when interrupted. A folder or file that cannot be read is\n"
    "named on standard error with the reason (unless --quiet) and skipped; skips do not change\n"
    "the exit status.";

void addOutputOptions(CLI::App& command, OutputOptions& output, std::string& format) {
    command.add_option("--format", format, "paths, table, tsv, csv or jsonl (see below)")
        ->check(CLI::IsMember(kFormats));
    command.add_flag("--null", output.nullTerminated,
                     "End each path with a NUL byte (paths format only)");
    command.add_flag("--quiet", output.quiet,
                     "Show no progress line and name no folder or file that cannot be read");
    command.footer(std::string(kFormatNotes) + "\n\n" + kExitNotes);
}

// What "ansi" stands for on this system and how to change it; worked out only when help is shown.
std::string encodingNotes() {
    return "Encodings:\n"
           "  ansi     the Windows code page " +
           std::to_string(ansiCodePageSetting()) +
           " here. Unless the settings file names one, it is the\n"
           "           system's own code page on Windows and, elsewhere, that of the program's\n"
           "           language (1252 for English and German, 936 for Chinese) or the one its\n"
           "           language file names. Set another as AnsiCodePage=<number> in section\n"
           "           [Config] of " +
           settingsFilePath() +
           "\n"
           "           (65001: UTF-8).\n"
           "  unicode  UTF-16LE\n"
           "  utf8     UTF-8\n";
}

void addLookIn(CLI::App& command, std::string& lookIn) {
    command.add_option("--in", lookIn, "Folder to search; \"*\" searches every volume")
        ->capture_default_str()
        ->check(validateLookIn);
}

void applyEncodings(const std::string& list, ContentInputs& content) {
    content.matchAnsi = content.matchUnicode = content.matchUtf8 = false;
    for (const std::string& name : splitText(list, ",")) {
        const std::string encoding(trimWhiteSpace(name));
        content.matchAnsi = content.matchAnsi || encoding == "ansi";
        content.matchUnicode = content.matchUnicode || encoding == "unicode";
        content.matchUtf8 = content.matchUtf8 || encoding == "utf8";
    }
}

struct FindArguments {
    std::string text;
    std::string hex;
    bool noSubfolders = false;
    std::string encodings = "ansi,unicode,utf8";
    std::string modified;
    std::vector<std::string> between;
    std::string size;
    // Empty when not given: the checks refuse an empty number.
    std::string atLeast;
    std::string atMost;
    std::vector<std::string> sort;
};

void defineContent(CLI::App& find, FindCommand& command, FindArguments& arguments) {
    auto* text = find.add_option("--text", arguments.text, "Content text; '*' separates pieces");
    auto* hex = find.add_option("--hex", arguments.hex,
                                "Content bytes in hexadecimal, e.g. \"31 32 * 35\"");
    auto* matchCase = find.add_flag("--match-case", command.inputs.content.matchCase,
                                    "Compare content text with regard to case");
    auto* encodings =
        find.add_option("--encodings", arguments.encodings,
                        "Comma list of ansi, unicode, utf8 that the content text is searched in "
                        "(see Encodings below)")
            ->check(validateEncodings)
            ->capture_default_str();
    // Bytes are searched as they are, so neither case nor encoding applies to them.
    hex->excludes(text)->excludes(matchCase)->excludes(encodings);
}

void defineFind(CLI::App& find, FindCommand& command, FindArguments& arguments) {
    SearchInputs& inputs = command.inputs;
    addLookIn(find, inputs.lookIn);
    find.add_option("--name", inputs.namePatterns,
                    "Name patterns separated by blanks; '*' is the only wildcard");
    find.add_flag("--no-subfolders", arguments.noSubfolders, "Search only the folder itself");
    defineContent(find, command, arguments);
    auto* modified = find.add_option("--modified", arguments.modified, "week, month or year")
                         ->check(CLI::IsMember(kDatePresets));
    auto* between = find.add_option("--modified-between", arguments.between,
                                    "Two days YYYY-MM-DD, in either order")
                        ->expected(2)
                        ->check(validateDay);
    modified->excludes(between);
    auto* size = find.add_option("--size", arguments.size, "small, medium or large")
                     ->check(CLI::IsMember(kSizePresets));
    auto* atLeast =
        find.add_option("--size-at-least", arguments.atLeast, "Size such as 500k, 10MB, 2G or KB")
            ->check(validateSize);
    auto* atMost =
        find.add_option("--size-at-most", arguments.atMost, "Size such as 500k, 10MB, 2G or KB")
            ->check(validateSize);
    size->excludes(atLeast)->excludes(atMost);
    atLeast->excludes(atMost);
    find.add_flag("--no-index", command.noIndex,
                  "Walk the folders even where an index of them could answer");
    find.add_option("--sort", arguments.sort,
                    "Columns clicked in order: name folder type modified size")
        ->check(CLI::IsMember(kSortColumns));
}

void applyFindArguments(const FindArguments& arguments, FindCommand& command) {
    SearchInputs& inputs = command.inputs;
    inputs.searchSubfolders = !arguments.noSubfolders;
    inputs.content.hexMode = !arguments.hex.empty();
    inputs.content.text = arguments.text;
    inputs.content.hexText = arguments.hex;
    applyEncodings(arguments.encodings, inputs.content);
    const platform::FileTime now = platform::currentPlatform().clock().now();
    if (!arguments.modified.empty()) {
        inputs.dateOption = kDatePresets.at(arguments.modified);
        applyDateOption(inputs.dateOption, now, inputs);
    } else if (arguments.between.size() == 2) {
        inputs.dateOption = DateOption::SpecifyDates;
        inputs.dateFrom = *parseDay(arguments.between[0]);
        inputs.dateTo = *parseDay(arguments.between[1]);
    }
    if (!arguments.size.empty()) {
        inputs.sizeOption = kSizePresets.at(arguments.size);
        applySizeOption(inputs.sizeOption, inputs);
    } else if (!arguments.atLeast.empty() || !arguments.atMost.empty()) {
        const bool atLeast = !arguments.atLeast.empty();
        inputs.sizeOption = SizeOption::SpecifySize;
        inputs.sizeBound = atLeast ? SizeBound::AtLeast : SizeBound::AtMost;
        command.sizeLimitBytes = *parseSizeBytes(atLeast ? arguments.atLeast : arguments.atMost);
    }
    for (const std::string& column : arguments.sort) {
        command.sortClicks.push_back(kSortColumns.at(column));
    }
}

struct DupesArguments {
    bool noMatchBody = false;
};

void defineDupes(CLI::App& dupes, DupesCommand& command, DupesArguments& arguments) {
    DuplicateInputs& inputs = command.inputs;
    dupes.add_option("REFERENCE", inputs.referencePath, "The reference file")->required();
    addLookIn(dupes, inputs.lookIn);
    auto* matchName =
        dupes.add_flag("--match-name", inputs.matchName, "Same name without extension");
    dupes.add_flag("--match-extension", inputs.matchExtension, "Same extension");
    dupes.add_flag("--match-time", inputs.matchTime, "Same modification time");
    auto* matchBody =
        dupes.add_flag("--match-body", inputs.matchBody, "Same content (the default)");
    dupes
        .add_flag("--no-match-body", arguments.noMatchBody,
                  "Compare no content: a search by name, with --match-name")
        ->needs(matchName)
        ->excludes(matchBody);
    dupes.add_flag("--no-index", command.noIndex,
                   "Walk the folders even where an index of them could answer");
}

constexpr const char* kIndexNotes =
    "An index answers a search in a folder it holds, after it has been brought up to date: each\n"
    "of its folders is looked up, the changed ones are listed again, and every row is looked up\n"
    "as it is shown, so the rows are those a walk would print. Content searches read the files\n"
    "whose names pass; duplicate searches compare the files of the index with their sizes of\n"
    "now. \"index add '*'\" indexes the root of every volume, which then answers --in '*'.";

const std::map<std::string, IndexCommand::Action> kIndexActions = {
    {"add", IndexCommand::Action::Add},
    {"remove", IndexCommand::Action::Remove},
    {"list", IndexCommand::Action::List},
    {"update", IndexCommand::Action::Update}};

// One subcommand per action; returns the subcommands so that the parsed one can be told.
std::vector<CLI::App*> defineIndex(CLI::App& index, IndexCommand& command) {
    index.require_subcommand(1);
    index.footer(kIndexNotes);
    CLI::App* add = index.add_subcommand("add", "Index folders, each a new index");
    add->add_option("PATH", command.paths, "Folders to index")->required()->check(validateFolder);
    CLI::App* remove = index.add_subcommand("remove", "Remove the indexes of folders");
    remove->add_option("PATH", command.paths, "Indexed folders")->required();
    CLI::App* list = index.add_subcommand("list", "Show the indexes");
    list->add_option("--format", command.format, "table, tsv or json")
        ->check(CLI::IsMember({"table", "tsv", "json"}))
        ->capture_default_str();
    CLI::App* update =
        index.add_subcommand("update", "Bring indexes up to date (all without PATH)");
    update->add_option("PATH", command.paths, "Indexed folders");
    return {add, remove, list, update};
}

IndexCommand::Action parsedAction(const std::vector<CLI::App*>& actions) {
    for (const CLI::App* action : actions) {
        if (action->parsed()) {
            return kIndexActions.at(action->get_name());
        }
    }
    return IndexCommand::Action::List;
}

// Relations between options that the option library cannot state.
void checkOutputOptions(const std::string& format, OutputOptions& output) {
    if (!format.empty()) {
        output.format = kFormats.at(format);
    }
    if (!output.nullTerminated) {
        return;
    }
    if (output.format && *output.format != OutputFormat::Paths) {
        throw CLI::ValidationError("--null",
                                   "only the paths format ends rows with NUL, not " + format);
    }
    output.format = OutputFormat::Paths;
}

std::string oneLineFailure(const CLI::App*, const CLI::Error& error) {
    return "quillfen-cli: " + std::string(error.what()) + " (see --help)\n";
}

std::vector<std::string> longOptionNames(const CLI::App& command) {
    std::vector<std::string> names = {"help"};
    for (const CLI::Option* option : command.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            names.push_back(name);
        }
    }
    return names;
}

// A line that names the word the parser could not place and the nearest word it knows, or
// nothing when no word is near enough to be a slip of the keyboard.
std::vector<std::string> subcommandNames(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::App* subcommand :
         command.get_subcommands([](const CLI::App*) { return true; })) {
        names.push_back(subcommand->get_name());
    }
    return names;
}

std::optional<std::string> misspellingHint(const CLI::App& app, int argc, const char* const* argv) {
    const CLI::App* chosen = &app;
    for (int index = 1; index < argc; ++index) {
        const std::string_view word = argv[index];
        if (word == "--") {
            break;
        }
        // A command's words name its subcommands, where it has them (index add), else they are
        // its own arguments.
        const std::vector<std::string> commands = subcommandNames(*chosen);
        if (!commands.empty() && !word.starts_with('-')) {
            const std::vector<const CLI::App*> named = chosen->get_subcommands(
                [word](const CLI::App* command) { return command->get_name() == word; });
            if (named.empty()) {
                const auto meant = nearestName(word, commands);
                return meant ? std::optional<std::string>("unknown command '" + std::string(word) +
                                                          "'; did you mean '" + *meant + "'?")
                             : std::nullopt;
            }
            chosen = named.front();
            continue;
        }
        if (chosen == &app || !word.starts_with("--")) {
            continue;
        }
        const std::string_view name = word.substr(2, word.find('=') - 2);
        const std::vector<std::string> known = longOptionNames(*chosen);
        if (std::find(known.begin(), known.end(), name) != known.end()) {
            continue;
        }
        if (const auto meant = nearestName(name, known)) {
            return "unknown option '--" + std::string(name) + "'; did you mean '--" + *meant + "'?";
        }
    }
    return std::nullopt;
}

}  // namespace

CliOptions parseCommandLine(int argc, const char* const* argv) {
    CliOptions options;
    CLI::App app{"Quillfen: find files by name, date, size and content, and find duplicates.",
                 "quillfen-cli"};
    app.set_version_flag(
        "--version", std::string("quillfen-cli ") + programVersion() + "\n" + kProgramLicenseLine,
        "Print the version and exit");
    app.require_subcommand(1);
    app.failure_message(oneLineFailure);
    std::string format;

    FindCommand find;
    find.inputs.lookIn = ".";
    find.inputs.content.matchAnsi = find.inputs.content.matchUnicode =
        find.inputs.content.matchUtf8 = true;
    FindArguments findArguments;
    CLI::App* findCommand = app.add_subcommand("find", "Find files and folders");
    defineFind(*findCommand, find, findArguments);
    addOutputOptions(*findCommand, options.output, format);
    findCommand->footer(std::function<std::string()>(
        [] { return std::string(kSizeNotes) + "\n\n" + encodingNotes(); }));

    // As the window opens: the body compared, nothing else; each option adds to that.
    DupesCommand dupes;
    dupes.inputs.lookIn = ".";
    DupesArguments dupesArguments;
    CLI::App* dupesCommand = app.add_subcommand("dupes", "Find the duplicates of one file");
    defineDupes(*dupesCommand, dupes, dupesArguments);
    addOutputOptions(*dupesCommand, options.output, format);

    IndexCommand index;
    CLI::App* indexCommand = app.add_subcommand("index", "Index folders for fast name searches");
    const std::vector<CLI::App*> indexActions = defineIndex(*indexCommand, index);

    try {
        app.parse(argc, argv);
        checkOutputOptions(format, options.output);
    } catch (const CLI::ParseError& error) {
        if (const auto hint = misspellingHint(app, argc, argv)) {
            std::fprintf(stderr, "quillfen-cli: %s (see --help)\n", hint->c_str());
            options.exitCode = kUsageError;
            return options;
        }
        const int code = app.exit(error);
        options.exitCode = code == 0 ? 0 : kUsageError;
        return options;
    }
    if (indexCommand->parsed()) {
        index.action = parsedAction(indexActions);
        options.index = std::move(index);
    } else if (findCommand->parsed()) {
        applyFindArguments(findArguments, find);
        options.find = std::move(find);
    } else {
        dupes.inputs.matchBody = !dupesArguments.noMatchBody;
        options.dupes = std::move(dupes);
    }
    return options;
}

}  // namespace quillfen::cli
