#include "cli/CliRunner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/AnsiCodePage.h"
#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "cli/CliOptions.h"
#include "cli/IndexCommands.h"
#include "cli/ProgressLine.h"
#include "cli/RowWriter.h"
#include "cli/Terminal.h"
#include "index/IndexedSearch.h"
#include "platform/Platform.h"
#include "results/FoundFile.h"
#include "results/ResultTable.h"
#include "results/SortKeyList.h"
#include "results/TypeTextCache.h"
#include "search/ContentInputs.h"
#include "search/InputCheck.h"

namespace quillfen::cli {

namespace {

constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kBadInput = 2;
constexpr int kInterrupted = 130;

std::atomic<bool> stopRequested{false};
std::atomic<bool> interrupted{false};

void onInterrupt() {
    interrupted.store(true);
    stopRequested.store(true);
}

// The setting is read as the window reads it, but a missing key is not written back: the command
// line leaves the settings file as it finds it.
bool searchInRecycleBinSetting() {
    const std::string value = readIniValue(settingsFilePath(), "Config", "SearchInRecycleBin");
    return !value.empty() && settingIsOn(value);
}

OutputFormat chosenFormat(const OutputOptions& output) {
    if (output.format) {
        return *output.format;
    }
    return terminal::standardOutputIsTerminal() ? OutputFormat::Table : OutputFormat::Paths;
}

// The window's messages point at the box at fault; on the command line the message names what
// it is about instead, since the arguments may be far back in a script.
struct NamedMessage {
    const char* windowText;
    const char* namingText;
};

constexpr NamedMessage kNamedMessages[] = {
    {"Folder not exists.", translatable("Folder not exists: %s")},
    {"File not exists.", translatable("File not exists: %s")},
    {"It is an empty file.", translatable("It is an empty file: %s")},
    {"The file cannot be read.", translatable("The file cannot be read: %s")},
};

std::string namingMessage(const InputProblem& problem, const std::string& path) {
    // A folder has the size 0 of its directory entry, so the check calls it an empty file.
    if (problem.field == InputField::ReferenceFile &&
        platform::currentPlatform().files().kindOf(withoutTrailingSeparator(path)) ==
            platform::EntryKind::Directory) {
        return filledIn(translate("%s is a folder; name a file"), "%s", {path});
    }
    for (const NamedMessage& named : kNamedMessages) {
        if (problem.message == named.windowText) {
            return filledIn(translate(named.namingText), "%s", {path});
        }
    }
    return translate(problem.message);
}

void reportProblem(const InputProblem& problem, const std::string& lookIn,
                   const std::string& reference = {}) {
    const std::string text =
        namingMessage(problem, problem.field == InputField::ReferenceFile ? reference : lookIn);
    std::fprintf(stderr, "quillfen-cli: %s\n", text.c_str());
}

// Turns found entries into rows: printed as they come, or kept in a table to be sorted first.
class RowCollector : public SearchObserver {
public:
    RowCollector(const OutputOptions& output, const std::vector<int>& sortClicks)
        : writer_(stdout, chosenFormat(output), output.nullTerminated),
          progress_(output.quiet),
          quiet_(output.quiet),
          typeTexts_(folderTypeText()),
          keepForSorting_(!sortClicks.empty()),
          pathsOnly_(!keepForSorting_ && chosenFormat(output) == OutputFormat::Paths),
          typesNeeded_(chosenFormat(output) != OutputFormat::Paths ||
                       std::find(sortClicks.begin(), sortClicks.end(), ResultTable::kTypeColumn) !=
                           sortClicks.end()) {}

    void searchingFolder(const std::string& folder) override {
        currentFolder_ = folder;
        progress_.update(folder, found_);
    }
    void comparingFile(const std::string& path) override { progress_.update(path, found_); }

    // Named as find and rg name what they pass by, so a search that skipped part of the tree
    // does not pass for a complete one.
    void skipped(const std::string& path, const std::string& reason) override {
        if (quiet_) {
            return;
        }
        progress_.erase();
        std::fprintf(stderr, "quillfen-cli: cannot read %s: %s\n",
                     withoutTrailingSeparator(path).c_str(), reason.c_str());
    }

    void answeredFromIndex(std::uint64_t entries) override { indexEntries_ = entries; }

    void found(const FoundEntry& entry) override {
        ++found_;
        if (pathsOnly_) {
            // Paths need none of the other cells, so none is made.
            writer_.writePath(entry.folder + withoutTrailingSeparator(entry.name));
            afterRow();
            return;
        }
        const bool isFolder = !entry.name.empty() && entry.name.back() == pathSeparator();
        const FoundFile file =
            FoundFile::describe(entry.name, entry.folder, entry.size, entry.writeTime, isFolder);
        // Type names come from the desktop's MIME database, which is loaded only for them.
        const std::string type =
            typesNeeded_ ? typeTexts_.typeTextFor(entry.name, entry.folder) : std::string();
        if (keepForSorting_) {
            table_.append(file, type);
        } else {
            progress_.erase();
            writer_.write(rowOf(file, type));
        }
        afterRow();
    }

    void finish(const std::vector<int>& sortClicks) {
        progress_.erase();
        if (keepForSorting_) {
            SortKeyList keys;
            for (const int column : sortClicks) {
                keys.clickHeader(column);
            }
            table_.sort(keys);
            for (std::size_t row = 0; row < table_.rowCount(); ++row) {
                writer_.write(rowOf(row));
            }
        }
        writer_.finish();
    }

    // After the rows: a last word on the progress line, which stays on the terminal.
    void tellLast(const std::string& text) { progress_.showLast(text); }

    std::int64_t foundCount() const { return found_; }
    const std::optional<std::uint64_t>& indexEntries() const { return indexEntries_; }
    int writeError() const { return writer_.writeError(); }
    bool needsEntryDetails() const override { return !pathsOnly_; }

private:
    // Output that can no longer be written ends the search: nobody would see its rows.
    void afterRow() {
        if (writer_.writeError() != 0) {
            stopRequested.store(true);
        }
        progress_.update(currentFolder_, found_);
    }

    static FolderTypeText& folderTypeText() {
        static FolderTypeText text;
        return text;
    }

    static OutputRow rowOf(const FoundFile& file, const std::string& type) {
        std::string name = file.name;
        if (!name.empty() && name.back() == pathSeparator()) {
            name.pop_back();
        }
        std::string path = file.inFolder + name;
        return OutputRow{std::move(name), file.inFolder, type,           file.modified,
                         file.sizeText,   file.sizeKey,  std::move(path)};
    }

    OutputRow rowOf(std::size_t row) const {
        return OutputRow{table_.cellText(row, ResultTable::kNameColumn),
                         table_.cellText(row, ResultTable::kFolderColumn),
                         table_.cellText(row, ResultTable::kTypeColumn),
                         table_.cellText(row, ResultTable::kModifiedColumn),
                         table_.cellText(row, ResultTable::kSizeColumn),
                         table_.cellText(row, ResultTable::kSizeByteColumn),
                         table_.rowPath(row)};
    }

    RowWriter writer_;
    ProgressLine progress_;
    bool quiet_;
    TypeTextCache typeTexts_;
    bool keepForSorting_;
    bool pathsOnly_;
    bool typesNeeded_;
    ResultTable table_;
    std::string currentFolder_;
    std::int64_t found_ = 0;
    std::optional<std::uint64_t> indexEntries_;
};

// A reader that went away (a closed pipe) wanted no more rows, so that ends the run quietly;
// any other failed write is reported.
int reportWriteError(int error) {
    if (!terminal::isClosedReader(error)) {
        std::fprintf(stderr, "quillfen-cli: cannot write the output: %s\n", std::strerror(error));
    }
    return kBadInput;
}

int exitCodeFor(const RowCollector& rows) {
    if (rows.writeError() != 0) {
        return reportWriteError(rows.writeError());
    }
    if (interrupted.load()) {
        return kInterrupted;
    }
    return rows.foundCount() > 0 ? kFound : kNothingFound;
}

int runFind(FindCommand& command, const OutputOptions& output) {
    if (const auto problem = checkInputs(command.inputs)) {
        reportProblem(*problem, command.inputs.lookIn);
        return kBadInput;
    }
    // Choosing the code page may load the code-page tables, which only a content search needs.
    const ContentInputs& content = command.inputs.content;
    if (!content.text.empty() || !content.hexText.empty()) {
        command.inputs.content.ansiCodePage = ansiCodePageSetting();
    }
    SearchCriteria criteria = buildCriteria(command.inputs);
    if (command.sizeLimitBytes) {
        criteria.sizeLimit = *command.sizeLimitBytes;
    }
    RowCollector rows(output, command.sortClicks);
    const auto startedAt = std::chrono::steady_clock::now();
    IndexedSearch::run(criteria, rows, stopRequested, searchInRecycleBinSetting(),
                       !command.noIndex);
    rows.finish(command.sortClicks);
    // A search cut short (Ctrl+C, a closed output) did not go through the whole index.
    if (rows.indexEntries() && !stopRequested.load()) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - startedAt);
        rows.tellLast(IndexedSearch::answeredText(*rows.indexEntries(),
                                                  static_cast<std::uint64_t>(took.count())));
    }
    return exitCodeFor(rows);
}

int runDupes(DupesCommand& command, const OutputOptions& output) {
    if (const auto problem = checkDuplicateInputs(command.inputs)) {
        reportProblem(*problem, command.inputs.lookIn, command.inputs.referencePath);
        return kBadInput;
    }
    const DuplicateRequest request = buildDuplicateRequest(command.inputs);
    RowCollector rows(output, {});
    IndexedSearch::runDuplicates(request, rows, stopRequested, searchInRecycleBinSetting(),
                                 !command.noIndex);
    rows.finish({});
    return exitCodeFor(rows);
}

}  // namespace

int runCli(int argc, const char* const* argv) {
    terminal::prepareStandardStreams();
    CliOptions options = parseCommandLine(argc, argv);
    if (options.exitCode) {
        return *options.exitCode;
    }
    terminal::onInterrupt(onInterrupt);
    if (options.find) {
        return runFind(*options.find, options.output);
    }
    if (options.index) {
        return runIndexCommand(*options.index, searchInRecycleBinSetting(), stopRequested);
    }
    return runDupes(*options.dupes, options.output);
}

}  // namespace quillfen::cli
