#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

namespace quillfen::win32 {

// The controls of one dialog, addressed by their resource ids, with texts in UTF-8. A control
// that the dialog lacks is passed over by every call.
class DialogControls {
public:
    // How long hints stay, wait and follow each other, and how wide they wrap, in ms and pixels.
    struct HintTiming {
        int visibleMs = 5000;
        int initialMs = 50;
        int reshowMs = 1000;
        int maxWidth = 300;
    };

    explicit DialogControls(HWND dialog = nullptr) : dialog_(dialog) {}

    void attach(HWND dialog) { dialog_ = dialog; }
    HWND dialog() const { return dialog_; }
    HWND control(int id) const;

    // The caption of a static, group or button; the text of an edit or a combo box's edit part.
    void setText(int id, const std::string& text);
    std::string text(int id) const;
    void setChecked(int id, bool checked);
    bool isChecked(int id) const;
    void setEnabled(int id, bool enabled);
    void setVisible(int id, bool visible);
    void setFocus(int id);

    // Combo boxes: the list is replaced and an edit part keeps its text.
    void setItems(int id, const std::vector<std::string>& items);
    void selectItem(int id, int index);
    int selectedItem(int id) const;
    void moveItemToTop(int id, int index);

    // The first hint creates the dialog's tooltip control; later calls replace a control's hint.
    void setHintTiming(const HintTiming& timing) { timing_ = timing; }
    void setToolTip(int id, const std::string& text);

private:
    bool isComboBox(HWND window) const;
    HWND toolTips();
    void addHint(HWND tool, const std::wstring& text);

    HWND dialog_;
    HWND toolTips_ = nullptr;
    HintTiming timing_;
};

}  // namespace quillfen::win32
