#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "ui/win32/DialogControls.h"

namespace quillfen::win32 {

// A window's ControlView answered from its dialog's controls. The window tells the resource id of
// each of its controls; a control without one (id 0) is passed over.
template <typename Control, typename View>
class Win32ControlView : public View {
public:
    void setText(Control control, const std::string& text) override {
        controls_.setText(idOf(control), text);
    }
    std::string text(Control control) const override { return controls_.text(idOf(control)); }
    void setToolTip(Control control, const std::string& text) override {
        controls_.setToolTip(idOf(control), text);
    }
    void setChecked(Control control, bool checked) override {
        controls_.setChecked(idOf(control), checked);
    }
    bool isChecked(Control control) const override { return controls_.isChecked(idOf(control)); }
    void setEnabled(Control control, bool enabled) override {
        controls_.setEnabled(idOf(control), enabled);
    }
    void setVisible(Control control, bool visible) override {
        controls_.setVisible(idOf(control), visible);
    }
    void setFocus(Control control) override { controls_.setFocus(idOf(control)); }
    void setItems(Control control, const std::vector<std::string>& items) override {
        controls_.setItems(idOf(control), items);
    }
    void selectItem(Control control, int index) override {
        controls_.selectItem(idOf(control), index);
    }
    int selectedItem(Control control) const override {
        return controls_.selectedItem(idOf(control));
    }
    void moveItemToTop(Control control, int index) override {
        controls_.moveItemToTop(idOf(control), index);
    }

protected:
    // The resource id of the control in this window's dialog template.
    virtual int idOf(Control control) const = 0;

    // The id beside the control in a window's table of its controls; 0 when the table lacks it.
    template <std::size_t Count>
    static int idIn(const std::array<std::pair<Control, int>, Count>& table, Control control) {
        for (const auto& [named, id] : table) {
            if (named == control) {
                return id;
            }
        }
        return 0;
    }

    DialogControls controls_;
};

}  // namespace quillfen::win32
