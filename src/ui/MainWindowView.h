#pragma once

#include <string>

#include "search/SearchInputs.h"
#include "ui/ControlView.h"
#include "ui/MainControl.h"
#include "ui/ResultListView.h"

namespace quillfen {

// What the search window's presenter asks of a window toolkit.
class MainWindowView : public ControlView<MainControl>, public ResultListView {
public:
    virtual void setTitle(const std::string& title) = 0;
    virtual CalendarDate date(MainControl control) const = 0;
    virtual void setDate(MainControl control, const CalendarDate& date) = 0;
};

}  // namespace quillfen
