#pragma once

#include <map>
#include <string>
#include <vector>

#include "results/ResultTable.h"
#include "ui/MainWindowView.h"

namespace quillfen::test {

// A search window without pixels: it remembers what the presenter set, so tests can look.
class FakeMainWindowView : public MainWindowView {
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

    void setTitle(const std::string& value) override { title = value; }
    void setText(MainControl control, const std::string& value) override {
        controls[control].text = value;
    }
    std::string text(MainControl control) const override { return state(control).text; }
    void setToolTip(MainControl control, const std::string& value) override {
        controls[control].toolTip = value;
    }
    void setChecked(MainControl control, bool value) override { controls[control].checked = value; }
    bool isChecked(MainControl control) const override { return state(control).checked; }
    void setEnabled(MainControl control, bool value) override { controls[control].enabled = value; }
    void setVisible(MainControl control, bool value) override { controls[control].visible = value; }
    void setFocus(MainControl control) override { focus = control; }
    void setItems(MainControl control, const std::vector<std::string>& values) override {
        controls[control].items = values;
    }
    void selectItem(MainControl control, int index) override { controls[control].selected = index; }
    int selectedItem(MainControl control) const override { return state(control).selected; }
    void moveItemToTop(MainControl control, int index) override {
        auto& items = controls[control].items;
        const std::string moved = items.at(static_cast<size_t>(index));
        items.erase(items.begin() + index);
        items.insert(items.begin(), moved);
        controls[control].text = moved;
    }
    CalendarDate date(MainControl control) const override { return state(control).date; }
    void setDate(MainControl control, const CalendarDate& value) override {
        controls[control].date = value;
    }
    void showMessage(const std::string& value) override { messages.push_back(value); }
    bool chooseFolder(const std::string& dialogTitle, std::string& folder) override {
        folderTitle = dialogTitle;
        if (chosenFolder.empty()) {
            return false;
        }
        folder = chosenFolder;
        return true;
    }
    void setStatusLine(StatusLine line, const std::string& value) override {
        controls[line == StatusLine::Count ? MainControl::CountLine : MainControl::ProgressLine]
            .text = value;
    }
    void showSearchRunning(bool running) override {
        controls[MainControl::StopButton].visible = running;
        controls[MainControl::FindButton].visible = !running;
    }
    void showResults(const ResultTable& value, const IconImageList&) override { table = &value; }
    void resultsReset() override { ++resets; }
    void resultsAppended(std::size_t, std::size_t count) override { appended += count; }
    ResultSelection& selection() override { return *fakeSelection; }
    platform::DesktopShell& shell() override { return *fakeShell; }
    void openConfiguration() override { ++configurationsOpened; }
    void openDuplicateSearch(const std::optional<std::string>& reference) override {
        duplicateSearches.push_back(reference);
    }
    void postToUserInterface(std::function<void()> task) override { task(); }
    void startTicking() override { ticking = true; }
    void stopTicking() override { ticking = false; }

    const ControlState& state(MainControl control) const {
        static const ControlState none;
        const auto found = controls.find(control);
        return found == controls.end() ? none : found->second;
    }

    std::string title;
    std::map<MainControl, ControlState> controls;
    MainControl focus = MainControl::ResultList;
    std::vector<std::string> messages;
    std::string chosenFolder;
    std::string folderTitle;
    const ResultTable* table = nullptr;
    int resets = 0;
    std::size_t appended = 0;
    bool ticking = false;
    ResultSelection* fakeSelection = nullptr;
    platform::DesktopShell* fakeShell = nullptr;
    int configurationsOpened = 0;
    std::vector<std::optional<std::string>> duplicateSearches;
};

}  // namespace quillfen::test
