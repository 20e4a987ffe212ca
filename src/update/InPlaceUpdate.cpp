#include "update/InPlaceUpdate.h"

#include <atomic>
#include <cctype>
#include <optional>
#include <ranges>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "update/UpdateJournal.h"
#include "update/UpdateStaging.h"
#include "update/UpdateWorkFolder.h"

namespace quillfen {

namespace {

using Outcome = InPlaceUpdate::Outcome;
using Result = InPlaceUpdate::Result;

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

platform::ProcessLauncher& processes() {
    return platform::currentPlatform().processes();
}

platform::EntryKind kindAt(const std::string& path) {
    return files().entryStatus(path).kind;
}

bool exists(const std::string& path) {
    return kindAt(path) != platform::EntryKind::Missing;
}

bool saveJournal(const UpdateWorkFolder& work, const UpdateJournal& journal) {
    return !files().saveFile(work.journalPath(), journal.text()).has_value();
}

std::string commandLineProgram() {
    return processes().programFileName("quillfen-cli");
}

// Settings files and language tables belong to the user once they exist (a program fills in the
// texts a table lacks), so an update adds the ones the folder lacks and keeps the others.
bool isUsersOnceThere(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string extension(name.substr(name.size() - 4));
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".ini";
}

bool isVersionCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-' || c == '+';
}

// Whether the line holds the version as a word of its own: "1.4" is in "quillfen-cli 1.4" and in
// "version 1.4.", not in "1.4.1" or "11.4".
bool holdsVersion(std::string_view line, std::string_view version) {
    for (auto at = line.find(version); at != std::string_view::npos;
         at = line.find(version, at + 1)) {
        const auto after = at + version.size();
        const bool startsWord =
            at == 0 || (!isVersionCharacter(line[at - 1]) && line[at - 1] != '.');
        const bool endsWord =
            after == line.size() ||
            (!isVersionCharacter(line[after]) && !(line[after] == '.' && after + 1 < line.size() &&
                                                   isVersionCharacter(line[after + 1])));
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

std::string_view firstLine(std::string_view output) {
    std::string_view line = output.substr(0, output.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::string processList(const std::vector<int>& processIds) {
    std::string list;
    for (const int processId : processIds) {
        list += (list.empty() ? "" : ", ") + std::to_string(processId);
    }
    return list;
}

// Puts the file `from` where `to` is, in one rename where the system allows it. A program that
// runs may not be replaced on some systems, but may be renamed: it is moved aside first, and
// back if the file still cannot take its place.
bool putInPlace(const UpdateWorkFolder& work, const std::string& from, const std::string& to) {
    if (files().renameEntry(from, to)) {
        return true;
    }
    if (kindAt(to) != platform::EntryKind::File) {
        return false;
    }
    const std::string aside = work.freeAsidePath();
    if (aside.empty() || !files().renameEntry(to, aside)) {
        return false;
    }
    if (files().renameEntry(from, to)) {
        return true;
    }
    files().renameEntry(aside, to);
    return false;
}

// Decides, before anything changes, which unpacked files replace one, which are new, and which
// folders the new ones need.
std::string planSwap(const UpdateWorkFolder& work, const std::vector<std::string>& staged,
                     UpdateJournal& journal) {
    for (const std::string& name : staged) {
        const std::string target = work.target(name);
        const platform::EntryKind kind = kindAt(target);
        if (kind == platform::EntryKind::File) {
            if (!isUsersOnceThere(name)) {
                journal.replaced.push_back(name);
            }
            continue;
        }
        if (kind != platform::EntryKind::Missing) {
            return target + " is not a file, so the update's file cannot take its place";
        }
        journal.added.push_back(name);
        for (auto slash = name.find('/'); slash != std::string::npos;
             slash = name.find('/', slash + 1)) {
            const std::string folder = name.substr(0, slash);
            if (!exists(work.target(folder)) &&
                std::ranges::find(journal.createdFolders, folder) == journal.createdFolders.end()) {
                journal.createdFolders.push_back(folder);
            }
        }
    }
    return {};
}

void collectFiles(const std::string& folder, const std::string& prefix,
                  std::vector<std::string>& names) {
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    files().listFolder(folder, entries, never, {});
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isLink) {
            continue;
        }
        if (entry.isFolder) {
            collectFiles(folder + files().separator() + entry.name, prefix + entry.name + "/",
                         names);
        } else {
            names.push_back(prefix + entry.name);
        }
    }
}

}  // namespace

InPlaceUpdate::Outcome InPlaceUpdate::apply(const std::string& archivePath,
                                            const std::string& programFolder,
                                            const std::string& newVersion) {
    return apply(archivePath, programFolder, newVersion, Limits{});
}

InPlaceUpdate::Outcome InPlaceUpdate::apply(const std::string& archivePath,
                                            const std::string& programFolder,
                                            const std::string& newVersion, const Limits& limits) {
    if (newVersion.empty()) {
        return {Result::Refused, "no version to check the new program against"};
    }
    const UpdateWorkFolder work(programFolder);
    if (exists(work.path())) {
        resumeInterrupted(programFolder);
        if (exists(work.path())) {
            return {Result::Refused,
                    "the work folder " + work.path() + " of an earlier update cannot be cleared"};
        }
    }
    if (!files().createDirectory(work.path())) {
        return {Result::Refused, "cannot create the work folder " + work.path()};
    }
    const UpdateStaging::Result staged =
        UpdateStaging::stage(archivePath, work.newFolder(), commandLineProgram());
    UpdateJournal journal;
    journal.version = newVersion;
    std::string refusal = staged.refusal;
    if (refusal.empty() && !saveJournal(work, journal)) {
        refusal = "cannot write the journal " + work.journalPath();
    }
    if (!refusal.empty()) {
        work.clear();
        return {Result::Refused, archivePath + ": " + refusal};
    }
    const std::vector<int> others = waitForOtherPrograms(work.programFolder(), limits);
    if (!others.empty()) {
        return {Result::Refused, "programs of " + work.programFolder() + " still run (processes " +
                                     processList(others) + "); the update is left to the next run"};
    }
    refusal = planSwap(work, staged.files, journal);
    if (!refusal.empty()) {
        work.clear();
        return {Result::Refused, refusal};
    }
    return replaceAndCheck(work, journal, limits);
}

InPlaceUpdate::Outcome InPlaceUpdate::replaceAndCheck(const UpdateWorkFolder& work,
                                                      UpdateJournal& journal,
                                                      const Limits& limits) {
    journal.stage = UpdateJournal::Stage::Swapping;
    if (!saveJournal(work, journal)) {
        work.clear();
        return {Result::Refused, "cannot write the journal " + work.journalPath()};
    }
    std::string failure = swap(work, journal);
    if (failure.empty()) {
        journal.stage = UpdateJournal::Stage::Checking;
        failure = saveJournal(work, journal) ? check(work, journal.version, limits)
                                             : "cannot write the journal " + work.journalPath();
    }
    // Without a journal that says the check passed, the kept files are the only way back.
    if (failure.empty()) {
        journal.stage = UpdateJournal::Stage::Done;
        if (!saveJournal(work, journal)) {
            failure = "cannot write the journal " + work.journalPath();
        }
    }
    if (!failure.empty()) {
        rollBack(work, journal);
        return {Result::RolledBack, failure};
    }
    work.clear();
    return {Result::Updated, work.programFolder() + " now holds version " + journal.version};
}

std::string InPlaceUpdate::swap(const UpdateWorkFolder& work, const UpdateJournal& journal) {
    for (const std::string& folder : journal.createdFolders) {
        const std::string path = work.target(folder);
        if (!files().createDirectory(path) && kindAt(path) != platform::EntryKind::Directory) {
            return "cannot create the folder " + path;
        }
    }
    for (const std::string& name : journal.replaced) {
        const std::string target = work.target(name);
        if (!work.makeParents(work.oldFolder(), name) ||
            !files().keepCopy(target, work.oldFile(name))) {
            return "cannot keep " + target + " as " + work.oldFile(name);
        }
        if (!putInPlace(work, work.newFile(name), target)) {
            return "cannot replace " + target;
        }
    }
    for (const std::string& name : journal.added) {
        if (!putInPlace(work, work.newFile(name), work.target(name))) {
            return "cannot add " + work.target(name);
        }
    }
    return {};
}

std::string InPlaceUpdate::check(const UpdateWorkFolder& work, const std::string& version,
                                 const Limits& limits) {
    const std::string program = work.target(commandLineProgram());
    const platform::CapturedRun run = processes().runCapturingOutput(
        {program, "--version"}, static_cast<int>(limits.checkTime.count()));
    if (!run.started) {
        return "cannot start " + program;
    }
    if (run.timedOut) {
        return program + " --version did not answer within " +
               std::to_string(limits.checkTime.count()) + " ms";
    }
    if (run.exitCode != 0) {
        return program + " --version ended with exit code " + std::to_string(run.exitCode);
    }
    const std::string_view line = firstLine(run.output);
    if (!holdsVersion(line, version)) {
        return program + " --version answered \"" + std::string(line) + "\", not version " +
               version;
    }
    return {};
}

void InPlaceUpdate::rollBack(const UpdateWorkFolder& work, UpdateJournal& journal) {
    for (const std::string& name : journal.replaced | std::views::reverse) {
        if (exists(work.oldFile(name))) {
            putInPlace(work, work.oldFile(name), work.target(name));
        }
    }
    // A new file that is no longer among the unpacked ones has been moved into the folder.
    for (const std::string& name : journal.added | std::views::reverse) {
        const std::string target = work.target(name);
        if (!exists(work.newFile(name)) && exists(target) && !files().removeFile(target)) {
            const std::string aside = work.freeAsidePath();
            if (!aside.empty()) {
                files().renameEntry(target, aside);
            }
        }
    }
    for (const std::string& folder : journal.createdFolders | std::views::reverse) {
        files().removeFolder(work.target(folder));
    }
    journal.stage = UpdateJournal::Stage::RolledBack;
    saveJournal(work, journal);
    work.clear();
}

bool InPlaceUpdate::restoreKeptFiles(const UpdateWorkFolder& work) {
    std::vector<std::string> kept;
    collectFiles(work.oldFolder(), "", kept);
    for (const std::string& name : kept) {
        work.makeParents(work.programFolder(), name);
        putInPlace(work, work.oldFile(name), work.target(name));
    }
    return !kept.empty();
}

InPlaceUpdate::Outcome InPlaceUpdate::resumeInterrupted(const std::string& programFolder) {
    const UpdateWorkFolder work(programFolder);
    if (!exists(work.path())) {
        return {Result::NothingToDo, "no update was under way in " + work.programFolder()};
    }
    const std::optional<std::string> text = files().readFile(work.journalPath());
    std::optional<UpdateJournal> journal = text ? UpdateJournal::parse(*text) : std::nullopt;
    if (!journal) {
        const bool restored = restoreKeptFiles(work);
        work.clear();
        return restored
                   ? Outcome{Result::RolledBack, "put back the files kept in " + work.oldFolder() +
                                                     ", whose journal could not be read"}
                   : Outcome{Result::NothingToDo,
                             "removed the work folder of an update that had not begun"};
    }
    switch (journal->stage) {
        case UpdateJournal::Stage::Staged:
            work.clear();
            return {Result::NothingToDo,
                    "discarded the unpacked files of the update to " + journal->version};
        case UpdateJournal::Stage::Swapping:
        case UpdateJournal::Stage::Checking:
            rollBack(work, *journal);
            return {Result::RolledBack, "undid the interrupted update to " + journal->version};
        case UpdateJournal::Stage::Done:
            work.clear();
            return {Result::Updated, "finished the clean-up of the update to " + journal->version};
        case UpdateJournal::Stage::RolledBack:
            work.clear();
            return {Result::RolledBack, "finished undoing the update to " + journal->version};
    }
    return {Result::NothingToDo, {}};
}

std::vector<int> InPlaceUpdate::waitForOtherPrograms(const std::string& programFolder,
                                                     const Limits& limits) {
    const auto deadline = std::chrono::steady_clock::now() + limits.othersWait;
    for (;;) {
        std::vector<int> others = processes().othersRunningFrom(programFolder);
        if (others.empty() || std::chrono::steady_clock::now() >= deadline) {
            return others;
        }
        std::this_thread::sleep_for(limits.othersPoll);
    }
}

}  // namespace quillfen
