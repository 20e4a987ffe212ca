#pragma once

#include <string>

#include "ui/DuplicateWindowView.h"
#include "ui/ResultListPresenter.h"
#include "ui/SearchHistory.h"

namespace quillfen {

// Every rule of the "Document Duplication Search" window that is not drawing: its texts, the
// checks of Find, the options, the shared look-in history and the search. Its list sorts as the
// search window's does, but cannot start another duplicate search.
class DuplicateWindowPresenter {
public:
    // `referencePath` is the file the window opens on, or empty.
    DuplicateWindowPresenter(DuplicateWindowView& view, std::string referencePath);
    ~DuplicateWindowPresenter();
    DuplicateWindowPresenter(const DuplicateWindowPresenter&) = delete;
    DuplicateWindowPresenter& operator=(const DuplicateWindowPresenter&) = delete;

    void open();
    void onBrowseFile();
    void onBrowseLookIn();
    void onFind();
    void onStop() { list_.onStop(); }
    void onClose() { list_.onClose(); }

    ResultListPresenter& resultList() { return list_; }
    bool searching() const { return list_.searching(); }

private:
    DuplicateWindowView& view_;
    std::string referencePath_;
    SearchHistory history_;
    // "*" when the window put it into Look in itself rather than taking it from the shared list:
    // searched as it stands, but not saved into that list, where it would become the main
    // window's look-in too.
    std::string ownDefaultLookIn_;
    ResultListPresenter list_;
};

}  // namespace quillfen
