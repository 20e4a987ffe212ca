#pragma once

#include "support/FakeWindowView.h"
#include "ui/MainWindowView.h"

namespace quillfen::test {

class FakeMainWindowView : public FakeWindowView<MainControl, MainWindowView> {
public:
    FakeMainWindowView()
        : FakeWindowView(MainControl::CountLine, MainControl::ProgressLine, MainControl::FindButton,
                         MainControl::StopButton) {}

    CalendarDate date(MainControl control) const override { return state(control).date; }
    void setDate(MainControl control, const CalendarDate& value) override {
        controls[control].date = value;
    }
};

}  // namespace quillfen::test
