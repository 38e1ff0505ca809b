// The grid of an image's colour-table entries: 15 x 15 cells on an 18-pixel
// pitch with a 3-pixel margin, rows scrolled by the vertical bar, the entry
// under the mouse ringed and described by a tip ("Index: %d\nRGB: %u, %u, %u").
// Without entries it shows its empty text ("Image is not indexed"). Each entry
// is a child of the window's accessible interface.
#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include "platform/bitmap_types.h"

class CPaletteWnd : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kPitch = 18;
    static constexpr int kCell = 15;
    static constexpr int kMargin = 3;

    explicit CPaletteWnd(QWidget* parent = nullptr);

    // Shows `count` entries of `table` (kept by the caller; null or 0: none).
    void SetColors(const RgbQuad* table, int count);
    int Count() const { return count_; }
    const RgbQuad* Colors() const { return table_; }
    void SetEmptyText(const QString& text);
    QString EmptyText() const { return emptyText_; }

    int Columns() const;
    // The entry at a viewport point, or -1 (margins, gaps, beyond the last
    // column or the count).
    int IndexAt(const QPoint& viewportPoint) const;
    // The viewport rectangle of an entry's cell (may lie outside when scrolled).
    QRect CellRect(int index) const;
    int HoverIndex() const { return hover_; }
    static QString TipText(int index, const RgbQuad& entry);

signals:
    void Clicked(int index);
    void DoubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void UpdateScrollBar();
    void SetHover(int index, const QPoint& globalPoint);

    const RgbQuad* table_ = nullptr;
    int count_ = 0;
    QString emptyText_ = QStringLiteral("Image is not indexed");
    int hover_ = -1;
};
