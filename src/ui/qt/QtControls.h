#pragma once

#include <QWidget>
#include <map>
#include <string>
#include <vector>

class QComboBox;

namespace quillfen::qt {

// The generic side of a window's controls: texts, checks, visibility and lists by control name,
// whatever widget stands behind the name.
class QtControls {
public:
    void add(int control, QWidget* widget) { widgets_[control] = widget; }
    QWidget* widget(int control) const;
    QComboBox* combo(int control) const;

    void setText(int control, const std::string& text);
    std::string text(int control) const;
    void setToolTip(int control, const std::string& text);
    void setChecked(int control, bool checked);
    bool isChecked(int control) const;
    void setEnabled(int control, bool enabled);
    void setVisible(int control, bool visible);
    void setFocus(int control);
    void setItems(int control, const std::vector<std::string>& items);
    void selectItem(int control, int index);
    int selectedItem(int control) const;
    void moveItemToTop(int control, int index);

    // One place for controls that take turns there, as Find and Stop do: it is as large as the
    // largest of them whichever is shown, so nothing around it moves when they swap.
    static QWidget* sharedPlace(QWidget* parent, const std::vector<QWidget*>& controls);

    // An editable drop-down whose list holds earlier inputs. What the user types is taken exactly
    // as typed: no earlier entry that begins with it is ever filled in.
    static void makeHistoryBox(QComboBox& box);

    // Texts are bytes in the system encoding; names that are not valid UTF-8 still show, with
    // their odd bytes replaced.
    static QString fromBytes(const std::string& text);
    static std::string toBytes(const QString& text);

private:
    std::map<int, QWidget*> widgets_;
};

}  // namespace quillfen::qt
