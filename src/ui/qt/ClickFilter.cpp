#include "ui/qt/ClickFilter.h"

#include <QMouseEvent>
#include <QWidget>
#include <utility>

namespace quillfen::qt {

ClickFilter::ClickFilter(QWidget* watched, std::function<void()> onClick)
    : QObject(watched), onClick_(std::move(onClick)) {
    watched->installEventFilter(this);
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        onClick_();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillfen::qt
