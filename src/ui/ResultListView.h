#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/DesktopShell.h"
#include "results/ResultSelection.h"
#include "results/SortKeyList.h"

namespace quillfen {

class IconImageList;
class ResultTable;

enum class StatusLine { Progress, Count };

// One entry of a save dialog's list of file types: its label and its pattern, such as "*.csv".
struct FileFilter {
    std::string label;
    std::string pattern;
};

// The file a save dialog returned and the entry of its type list chosen with it.
struct SaveChoice {
    std::string path;
    std::size_t filter = 0;
};

// What a search window with a result list does for the search and the result actions, whatever
// else it holds. Every call comes on the user-interface thread; postToUserInterface is the one
// way in from other threads.
class ResultListView {
public:
    virtual ~ResultListView() = default;

    virtual void setStatusLine(StatusLine line, const std::string& text) = 0;
    // Shows Stop in place of Find while a search runs, and Find again after it.
    virtual void showSearchRunning(bool running) = 0;

    // The result list shows the table and its icons; these tell it what changed.
    virtual void showResults(const ResultTable& table, const IconImageList& icons) = 0;
    virtual void resultsReset() = 0;
    virtual void resultsAppended(std::size_t first, std::size_t count) = 0;
    // The header's arrow: on the column that orders the rows, or on none while they stand in the
    // order they were found.
    virtual void showSortArrow(std::optional<SortKeyList::Key> key) = 0;

    // The list's rows and selection, and the desktop that the actions open files with.
    virtual ResultSelection& selection() = 0;
    virtual platform::DesktopShell& shell() = 0;
    // The windows that two actions open.
    virtual void openConfiguration() = 0;
    virtual void openDuplicateSearch(const std::optional<std::string>& referencePath) = 0;

    // A message the user must acknowledge, captioned with the program's name.
    virtual void showMessage(const std::string& text) = 0;
    // The same with a longer text, one item a line, that the user can scroll through.
    virtual void showDetails(const std::string& text, const std::string& details) = 0;
    // Lets the user pick a folder; false when cancelled.
    virtual bool chooseFolder(const std::string& title, std::string& folder) = 0;
    // Lets the user name a file to write, the toolkit's save dialog asking before it replaces
    // one; nothing when cancelled.
    virtual std::optional<SaveChoice> chooseSaveFile(const std::string& title,
                                                     const std::vector<FileFilter>& filters) = 0;

    virtual void postToUserInterface(std::function<void()> task) = 0;
    // While a search runs, the view calls the presenter's tick a few dozen times a second so
    // that found rows arrive in batches.
    virtual void startTicking() = 0;
    virtual void stopTicking() = 0;
};

}  // namespace quillfen
