#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "results/ResultTable.h"
#include "search/SearchInputs.h"
#include "ui/ControlView.h"
#include "ui/ResultListView.h"

namespace quillfen::test {

// A search window without pixels: it remembers what the presenter set, so tests can look. The
// count and progress lines and Find and Stop are the controls the window names so.
template <typename Control, typename View>
class FakeWindowView : public View {
public:
    struct ControlState {
        std::string text;
        std::string toolTip;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        std::vector<std::string> items;
        int selected = -1;
        CalendarDate date;
    };

    FakeWindowView(Control countLine, Control progressLine, Control find, Control stop)
        : countLine_(countLine), progressLine_(progressLine), find_(find), stop_(stop) {}

    void setTitle(const std::string& value) override { title = value; }
    void setText(Control control, const std::string& value) override {
        controls[control].text = value;
    }
    std::string text(Control control) const override { return state(control).text; }
    void setToolTip(Control control, const std::string& value) override {
        controls[control].toolTip = value;
    }
    void setChecked(Control control, bool value) override { controls[control].checked = value; }
    bool isChecked(Control control) const override { return state(control).checked; }
    void setEnabled(Control control, bool value) override { controls[control].enabled = value; }
    void setVisible(Control control, bool value) override { controls[control].visible = value; }
    void setFocus(Control control) override { focus = control; }
    void setItems(Control control, const std::vector<std::string>& values) override {
        controls[control].items = values;
    }
    void selectItem(Control control, int index) override { controls[control].selected = index; }
    int selectedItem(Control control) const override { return state(control).selected; }
    void moveItemToTop(Control control, int index) override {
        auto& items = controls[control].items;
        const std::string moved = items.at(static_cast<size_t>(index));
        items.erase(items.begin() + index);
        items.insert(items.begin(), moved);
        controls[control].text = moved;
    }

    void setStatusLine(StatusLine line, const std::string& value) override {
        controls[line == StatusLine::Count ? countLine_ : progressLine_].text = value;
    }
    void showSearchRunning(bool running) override {
        controls[stop_].visible = running;
        controls[find_].visible = !running;
    }
    void showResults(const ResultTable& value, const IconImageList&) override { table = &value; }
    void resultsReset() override { ++resets; }
    void resultsAppended(std::size_t, std::size_t count) override { appended += count; }
    void showSortArrow(std::optional<SortKeyList::Key> key) override { sortArrow = key; }
    ResultSelection& selection() override { return *fakeSelection; }
    platform::DesktopShell& shell() override { return *fakeShell; }
    void openConfiguration() override { ++configurationsOpened; }
    void openDuplicateSearch(const std::optional<std::string>& reference) override {
        duplicateSearches.push_back(reference);
    }
    void showMessage(const std::string& value) override { messages.push_back(value); }
    void showDetails(const std::string& value, const std::string& details) override {
        messages.push_back(value + "\n" + details);
    }
    bool chooseFolder(const std::string& dialogTitle, std::string& folder) override {
        folderTitle = dialogTitle;
        if (chosenFolder.empty()) {
            return false;
        }
        folder = chosenFolder;
        return true;
    }
    std::optional<SaveChoice> chooseSaveFile(const std::string& dialogTitle,
                                             const std::vector<FileFilter>& filters) override {
        saveTitle = dialogTitle;
        saveFilters = filters;
        return savePath.empty() ? std::nullopt : std::optional(SaveChoice{savePath, saveFilter});
    }
    // Kept, as a window's event queue keeps them, for the test's thread to run.
    void postToUserInterface(std::function<void()> task) override {
        const std::lock_guard lock(postedMutex);
        posted.push_back(std::move(task));
    }
    void startTicking() override { ticking = true; }
    void stopTicking() override { ticking = false; }

    const ControlState& state(Control control) const {
        static const ControlState none;
        const auto found = controls.find(control);
        return found == controls.end() ? none : found->second;
    }

    std::map<Control, ControlState> controls;
    std::optional<Control> focus;
    std::vector<std::string> messages;
    std::string chosenFolder;
    std::string folderTitle;
    std::string savePath;
    std::size_t saveFilter = 0;
    std::string saveTitle;
    std::vector<FileFilter> saveFilters;
    std::string title;
    const ResultTable* table = nullptr;
    int resets = 0;
    std::size_t appended = 0;
    std::optional<SortKeyList::Key> sortArrow;
    bool ticking = false;
    std::mutex postedMutex;
    std::vector<std::function<void()>> posted;
    ResultSelection* fakeSelection = nullptr;
    platform::DesktopShell* fakeShell = nullptr;
    int configurationsOpened = 0;
    std::vector<std::optional<std::string>> duplicateSearches;

private:
    Control countLine_;
    Control progressLine_;
    Control find_;
    Control stop_;
};

}  // namespace quillfen::test
