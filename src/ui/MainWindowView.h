#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/DesktopShell.h"
#include "results/ResultSelection.h"
#include "search/SearchInputs.h"
#include "ui/MainControl.h"

namespace quillfen {

class IconImageList;
class ResultTable;

// What the search window's presenter asks of a window toolkit. Every call comes on the
// user-interface thread; postToUserInterface is the one way in from other threads.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    virtual void setTitle(const std::string& title) = 0;
    // The caption of a label, group, button or check box; the text of an edit or combo box.
    virtual void setText(MainControl control, const std::string& text) = 0;
    virtual std::string text(MainControl control) const = 0;
    virtual void setToolTip(MainControl control, const std::string& text) = 0;
    virtual void setChecked(MainControl control, bool checked) = 0;
    virtual bool isChecked(MainControl control) const = 0;
    virtual void setEnabled(MainControl control, bool enabled) = 0;
    virtual void setVisible(MainControl control, bool visible) = 0;
    virtual void setFocus(MainControl control) = 0;

    // Drop-down lists and the history lists of the combo boxes.
    virtual void setItems(MainControl control, const std::vector<std::string>& items) = 0;
    virtual void selectItem(MainControl control, int index) = 0;
    virtual int selectedItem(MainControl control) const = 0;
    // Moves a history item to the top of its combo box's list and shows it as the box's text.
    virtual void moveItemToTop(MainControl control, int index) = 0;

    virtual CalendarDate date(MainControl control) const = 0;
    virtual void setDate(MainControl control, const CalendarDate& date) = 0;

    // A message the user must acknowledge, captioned with the program's name.
    virtual void showMessage(const std::string& text) = 0;
    // Lets the user pick a folder; false when cancelled.
    virtual bool chooseFolder(const std::string& title, std::string& folder) = 0;

    // The result list shows the table; these tell it what changed.
    virtual void showResults(const ResultTable& table, const IconImageList& icons) = 0;
    virtual void resultsReset() = 0;
    virtual void resultsAppended(std::size_t first, std::size_t count) = 0;

    // The result list's rows and selection, and the desktop that the actions open files with.
    virtual ResultSelection& selection() = 0;
    virtual platform::DesktopShell& shell() = 0;
    // The windows that two actions open; a view may not have them yet.
    virtual void openConfiguration() = 0;
    virtual void openDuplicateSearch(const std::optional<std::string>& referencePath) = 0;

    // Runs the task on the user-interface thread, in the order posted.
    virtual void postToUserInterface(std::function<void()> task) = 0;
    // While a search runs, the view calls the presenter's onSearchTick a few dozen times a
    // second so that found rows arrive in batches.
    virtual void startTicking() = 0;
    virtual void stopTicking() = 0;
};

}  // namespace quillfen
