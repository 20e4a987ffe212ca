#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace quillfen::qt {

// Makes a widget that has no click of its own, such as a label, answer a left click. It lives as
// long as the widget does.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* watched, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onClick_;
};

}  // namespace quillfen::qt
