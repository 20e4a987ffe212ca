#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <ctime>
#include <map>

#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/DatePresets.h"

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

// A day written YYYY-MM-DD that exists in the calendar.
std::optional<CalendarDate> parseDay(const std::string& text) {
    CalendarDate day;
    char tail = 0;
    if (text.size() != 10 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &day.year, &day.month, &day.day, &tail) != 3 ||
        text[4] != '-' || text[7] != '-' || day.month < 1 || day.month > 12 || day.day < 1 ||
        day.day > daysInMonth(day.year, day.month)) {
        return std::nullopt;
    }
    return day;
}

std::string validateDay(const std::string& text) {
    return parseDay(text) ? std::string() : "expected a day written YYYY-MM-DD, got " + text;
}

void addOutputOptions(CLI::App& command, OutputOptions& output, std::string& format) {
    command.add_option("--format", format, "paths, table, tsv, csv or jsonl")
        ->check(CLI::IsMember(kFormats));
    command.add_flag("--null", output.nullTerminated, "End each path with a NUL byte");
    command.add_flag("--quiet", output.quiet, "Show no progress line");
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

std::string validateEncodings(const std::string& list) {
    for (const std::string& name : splitText(list, ",")) {
        const std::string encoding(trimWhiteSpace(name));
        if (encoding != "ansi" && encoding != "unicode" && encoding != "utf8") {
            return "unknown encoding '" + encoding + "' (ansi, unicode, utf8)";
        }
    }
    return {};
}

struct FindArguments {
    std::string text;
    std::string hex;
    bool noSubfolders = false;
    std::string encodings = "ansi,unicode,utf8";
    std::string modified;
    std::vector<std::string> between;
    std::string size;
    std::optional<std::int64_t> atLeast;
    std::optional<std::int64_t> atMost;
    std::vector<std::string> sort;
};

void defineFind(CLI::App& find, FindCommand& command, FindArguments& arguments) {
    SearchInputs& inputs = command.inputs;
    find.add_option("--in", inputs.lookIn, "Folder to search; \"*\" searches every volume")
        ->capture_default_str();
    find.add_option("--name", inputs.namePatterns,
                    "Name patterns separated by blanks; '*' is the only wildcard");
    find.add_flag("--no-subfolders", arguments.noSubfolders, "Search only the folder itself");
    auto* text = find.add_option("--text", arguments.text, "Content text; '*' separates pieces");
    auto* hex = find.add_option("--hex", arguments.hex,
                                "Content bytes in hexadecimal, e.g. \"31 32 * 35\"");
    text->excludes(hex);
    find.add_flag("--match-case", inputs.content.matchCase, "Compare content with regard to case");
    find.add_option("--encodings", arguments.encodings, "Comma list of ansi, unicode, utf8")
        ->check(validateEncodings)
        ->capture_default_str();
    auto* modified = find.add_option("--modified", arguments.modified, "week, month or year")
                         ->check(CLI::IsMember(kDatePresets));
    auto* between = find.add_option("--modified-between", arguments.between,
                                    "Two days YYYY-MM-DD, in either order")
                        ->expected(2)
                        ->check(validateDay);
    modified->excludes(between);
    auto* size = find.add_option("--size", arguments.size, "small, medium or large")
                     ->check(CLI::IsMember(kSizePresets));
    auto* atLeast = find.add_option("--size-at-least", arguments.atLeast, "Size in KB")
                        ->check(CLI::NonNegativeNumber);
    auto* atMost = find.add_option("--size-at-most", arguments.atMost, "Size in KB")
                       ->check(CLI::NonNegativeNumber);
    size->excludes(atLeast)->excludes(atMost);
    atLeast->excludes(atMost);
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
    } else if (arguments.atLeast || arguments.atMost) {
        inputs.sizeOption = SizeOption::SpecifySize;
        inputs.sizeBound = arguments.atLeast ? SizeBound::AtLeast : SizeBound::AtMost;
        inputs.sizeKilobytes =
            std::to_string(arguments.atLeast ? *arguments.atLeast : *arguments.atMost);
    }
    for (const std::string& column : arguments.sort) {
        command.sortClicks.push_back(kSortColumns.at(column));
    }
}

}  // namespace

CliOptions parseCommandLine(int argc, const char* const* argv) {
    CliOptions options;
    CLI::App app{"Quillfen: find files by name, date, size and content, and find duplicates.",
                 "quillfen-cli"};
    app.require_subcommand(1);
    std::string format;

    FindCommand find;
    find.inputs.lookIn = ".";
    find.inputs.content.matchAnsi = find.inputs.content.matchUnicode =
        find.inputs.content.matchUtf8 = true;
    FindArguments findArguments;
    CLI::App* findCommand = app.add_subcommand("find", "Find files and folders");
    defineFind(*findCommand, find, findArguments);
    addOutputOptions(*findCommand, options.output, format);

    DupesCommand dupes;
    dupes.inputs.lookIn = ".";
    // The options given are exactly the ones matched; none given means what the window shows
    // when it opens: the body alone.
    dupes.inputs.matchBody = false;
    CLI::App* dupesCommand = app.add_subcommand("dupes", "Find the duplicates of one file");
    dupesCommand->add_option("REFERENCE", dupes.inputs.referencePath, "The reference file")
        ->required();
    dupesCommand
        ->add_option("--in", dupes.inputs.lookIn, "Folder to search; \"*\" searches every volume")
        ->capture_default_str();
    dupesCommand->add_flag("--match-name", dupes.inputs.matchName, "Same name without extension");
    dupesCommand->add_flag("--match-extension", dupes.inputs.matchExtension, "Same extension");
    dupesCommand->add_flag("--match-time", dupes.inputs.matchTime, "Same modification time");
    dupesCommand->add_flag("--match-body", dupes.inputs.matchBody,
                           "Same content (the default when no option is given; also added when "
                           "neither name nor content is asked for)");
    addOutputOptions(*dupesCommand, options.output, format);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        options.exitCode = code == 0 ? 0 : kUsageError;
        return options;
    }
    if (!format.empty()) {
        options.output.format = kFormats.at(format);
    }
    const DuplicateInputs& asked = dupes.inputs;
    if (!asked.matchName && !asked.matchExtension && !asked.matchTime && !asked.matchBody) {
        dupes.inputs.matchBody = true;
    }
    if (findCommand->parsed()) {
        applyFindArguments(findArguments, find);
        options.find = std::move(find);
    } else {
        options.dupes = std::move(dupes);
    }
    return options;
}

}  // namespace quillfen::cli
