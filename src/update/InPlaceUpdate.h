#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace quillfen {

class UpdateWorkFolder;
struct UpdateJournal;

// Replaces the files of a portable copy with those of an update archive, inside the program
// folder and by renames only, so that a program file is old or new at every moment and a kill at
// any point leaves programs that start. The old files are kept until the new command-line
// program has answered with the new version; if it does not, they come back. The steps are
// written to a journal in the work folder first, from which the next run finishes or undoes an
// update that was killed. Files the archive does not hold, and language tables and settings
// files ("*.ini") the folder already has, stay as they are.
class InPlaceUpdate {
public:
    enum class Result { Updated, RolledBack, Refused, NothingToDo };

    struct Outcome {
        Result result = Result::NothingToDo;
        // What happened, with the paths and programs concerned, for the log.
        std::string reason;
    };

    struct Limits {
        // How long the update waits for other programs of the folder to end before it leaves the
        // staged files to the next run.
        std::chrono::milliseconds othersWait = std::chrono::minutes(10);
        std::chrono::milliseconds othersPoll = std::chrono::milliseconds(250);
        // How long the new program may take to tell its version.
        std::chrono::milliseconds checkTime = std::chrono::seconds(20);
    };

    // Finishes or undoes an earlier update first; refuses when its work folder cannot be cleared.
    // Waits while other processes run programs of the folder; when they still run after
    // `othersWait`, the update is refused and its unpacked files are left for the next run to
    // discard.
    static Outcome apply(const std::string& archivePath, const std::string& programFolder,
                         const std::string& newVersion);
    static Outcome apply(const std::string& archivePath, const std::string& programFolder,
                         const std::string& newVersion, const Limits& limits);
    // After a kill: undoes an update that had begun to replace files and had not passed its
    // check, finishes the clean-up of one that had, and removes what an earlier update left.
    static Outcome resumeInterrupted(const std::string& programFolder);
    // Waits, up to `othersWait`, until no other process runs a program of the folder; the
    // processes that still do then.
    static std::vector<int> waitForOtherPrograms(const std::string& programFolder,
                                                 const Limits& limits);

private:
    static Outcome replaceAndCheck(const UpdateWorkFolder& work, UpdateJournal& journal,
                                   const Limits& limits);
    static std::string swap(const UpdateWorkFolder& work, const UpdateJournal& journal);
    static std::string check(const UpdateWorkFolder& work, const std::string& version,
                             const Limits& limits);
    static void rollBack(const UpdateWorkFolder& work, UpdateJournal& journal);
    static bool restoreKeptFiles(const UpdateWorkFolder& work);
};

}  // namespace quillfen
