#include "ui/color_box.h"

#include <QApplication>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CColorBoxWnd::CColorBoxWnd(QWidget* parent)
    : QWidget(parent), chooser_(&CColorBoxWnd::ChooseWithColorDialog) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted; nothing behind it needs erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(color_.name());
}

void CColorBoxWnd::SetColor(const QColor& color) {
    if (color_ == color) return;
    color_ = color;
    setAccessibleDescription(color_.name());
    update();
}

void CColorBoxWnd::SetColorChooser(ColorChooser chooser) {
    chooser_ = chooser ? std::move(chooser) : ColorChooser(&CColorBoxWnd::ChooseWithColorDialog);
}

std::optional<QColor> CColorBoxWnd::ChooseWithColorDialog(QWidget* parent, const QColor& initial) {
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedColor();
}

void CColorBoxWnd::Choose() {
    if (!isEnabled()) return;
    const std::optional<QColor> chosen = chooser_(this, color_);
    if (!chosen || !chosen->isValid()) return;
    color_ = *chosen;
    setAccessibleDescription(color_.name());
    update();
    emit ColorChosen(color_);
}

void CColorBoxWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    if (isEnabled()) {
        painter.fillRect(all, Qt::black);
        // Keyboard focus shows on the inner frame, so the colour stays whole.
        painter.fillRect(all.adjusted(1, 1, -1, -1),
                         hasFocus() ? palette().color(QPalette::Highlight) : QColor(Qt::white));
        painter.fillRect(all.adjusted(2, 2, -2, -2), color_);
    } else {
        const QPalette pal = QApplication::palette();
        painter.fillRect(all, pal.color(QPalette::Active, QPalette::Dark));
        painter.fillRect(all.adjusted(1, 1, -1, -1), pal.color(QPalette::Active, QPalette::Button));
    }
}

void CColorBoxWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        Choose();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CColorBoxWnd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        Choose();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CColorBoxWnd::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CColorBoxWnd::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CColorBoxWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}
