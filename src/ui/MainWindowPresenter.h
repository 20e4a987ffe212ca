#pragma once

#include <memory>
#include <optional>
#include <string>

#include "results/ContextMenuItem.h"
#include "results/ResultAction.h"
#include "search/SearchInputs.h"
#include "ui/MainWindowView.h"
#include "ui/ResultListPresenter.h"
#include "ui/SearchHistory.h"

namespace quillfen {

// Every rule of the search window that is not drawing: the opening sequence, Text and Hex
// modes, the date and size presets, Find's checks, Find and Stop with the status lines, the
// history, the result rows and their sorting. It drives any toolkit through MainWindowView.
class MainWindowPresenter {
public:
    // `lookInArgument` is the folder the program was started on, or empty.
    MainWindowPresenter(MainWindowView& view, std::string lookInArgument);
    ~MainWindowPresenter();
    MainWindowPresenter(const MainWindowPresenter&) = delete;
    MainWindowPresenter& operator=(const MainWindowPresenter&) = delete;

    void open();

    void onTextMode();
    void onHexMode();
    void onDateOptionChanged();
    void onSizeOptionChanged();
    void onBrowseLookIn();
    void onFind();
    void onStop();
    void onSearchTick();
    void onHeaderClicked(int column);
    void onTranslationBanner();
    // The context menu for a right click on the list (on a row or below the rows).
    std::vector<ContextMenuItem> contextMenu(bool clickOnRow) const;
    void onAction(ResultAction action);
    // A key pressed in the list with Ctrl held.
    void onControlKey(char letter);
    void onDoubleClick(std::optional<std::size_t> row);
    // The window is closing: a running search is stopped and waited for.
    void onClose();

    ResultListPresenter& resultList() { return list_; }
    bool searching() const { return list_.searching(); }
    const ResultTable& results() const { return list_.table(); }
    std::int64_t foundCount() const { return list_.foundCount(); }

    // The system's language ids for which the program ships its own texts, so the invitation to
    // translate is not shown.
    static bool languageNeedsNoTranslation(int languageId);

private:
    SearchInputs readInputs() const;
    void fillOptionLists();
    void announceAvailableVersion();
    void loadHistory();
    void setToolTips();
    void saveHistory(const SearchInputs& inputs);
    void startSearch(SearchInputs inputs);

    MainWindowView& view_;
    std::string lookInArgument_;
    SearchHistory history_;
    ResultListPresenter list_;
};

}  // namespace quillfen
