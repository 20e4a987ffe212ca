#pragma once

#include <string>
#include <vector>

#include "ui/qt/QtControls.h"

namespace quillfen::qt {

// A window's ControlView answered from its named Qt controls, for any of the windows' control
// enumerations.
template <typename Control, typename View>
class QtControlView : public View {
public:
    void setText(Control control, const std::string& text) override {
        controls_.setText(key(control), text);
    }
    std::string text(Control control) const override { return controls_.text(key(control)); }
    void setToolTip(Control control, const std::string& text) override {
        controls_.setToolTip(key(control), text);
    }
    void setChecked(Control control, bool checked) override {
        controls_.setChecked(key(control), checked);
    }
    bool isChecked(Control control) const override { return controls_.isChecked(key(control)); }
    void setEnabled(Control control, bool enabled) override {
        controls_.setEnabled(key(control), enabled);
    }
    void setVisible(Control control, bool visible) override {
        controls_.setVisible(key(control), visible);
    }
    void setFocus(Control control) override { controls_.setFocus(key(control)); }
    void setItems(Control control, const std::vector<std::string>& items) override {
        controls_.setItems(key(control), items);
    }
    void selectItem(Control control, int index) override {
        controls_.selectItem(key(control), index);
    }
    int selectedItem(Control control) const override {
        return controls_.selectedItem(key(control));
    }
    void moveItemToTop(Control control, int index) override {
        controls_.moveItemToTop(key(control), index);
    }

protected:
    static int key(Control control) { return static_cast<int>(control); }
    void add(Control control, QWidget* widget) { controls_.add(key(control), widget); }
    QWidget* widget(Control control) const { return controls_.widget(key(control)); }

    QtControls controls_;
};

}  // namespace quillfen::qt
