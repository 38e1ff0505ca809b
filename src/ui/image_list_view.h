// The main frame's client: every item of the compilation as a cell of a grid that
// flows in rows or in columns, zoomed, on the view's background, with a caption.
// The grid, hit-testing, drop rule, key moves, tip text and wheel steps come from
// app/list_layout; this widget forwards its events there, keeps the selection
// gestures' state and paints. The cells are painted by the raster layer into DIB
// memory (only those that can be visible), the captions by Qt on top.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QScrollBar>
#include <vector>

#include "app/list_layout.h"
#include "platform/raster.h"

class CIconmillApp;
class CSimpleTip;

// The system colours the view paints with, from the application palette.
struct ListViewColors {
    ColorRef window = 0;          // outside the cells
    ColorRef buttonFace = 0;      // background kind "window"
    ColorRef frame = 0;           // cell frame of an original
    ColorRef duplicateFrame = 0;  // RGB(240, 180, 69)
    ColorRef highlight = 0;       // frame of a selected item, the selection tint
    ColorRef captionText = 0;
    ColorRef selectedCaptionText = 0;
    ColorRef glyph = 0;  // RGB(109, 207, 246)
};

class CImageListView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CImageListView(CIconmillApp& app, QWidget* parent = nullptr);
    ~CImageListView() override;

    // Lays the items out again (items, bounding size, zoom, alignment or the
    // window size changed) and repaints.
    void Relayout();
    // The hover (and with `anchorToo` the anchor) item no longer means anything.
    void ResetPositions(bool anchorToo);
    // Item `index` is about to go: the positions that name it or follow it reset.
    void ItemRemoving(int index);
    // Quick info was switched off: a visible tip goes.
    void HideTip();

    const ListLayout& Layout() const { return layout_; }
    const ListViewColors& Colors() const { return colors_; }
    int CurrentItem() const { return current_; }
    int AnchorItem() const { return anchor_; }
    int HoverItem() const { return hover_; }
    bool IsDragging() const { return dragging_; }
    DropPosition InsertionMarks() const { return marks_; }
    CSimpleTip* Tip() const { return tip_; }

    // Item `index`'s cell in viewport coordinates.
    QRect CellOnScreen(int index) const;
    // "%dx%d, %u-bit" of the item's picture; empty outside the list.
    QString CaptionText(int index) const;
    // The quick-info text of an item; empty outside the list.
    QString QuickInfo(int index) const;
    bool IsItemSelected(int index) const;
    // Selects or deselects one item as an assistive client asks; tells the frame.
    void SetItemSelected(int index, bool selected);

    // The viewport as the view paints it, at the current scroll positions.
    QImage RenderViewport();

signals:
    // A gesture of the view changed the selection.
    void SelectionChanged();
    // Double click, or Enter with items present: open the current item in the viewer.
    void OpenRequested();
    // The items were reordered by a drop.
    void OrderChanged();
    // Ctrl+wheel, one step in (away from the user) or out.
    void WheelZoomRequested(bool awayFromUser);
    // Files dropped from a file manager, in order.
    void FilesDropped(const QStringList& paths);
    // The context menu is due at a viewport position (after the right button).
    void ContextMenuRequested(const QPoint& position);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ReadColors();
    void ApplyScrollBars();
    int HScroll() const;
    int VScroll() const;
    // A gesture changed the selection: the frame and assistive clients hear of it.
    void SelectionDone();
    void SelectOnly(int index);
    void DeselectAll();
    void CancelDrag();
    void DragTo(const QPoint& position);
    void AutoScroll(const QPoint& position);
    void SetMarks(const DropPosition& marks);
    void UpdateTip(const QPoint& position);
    void Navigate(ListKey key, bool shift);
    // Paints the viewport into the off-screen image.
    void PaintBuffer();
    void PaintCell(RasterSurface& surface, int index, const QRect& cell);
    void PaintCaption(class QPainter& painter, int index, const QRect& cell);
    void PaintInsertionMark(RasterSurface& surface, int index, const QRect& cell);

    CIconmillApp& app_;
    CSimpleTip* tip_ = nullptr;
    ListLayout layout_;
    ListViewColors colors_;
    QFont font_;
    // The off-screen 24-bit DIB the cells are painted into, and a Qt image over
    // the same memory for the captions and the copy to the window.
    std::vector<std::uint8_t> buffer_;
    DibHeader bufferHeader_{};
    QImage bufferImage_;
    std::vector<std::uint8_t> scratch_;  // a scaled picture or mask

    int current_ = -1;
    int anchor_ = -1;
    int hover_ = -1;
    DropPosition marks_;
    // The gesture in progress.
    QPoint downPoint_;
    bool leftDown_ = false;
    bool downOnItem_ = false;
    bool dragAllowed_ = false;  // a new or deferred selection at button-down
    bool deferred_ = false;     // the selection change waits for button-up
    bool dragging_ = false;
    bool noDropCursor_ = false;
    bool rightCancelledDrag_ = false;  // the right button ended a drag: no menu
    bool layingOut_ = false;
};
