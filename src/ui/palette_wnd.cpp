#include "ui/palette_wnd.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <vector>

namespace {

QColor ColorOf(const RgbQuad& q) {
    return QColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// One entry of the grid for assistive technology.
class PaletteEntryAccessible : public QAccessibleInterface {
public:
    PaletteEntryAccessible(CPaletteWnd* window, int index) : window_(window), index_(index) {}
    bool isValid() const override { return window_ && index_ < window_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(window_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return QStringLiteral("Index: %1").arg(index_);
        if (t == QAccessible::Description)
            return CPaletteWnd::TipText(index_, window_->Colors()[index_]);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect r = window_->CellRect(index_);
        return QRect(window_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override { return {}; }

private:
    CPaletteWnd* window_;
    int index_;
};

class PaletteAccessible : public QAccessibleWidget {
public:
    explicit PaletteAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Table) {}
    CPaletteWnd* Palette() const { return static_cast<CPaletteWnd*>(widget()); }
    int childCount() const override { return Palette()->Count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= Palette()->Count()) return nullptr;
        // One interface per entry, made on first use; the registry owns it.
        if (static_cast<std::size_t>(index) >= ids_.size())
            ids_.resize(static_cast<std::size_t>(index) + 1, 0);
        QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new PaletteEntryAccessible(Palette(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < ids_.size(); ++i)
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == child)
                return static_cast<int>(i);
        return -1;
    }

private:
    mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* PaletteFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CPaletteWnd") && object && object->isWidgetType())
        return new PaletteAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

CPaletteWnd::CPaletteWnd(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(PaletteFactory);
        return true;
    }();
    (void)installed;
    setObjectName(QStringLiteral("Iconmill_Palette_ClsWnd"));
    setAccessibleName(QStringLiteral("Palette"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBar();
}

void CPaletteWnd::SetColors(const RgbQuad* table, int count) {
    table_ = count > 0 ? table : nullptr;
    count_ = table_ ? count : 0;
    hover_ = -1;
    UpdateScrollBar();
    viewport()->update();
}

void CPaletteWnd::SetEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

int CPaletteWnd::Columns() const {
    return std::max(0, (viewport()->width() - kMargin) / kPitch);
}

void CPaletteWnd::UpdateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const int columns = Columns();
    const int rows = columns > 0 ? count_ / columns : 0;
    const int page = std::max(1, (viewport()->height() - kMargin) / kPitch);
    bar->setPageStep(page);
    bar->setRange(0, std::max(0, rows - page + (columns > 0 && count_ % columns ? 1 : 0)));
    bar->setEnabled(bar->maximum() > 0);
}

int CPaletteWnd::IndexAt(const QPoint& p) const {
    const int columns = Columns();
    if (columns <= 0 || p.x() <= 2 || p.y() <= 2 || p.x() % kPitch <= 2) return -1;
    const int column = p.x() / kPitch;
    if (column >= columns) return -1;
    const int index = (verticalScrollBar()->value() + p.y() / kPitch) * columns + column;
    return index < count_ ? index : -1;
}

QRect CPaletteWnd::CellRect(int index) const {
    const int columns = std::max(1, Columns());
    const int row = index / columns - verticalScrollBar()->value();
    return QRect(kMargin + (index % columns) * kPitch, kMargin + row * kPitch, kCell, kCell);
}

QString CPaletteWnd::TipText(int index, const RgbQuad& q) {
    return QString::asprintf("Index: %d\nRGB: %u, %u, %u", index, unsigned{q.rgbRed},
                             unsigned{q.rgbGreen}, unsigned{q.rgbBlue});
}

void CPaletteWnd::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.fillRect(
        viewport()->rect(),
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Button));
    if (count_ == 0) {
        painter.setPen(pal.color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(viewport()->rect(), Qt::AlignCenter, emptyText_);
        return;
    }
    for (int i = 0; i < count_; ++i) {
        const QRect cell = CellRect(i);
        if (cell.bottom() < 0) continue;
        if (cell.top() > viewport()->height()) break;
        if (i == hover_) {
            painter.fillRect(cell.adjusted(-2, -2, 2, 2), pal.color(QPalette::Highlight));
            painter.fillRect(cell, pal.color(QPalette::Light));
        } else {
            painter.fillRect(cell, pal.color(QPalette::Dark));
        }
        painter.fillRect(cell.adjusted(1, 1, -1, -1), ColorOf(table_[i]));
    }
}

void CPaletteWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void CPaletteWnd::scrollContentsBy(int, int) {
    viewport()->update();
}

void CPaletteWnd::SetHover(int index, const QPoint& global) {
    if (index == hover_) return;
    hover_ = index;
    if (index >= 0)
        QToolTip::showText(global + QPoint(15, 15), TipText(index, table_[index]), this);
    else
        QToolTip::hideText();
    viewport()->update();
}

void CPaletteWnd::mouseMoveEvent(QMouseEvent* event) {
    SetHover(IndexAt(event->position().toPoint()), event->globalPosition().toPoint());
}

void CPaletteWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Clicked(IndexAt(event->position().toPoint()));
}

void CPaletteWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit DoubleClicked(IndexAt(event->position().toPoint()));
}

void CPaletteWnd::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    SetHover(-1, {});
}
