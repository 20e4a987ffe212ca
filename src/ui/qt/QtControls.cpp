#include "ui/qt/QtControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedLayout>

namespace quillfen::qt {

QString QtControls::fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string QtControls::toBytes(const QString& text) {
    return text.toStdString();
}

QWidget* QtControls::widget(int control) const {
    const auto found = widgets_.find(control);
    return found == widgets_.end() ? nullptr : found->second;
}

QComboBox* QtControls::combo(int control) const {
    return qobject_cast<QComboBox*>(widget(control));
}

QWidget* QtControls::sharedPlace(QWidget* parent, const std::vector<QWidget*>& controls) {
    auto* place = new QWidget(parent);
    auto* stack = new QStackedLayout(place);
    stack->setContentsMargins(0, 0, 0, 0);
    // Every control keeps the visibility its window gives it.
    stack->setStackingMode(QStackedLayout::StackAll);
    for (QWidget* control : controls) {
        const bool hidden = control->isHidden();
        stack->addWidget(control);
        control->setHidden(hidden);
    }
    return place;
}

void QtControls::makeHistoryBox(QComboBox& box) {
    box.setEditable(true);
    box.setInsertPolicy(QComboBox::NoInsert);
    box.setCompleter(nullptr);
}

void QtControls::setText(int control, const std::string& value) {
    QWidget* target = widget(control);
    const QString text = fromBytes(value);
    if (auto* box = qobject_cast<QComboBox*>(target); box != nullptr && box->isEditable()) {
        box->setEditText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
        group->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        edit->setText(text);
    }
}

std::string QtControls::text(int control) const {
    QWidget* target = widget(control);
    if (auto* box = qobject_cast<QComboBox*>(target)) {
        return toBytes(box->currentText());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(target)) {
        return toBytes(edit->text());
    }
    if (auto* label = qobject_cast<QLabel*>(target)) {
        return toBytes(label->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(target)) {
        return toBytes(group->title());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        return toBytes(button->text());
    }
    return {};
}

void QtControls::setToolTip(int control, const std::string& text) {
    if (QWidget* target = widget(control)) {
        QString tip = fromBytes(text);
        tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        target->setToolTip(tip);
    }
}

void QtControls::setChecked(int control, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget(control))) {
        button->setChecked(checked);
    }
}

bool QtControls::isChecked(int control) const {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    return button != nullptr && button->isChecked();
}

void QtControls::setEnabled(int control, bool enabled) {
    if (QWidget* target = widget(control)) {
        target->setEnabled(enabled);
    }
}

void QtControls::setVisible(int control, bool visible) {
    if (QWidget* target = widget(control)) {
        target->setVisible(visible);
    }
}

void QtControls::setFocus(int control) {
    if (QWidget* target = widget(control)) {
        target->setFocus();
    }
}

void QtControls::setItems(int control, const std::vector<std::string>& items) {
    if (QComboBox* box = combo(control)) {
        const QString editText = box->currentText();
        box->clear();
        for (const std::string& item : items) {
            box->addItem(fromBytes(item));
        }
        if (box->isEditable()) {
            box->setEditText(editText);
        }
    }
}

void QtControls::selectItem(int control, int index) {
    if (QComboBox* box = combo(control)) {
        box->setCurrentIndex(index);
    }
}

int QtControls::selectedItem(int control) const {
    const QComboBox* box = combo(control);
    return box == nullptr ? -1 : box->currentIndex();
}

void QtControls::moveItemToTop(int control, int index) {
    if (QComboBox* box = combo(control); box != nullptr && index < box->count()) {
        const QString moved = box->itemText(index);
        box->removeItem(index);
        box->insertItem(0, moved);
        box->setEditText(moved);
    }
}

}  // namespace quillfen::qt
