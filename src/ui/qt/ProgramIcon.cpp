#include "ui/qt/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillfen::qt {

namespace {

QPixmap drawn(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // The quill: a feather from the lower left to the upper right, behind the glass.
    QPainterPath feather;
    feather.moveTo(8, 58);
    feather.cubicTo(20, 40, 38, 14, 60, 4);
    feather.cubicTo(52, 22, 40, 40, 14, 56);
    feather.closeSubpath();
    painter.setPen(QPen(QColor(0x2e, 0x5e, 0x4e), 1.5));
    painter.setBrush(QColor(0x7f, 0xc8, 0xa9));
    painter.drawPath(feather);
    painter.setPen(QPen(QColor(0x2e, 0x5e, 0x4e), 2));
    painter.drawLine(QPointF(8, 58), QPointF(46, 18));

    // The magnifying glass.
    painter.setPen(QPen(QColor(0x3a, 0x3f, 0x58), 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(40, 40), QPointF(56, 56));
    painter.setPen(QPen(QColor(0x3a, 0x3f, 0x58), 4));
    painter.setBrush(QColor(0xd8, 0xe8, 0xf8, 200));
    painter.drawEllipse(QPointF(28, 28), 15, 15);
    return pixmap;
}

}  // namespace

QIcon ProgramIcon::icon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(drawn(size));
    }
    return icon;
}

}  // namespace quillfen::qt
