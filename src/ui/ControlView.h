#pragma once

#include <string>
#include <vector>

namespace quillfen {

// The controls of a window as its presenter addresses them, by the window's own control names.
template <typename Control>
class ControlView {
public:
    virtual ~ControlView() = default;

    // The caption of a label, group, button or check box; the text of an edit or combo box.
    virtual void setText(Control control, const std::string& text) = 0;
    virtual std::string text(Control control) const = 0;
    virtual void setToolTip(Control control, const std::string& text) = 0;
    virtual void setChecked(Control control, bool checked) = 0;
    virtual bool isChecked(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual void setFocus(Control control) = 0;

    // Drop-down lists and the history lists of the combo boxes.
    virtual void setItems(Control control, const std::vector<std::string>& items) = 0;
    virtual void selectItem(Control control, int index) = 0;
    virtual int selectedItem(Control control) const = 0;
    // Moves a history item to the top of its combo box's list and shows it as the box's text.
    virtual void moveItemToTop(Control control, int index) = 0;
};

}  // namespace quillfen
