#include "ui/tool_cursors.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

// Draws `shape` black on white-outlined transparency, so the cursor shows on
// any background.
QPixmap Draw(const QPainterPath& shape, const QPainterPath& detail) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
    painter.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(shape);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(detail);
    return pixmap;
}

QCursor MakePen() {
    // A pencil lying from the top right to its tip at the bottom left corner.
    QPainterPath body;
    body.moveTo(1, 30);
    body.lineTo(4, 22);
    body.lineTo(22, 4);
    body.lineTo(27, 9);
    body.lineTo(9, 27);
    body.closeSubpath();
    QPainterPath detail;
    detail.moveTo(4, 22);
    detail.lineTo(9, 27);
    detail.moveTo(19, 7);
    detail.lineTo(24, 12);
    QPainterPath tip;
    tip.moveTo(1, 30);
    tip.lineTo(2.5, 26);
    tip.lineTo(5, 28.5);
    tip.closeSubpath();
    detail.addPath(tip);
    return QCursor(Draw(body, detail), 1, 30);
}

QCursor MakePicker() {
    // An eyedropper: bulb at the top right, the glass tube down to the tip.
    QPainterPath body;
    body.addEllipse(QRectF(21, 2, 9, 9));
    body.moveTo(19, 9);
    body.lineTo(23, 13);
    body.lineTo(7, 29);
    body.lineTo(2, 30);
    body.lineTo(3, 25);
    body.closeSubpath();
    QPainterPath detail;
    detail.moveTo(17, 7);
    detail.lineTo(25, 15);
    return QCursor(Draw(body, detail), 2, 30);
}

}  // namespace

const QCursor& PenCursor() {
    static const QCursor cursor = MakePen();
    return cursor;
}

const QCursor& PickerCursor() {
    static const QCursor cursor = MakePicker();
    return cursor;
}

WaitCursorScope::WaitCursorScope() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursorScope::~WaitCursorScope() {
    QApplication::restoreOverrideCursor();
}
