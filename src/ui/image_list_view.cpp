#include "ui/image_list_view.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "app/application.h"
#include "app/view_background.h"
#include "app/window_texts.h"
#include "core/dib.h"
#include "core/item_list.h"
#include "ui/fonts.h"
#include "ui/simple_tip.h"

void InstallImageListAccessibility();  // image_list_accessible.cpp

namespace {

constexpr ColorRef kDuplicateFrame = RgbColor(240, 180, 69);
constexpr ColorRef kGlyph = RgbColor(109, 207, 246);
constexpr ColorRef kMarkColor = RgbColor(0, 0, 0);
constexpr int kTintOpacity = 30;
constexpr int kCaptionBand = 19;

ColorRef ToColorRef(const QColor& color) {
    return RgbColor(color.red(), color.green(), color.blue());
}

QColor ToQColor(ColorRef color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

RasterRect ToRaster(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// A DIB header for `width` x `height` top-down pixels of `bitCount`, followed by
// room for a two-entry colour table (used by 1-bit masks).
struct ScratchHeader {
    DibHeader header{};
    RgbQuad palette[2]{};

    ScratchHeader(int width, int height, unsigned bitCount) {
        header.biSize = kBitmapInfoHeaderSize;
        header.biWidth = width;
        header.biHeight = -height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<std::uint16_t>(bitCount);
        header.biCompression = kBiRgb;
        if (bitCount == 1) {
            header.biClrUsed = 2;
            palette[1] = {255, 255, 255, 0};
        }
    }
};
static_assert(offsetof(ScratchHeader, palette) == sizeof(DibHeader));

// Fills a rectangle with a colour at a constant opacity (the selection tint),
// as an alpha blend of an opaque one-row source.
void BlendFill(RasterSurface& target, const RasterRect& rect, ColorRef color, int opacity,
               std::vector<std::uint8_t>& scratch) {
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, target.Width());
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, target.Height());
    if (left >= right || top >= bottom) return;
    const int width = right - left;
    ScratchHeader header(width, 1, 32);
    scratch.resize(static_cast<std::size_t>(width) * 4);
    for (int x = 0; x < width; ++x) {
        std::uint8_t* p = scratch.data() + 4 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(BlueOf(color));
        p[1] = static_cast<std::uint8_t>(GreenOf(color));
        p[2] = static_cast<std::uint8_t>(RedOf(color));
        p[3] = 255;
    }
    const auto row = RasterImage::Describe(&header.header, scratch.data(), scratch.size());
    if (!row) return;
    for (int y = top; y < bottom; ++y) RasterAlphaBlend(target, left, y, *row, opacity);
}

// The triangle of an insertion mark: `count` lines of decreasing (or, with
// `growing`, increasing) length 1, 3, ... 13, centred on `centre` across them.
void FillTriangle(RasterSurface& target, bool vertical, int start, int centre, bool growing) {
    for (int i = 0; i < 7; ++i) {
        const int length = growing ? 1 + 2 * i : 13 - 2 * i;
        const int from = centre - length / 2;
        if (vertical)  // lines run down, one per column
            RasterFillRect(target, {start + i, from, start + i + 1, from + length}, kMarkColor);
        else  // lines run across, one per row
            RasterFillRect(target, {from, start + i, from + length, start + i + 1}, kMarkColor);
    }
}

}  // namespace

CImageListView::CImageListView(CIconmillApp& app, QWidget* parent)
    : QAbstractScrollArea(parent), app_(app) {
    InstallImageListAccessibility();
    setObjectName(QStringLiteral("Iconmill_BitmapListCtrl_WndClass"));
    setAccessibleName(QStringLiteral("Images"));
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    font_ = MakeUiFont(8);
    tip_ = new CSimpleTip(this);
    ReadColors();
    Relayout();
}

CImageListView::~CImageListView() = default;

void CImageListView::ReadColors() {
    const QPalette palette = QApplication::palette(this);
    colors_.window = ToColorRef(palette.color(QPalette::Base));
    colors_.buttonFace = ToColorRef(palette.color(QPalette::Button));
    colors_.frame = ToColorRef(palette.color(QPalette::Dark));
    colors_.duplicateFrame = kDuplicateFrame;
    colors_.highlight = ToColorRef(palette.color(QPalette::Highlight));
    colors_.captionText = ToColorRef(palette.color(QPalette::Light));
    colors_.selectedCaptionText = ToColorRef(palette.color(QPalette::HighlightedText));
    colors_.glyph = kGlyph;
}

int CImageListView::HScroll() const {
    return horizontalScrollBar()->value();
}

int CImageListView::VScroll() const {
    return verticalScrollBar()->value();
}

void CImageListView::Relayout() {
    // Showing or hiding a bar resizes the viewport, which lays out again; a few
    // rounds settle it.
    if (layingOut_) return;
    layingOut_ = true;
    for (int round = 0; round < 3; ++round) {
        const QSize before = viewport()->size();
        layout_ = ComputeListLayout(app_, before.width(), before.height());
        if (layout_.hasClient) ApplyScrollBars();
        if (viewport()->size() == before) break;
    }
    layingOut_ = false;
    viewport()->update();
}

void CImageListView::ApplyScrollBars() {
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, MaxScrollPosition(layout_.horizontal));
    h->setPageStep(layout_.horizontal.page);
    h->setSingleStep(layout_.cellWidth);
    v->setRange(0, MaxScrollPosition(layout_.vertical));
    v->setPageStep(layout_.vertical.page);
    v->setSingleStep(layout_.cellHeight);
}

void CImageListView::ResetPositions(bool anchorToo) {
    hover_ = -1;
    if (anchorToo) anchor_ = -1;
    HideTip();
}

void CImageListView::ItemRemoving(int index) {
    if (current_ >= index) current_ = -1;
    if (anchor_ >= index) anchor_ = -1;
    if (hover_ >= index) hover_ = -1;
    CancelDrag();
    HideTip();
}

void CImageListView::HideTip() {
    if (tip_->isVisible()) tip_->hide();
}

QRect CImageListView::CellOnScreen(int index) const {
    const ListRect cell = CellRect(layout_, index);
    if (cell.right <= cell.left) return {};
    return QRect(static_cast<int>(cell.left - HScroll()), static_cast<int>(cell.top - VScroll()),
                 layout_.cellWidth, layout_.cellHeight);
}

QString CImageListView::CaptionText(int index) const {
    const tagILVITEM* item = app_.Items().Item(index);
    if (!item || !item->Image().header) return {};
    const DibHeader& header = *item->Image().header;
    return QString::fromStdString(ItemCaption(header.biWidth, header.biHeight, header.biBitCount));
}

QString CImageListView::QuickInfo(int index) const {
    return QString::fromStdString(QuickInfoText(app_.Items(), index));
}

bool CImageListView::IsItemSelected(int index) const {
    const tagILVITEM* item = app_.Items().Item(index);
    return item && item->IsSelected();
}

void CImageListView::SetItemSelected(int index, bool selected) {
    if (!app_.Items().Item(index)) return;
    app_.Items().SetSelected(index, selected);
    SelectionDone();
    viewport()->update();
}

void CImageListView::SelectionDone() {
    emit SelectionChanged();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&event);
    }
}

void CImageListView::SelectOnly(int index) {
    CItemList& list = app_.Items();
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, i == index);
}

void CImageListView::DeselectAll() {
    SelectOnly(-1);
}

// ---------------------------------------------------------------------------
// Events

bool CImageListView::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::StyleChange:
            ReadColors();
            viewport()->update();
            break;
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
            // The mouse went elsewhere: no drag survives it.
            CancelDrag();
            HideTip();
            break;
        default:
            break;
    }
    return QAbstractScrollArea::event(event);
}

bool CImageListView::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::Leave:
            HideTip();
            break;
        case QEvent::ContextMenu: {
            auto* menu = static_cast<QContextMenuEvent*>(event);
            if (rightCancelledDrag_) {
                rightCancelledDrag_ = false;
            } else {
                const QPoint at = menu->reason() == QContextMenuEvent::Mouse
                                      ? menu->pos()
                                      : (current_ >= 0 ? CellOnScreen(current_).center() : QPoint());
                emit ContextMenuRequested(at);
            }
            return true;
        }
        default:
            break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CImageListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void CImageListView::scrollContentsBy(int, int) {
    HideTip();
    viewport()->update();
}

void CImageListView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    HideTip();
    CItemList& list = app_.Items();
    if (event->button() == Qt::RightButton) {
        if (dragging_) {
            CancelDrag();
            rightCancelledDrag_ = true;
            return;
        }
        const int hit = HitTestItem(layout_, p.x(), p.y(), HScroll(), VScroll());
        current_ = hit;
        if (hit < 0) {
            if (!ctrl && !shift) DeselectAll();
        } else if (!list.Item(hit)->IsSelected()) {
            SelectOnly(hit);
        }
        SelectionDone();
        viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    leftDown_ = true;
    downOnItem_ = dragAllowed_ = deferred_ = dragging_ = false;
    downPoint_ = p;
    const int hit = HitTestItem(layout_, p.x(), p.y(), HScroll(), VScroll());
    current_ = hit;
    if (hit < 0) {
        if (ctrl || shift) return;
        DeselectAll();
    } else {
        downOnItem_ = true;
        if (list.Item(hit)->IsSelected()) {
            // Decided at button-up: this may be the start of a drag.
            deferred_ = dragAllowed_ = true;
            return;
        }
        if (!ctrl) DeselectAll();
        if (shift) {
            const int from = anchor_ >= 0 && anchor_ < list.Count() ? anchor_ : 0;
            for (int i = std::min(from, hit); i <= std::max(from, hit); ++i)
                list.SetSelected(i, true);
        } else {
            list.SetSelected(hit, true);
            anchor_ = hit;
            dragAllowed_ = true;
        }
    }
    SelectionDone();
    viewport()->update();
}

void CImageListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !leftDown_) return;
    leftDown_ = false;
    CItemList& list = app_.Items();
    if (dragging_) {
        const int insertion = marks_.InsertionIndex();
        SetMarks({});
        dragging_ = false;
        if (noDropCursor_) {
            viewport()->unsetCursor();
            noDropCursor_ = false;
        }
        if (insertion >= 0 && DropSelectedItems(app_, insertion)) {
            current_ = anchor_ = hover_ = -1;
            emit OrderChanged();
        }
    } else if (downOnItem_ && deferred_ && list.Item(current_)) {
        if (event->modifiers() & Qt::ControlModifier)
            list.SetSelected(current_, !list.Item(current_)->IsSelected());
        else
            SelectOnly(current_);
        SelectionDone();
    }
    downOnItem_ = dragAllowed_ = deferred_ = false;
    viewport()->update();
}

void CImageListView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (leftDown_) {
        if (!dragging_ && dragAllowed_ &&
            DragStarts(layout_, downPoint_.x(), downPoint_.y(), p.x(), p.y())) {
            dragging_ = true;
            HideTip();
        }
        if (dragging_) DragTo(p);
        return;
    }
    if (event->buttons() == Qt::NoButton) UpdateTip(p);
}

void CImageListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit OpenRequested();
}

void CImageListView::keyPressEvent(QKeyEvent* event) {
    if (app_.Items().Count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
        case Qt::Key_Shift:
            if (!event->isAutoRepeat()) anchor_ = current_;
            return;
        case Qt::Key_Escape:
            CancelDrag();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit OpenRequested();
            return;
        case Qt::Key_PageUp:
            return Navigate(ListKey::PageUp, shift);
        case Qt::Key_PageDown:
            return Navigate(ListKey::PageDown, shift);
        case Qt::Key_Home:
            return Navigate(ListKey::Home, shift);
        case Qt::Key_End:
            return Navigate(ListKey::End, shift);
        case Qt::Key_Left:
            return Navigate(ListKey::Left, shift);
        case Qt::Key_Right:
            return Navigate(ListKey::Right, shift);
        case Qt::Key_Up:
            return Navigate(ListKey::Up, shift);
        case Qt::Key_Down:
            return Navigate(ListKey::Down, shift);
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void CImageListView::Navigate(ListKey key, bool shift) {
    HideTip();
    const int index = NavigateKey(layout_, current_, key);
    if (index < 0) return;
    CItemList& list = app_.Items();
    ApplySelection(list, NavigationSelection(list.Count(), anchor_, index, shift));
    const ListScrollPosition to = ScrollIntoView(layout_, index, HScroll(), VScroll());
    horizontalScrollBar()->setValue(to.h);
    verticalScrollBar()->setValue(to.v);
    current_ = index;
    SelectionDone();
    viewport()->update();
}

void CImageListView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    event->accept();
    if (delta == 0) return;
    if (event->modifiers() & Qt::ControlModifier) {
        HideTip();
        emit WheelZoomRequested(delta > 0);
        return;
    }
    // One line per wheel message along the layout direction.
    QScrollBar* bar = layout_.Rows() ? verticalScrollBar() : horizontalScrollBar();
    if (!bar->isVisible() || !bar->isEnabled()) return;
    bar->setValue(bar->value() + (delta > 0 ? -bar->singleStep() : bar->singleStep()));
}

// ---------------------------------------------------------------------------
// Dragging

void CImageListView::CancelDrag() {
    if (!dragging_) return;
    dragging_ = false;
    leftDown_ = downOnItem_ = dragAllowed_ = deferred_ = false;
    SetMarks({});
    if (noDropCursor_) {
        viewport()->unsetCursor();
        noDropCursor_ = false;
    }
    viewport()->update();
}

void CImageListView::AutoScroll(const QPoint& p) {
    QScrollBar* v = verticalScrollBar();
    if (v->isVisible() && v->isEnabled() && v->maximum() > 0) {
        const int half = layout_.cellHeight / 2;
        if (p.y() < half)
            v->setValue(std::max(0, v->value() - half));
        else if (p.y() > viewport()->height() - half)
            v->setValue(std::min(v->maximum(), v->value() + layout_.cellHeight / 8));
    }
    QScrollBar* h = horizontalScrollBar();
    if (h->isVisible() && h->isEnabled() && h->maximum() > 0) {
        const int half = layout_.cellWidth / 2;
        if (p.x() < half)
            h->setValue(std::max(0, h->value() - half));
        else if (p.x() > viewport()->width() - half)
            h->setValue(std::min(h->maximum(), h->value() + layout_.cellWidth / 8));
    }
}

void CImageListView::DragTo(const QPoint& p) {
    AutoScroll(p);
    const DropPosition marks = DropPositionAt(layout_, p.x(), p.y(), HScroll(), VScroll());
    SetMarks(marks);
    if (!marks.Valid() && !noDropCursor_) {
        viewport()->setCursor(Qt::ForbiddenCursor);
        noDropCursor_ = true;
    } else if (marks.Valid() && noDropCursor_) {
        viewport()->unsetCursor();
        noDropCursor_ = false;
    }
}

void CImageListView::SetMarks(const DropPosition& marks) {
    if (marks == marks_) return;
    CItemList& list = app_.Items();
    const auto flag = [&](int index, std::int32_t bit, bool on) {
        if (tagILVITEM* item = list.Item(index)) item->flags = on ? item->flags | bit : item->flags & ~bit;
    };
    flag(marks_.itemBefore, kItemInsertAfter, false);
    flag(marks_.itemAfter, kItemInsertBefore, false);
    marks_ = marks;
    flag(marks_.itemBefore, kItemInsertAfter, true);
    flag(marks_.itemAfter, kItemInsertBefore, true);
    viewport()->update();
}

// ---------------------------------------------------------------------------
// Quick info

void CImageListView::UpdateTip(const QPoint& p) {
    if (!app_.settings.displayQuickInfo || dragging_) return;
    const int hit = HitTestItem(layout_, p.x(), p.y(), HScroll(), VScroll());
    if (hit < 0) {
        HideTip();
        return;
    }
    if (hit != hover_) {
        tip_->SetText(QString::fromStdString(QuickInfoText(app_.Items(), hit)));
        hover_ = hit;
    }
    tip_->ShowAt(viewport()->mapToGlobal(p) + QPoint(15, 15));
}

// ---------------------------------------------------------------------------
// Files from a file manager

void CImageListView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CImageListView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CImageListView::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty()) emit FilesDropped(paths);
}

// ---------------------------------------------------------------------------
// Painting

void CImageListView::paintEvent(QPaintEvent*) {
    PaintBuffer();
    QPainter painter(viewport());
    painter.drawImage(0, 0, bufferImage_);
}

QImage CImageListView::RenderViewport() {
    PaintBuffer();
    return bufferImage_.convertToFormat(QImage::Format_RGB32);
}

void CImageListView::PaintBuffer() {
    const int width = std::max(1, viewport()->width());
    const int height = std::max(1, viewport()->height());
    if (bufferHeader_.biWidth != width || -bufferHeader_.biHeight != height) {
        const ScratchHeader header(width, height, 24);
        bufferHeader_ = header.header;
        const std::size_t stride = RasterStride(width, 24);
        buffer_.assign(stride * static_cast<std::size_t>(height), 0);
        bufferImage_ = QImage(buffer_.data(), width, height, static_cast<qsizetype>(stride),
                              QImage::Format_BGR888);
    }
    auto surface = RasterSurface::Over(&bufferHeader_, buffer_.data(), buffer_.size());
    if (!surface) return;
    RasterFillRect(*surface, {0, 0, width, height}, colors_.window);
    const int n = app_.Items().Count();
    if (n == 0 || !layout_.hasClient) return;

    // Only the rows (columns) that reach into the viewport.
    const bool rows = layout_.Rows();
    const int scroll = rows ? VScroll() : HScroll();
    const int cell = rows ? layout_.cellHeight : layout_.cellWidth;
    const int extent = rows ? height : width;
    const std::int64_t perLine = rows ? layout_.perRow : layout_.perColumn;
    const std::int64_t firstLine = scroll / cell;
    const std::int64_t lines = (scroll % cell + extent + cell - 1) / cell;
    const int first = static_cast<int>(std::min<std::int64_t>(n, firstLine * perLine));
    const int last = static_cast<int>(std::min<std::int64_t>(n, (firstLine + lines) * perLine));

    for (int i = first; i < last; ++i) PaintCell(*surface, i, CellOnScreen(i));
    if (CaptionShown(layout_)) {
        QPainter painter(&bufferImage_);
        painter.setFont(font_);
        for (int i = first; i < last; ++i) PaintCaption(painter, i, CellOnScreen(i));
    }
    if (marks_.Valid())
        for (int i = first; i < last; ++i) PaintInsertionMark(*surface, i, CellOnScreen(i));
}

void CImageListView::PaintCell(RasterSurface& surface, int index, const QRect& cell) {
    const tagILVITEM& item = *app_.Items().Item(index);
    const tagILVITEM& picture = item.Image();
    const bool rows = layout_.Rows();
    const int left = cell.left(), top = cell.top();
    const int right = left + cell.width(), bottom = top + cell.height();

    RasterFillRect(surface, ToRaster(cell),
                   item.IsSelected()    ? colors_.highlight
                   : item.IsDuplicate() ? colors_.duplicateFrame
                                        : colors_.frame);

    // The glyph: three 3 x 3 squares pointing right (rows) or down (columns).
    const ColorRef glyph = item.IsSelected() ? colors_.selectedCaptionText : colors_.glyph;
    const QPoint origin = rows ? QPoint(right - 11, top + 4) : QPoint(left + 4, bottom - 11);
    const QPoint squares[3] = {{0, 0}, rows ? QPoint(5, 4) : QPoint(8, 0),
                               rows ? QPoint(0, 8) : QPoint(4, 5)};
    for (const QPoint& s : squares) {
        const QPoint at = origin + s;
        RasterFillRect(surface, {at.x(), at.y(), at.x() + 3, at.y() + 3}, glyph);
    }

    const RasterRect area = rows ? RasterRect{left + 1, top + kCaptionBand, right - 1, bottom - 1}
                                 : RasterRect{left + kCaptionBand, top + 1, right - 1, bottom - 1};
    const std::int32_t kind = app_.settings.background;
    FillViewBackground(surface, area, kind, app_.view.customColor, colors_.buttonFace);
    if (item.IsSelected()) BlendFill(surface, area, colors_.highlight, kTintOpacity, scratch_);

    const DibHeader* header = picture.header;
    if (!header || !picture.bits) return;
    const auto image = RasterImage::Describe(header, picture.bits, DibImageSize(header));
    if (!image) return;
    const double zoom = app_.view.zoom;
    const RasterRect dest{area.left + static_cast<int>(item.x * zoom),
                          area.top + static_cast<int>(item.y * zoom), 0, 0};
    const RasterRect drawn{dest.left, dest.top, dest.left + static_cast<int>(image->width * zoom),
                           dest.top + static_cast<int>(image->height * zoom)};
    const RasterRect source{0, 0, image->width, image->height};
    // What of the drawn rectangle the viewport shows: scaled copies cover only that.
    const RasterRect visible{std::max({drawn.left, area.left, 0}), std::max({drawn.top, area.top, 0}),
                             std::min({drawn.right, area.right, surface.Width()}),
                             std::min({drawn.bottom, area.bottom, surface.Height()})};
    const unsigned preview = app_.view.previewFlags;
    const bool alpha = image->bitCount == 32 && (preview & kPreviewAlpha) &&
                       (!picture.mask || !(preview & kPreviewMask));
    const bool masked = !alpha && picture.mask && (preview & kPreviewMask);
    if (visible.left < visible.right && visible.top < visible.bottom) {
        const int vw = visible.right - visible.left, vh = visible.bottom - visible.top;
        const RasterRect shifted{drawn.left - visible.left, drawn.top - visible.top,
                                 drawn.right - visible.left, drawn.bottom - visible.top};
        if (alpha) {
            ScratchHeader h(vw, vh, 32);
            std::vector<std::uint8_t> pixels(RasterStride(vw, 32) * static_cast<std::size_t>(vh));
            auto scaled = RasterSurface::Over(&h.header, pixels.data(), pixels.size());
            if (scaled) {
                RasterStretch(*scaled, shifted, *image, source);
                RasterCompositeOver(surface, visible.left, visible.top, scaled->Image());
            }
        } else if (masked) {
            ScratchHeader ph(vw, vh, 24);
            std::vector<std::uint8_t> pixels(RasterStride(vw, 24) * static_cast<std::size_t>(vh));
            ScratchHeader mh(vw, vh, 1);
            std::vector<std::uint8_t> mask(RasterStride(vw, 1) * static_cast<std::size_t>(vh), 0xFF);
            // The mask as a 1-bit image in the picture's row order.
            ScratchHeader sourceMask(image->width, image->height, 1);
            if (!image->topDown) sourceMask.header.biHeight = image->height;
            const auto maskImage = RasterImage::Describe(
                &sourceMask.header, picture.mask,
                RasterStride(image->width, 1) * static_cast<std::size_t>(image->height));
            auto scaledPicture = RasterSurface::Over(&ph.header, pixels.data(), pixels.size());
            auto scaledMask = RasterSurface::Over(&mh.header, mask.data(), mask.size());
            if (maskImage && scaledPicture && scaledMask) {
                RasterStretch(*scaledPicture, shifted, *image, source);
                RasterStretch(*scaledMask, shifted, *maskImage, source);
                RasterDrawMasked(surface, visible.left, visible.top, scaledPicture->Image(),
                                 mask.data());
            }
        } else {
            RasterStretch(surface, drawn, *image, source);
        }
    }
    if (app_.settings.showBoundingBox) DrawDottedFrame(surface, drawn);
}

void CImageListView::PaintCaption(QPainter& painter, int index, const QRect& cell) {
    const tagILVITEM& item = *app_.Items().Item(index);
    painter.setPen(ToQColor(item.IsSelected() ? colors_.selectedCaptionText : colors_.captionText));
    const QString caption = CaptionText(index);
    const Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    if (layout_.Rows()) {
        const QRect band(cell.left() + 2, cell.top(), cell.width() - 13, kCaptionBand);
        painter.drawText(band, align | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(caption, Qt::ElideRight, band.width()));
        return;
    }
    // Running downwards in the band left of the picture.
    painter.save();
    painter.translate(cell.left() + kCaptionBand, cell.top() + 2);
    painter.rotate(90);
    const QRect band(0, 0, cell.height() - 11, kCaptionBand);
    painter.drawText(band, align | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(caption, Qt::ElideRight, band.width()));
    painter.restore();
}

void CImageListView::PaintInsertionMark(RasterSurface& surface, int index, const QRect& cell) {
    const std::int32_t flags = app_.Items().Item(index)->flags;
    const bool after = (flags & kItemInsertAfter) && !(flags & kItemInsertBefore);
    const bool before = (flags & kItemInsertBefore) && !(flags & kItemInsertAfter);
    if (!after && !before) return;
    const int left = cell.left(), top = cell.top();
    const int right = left + cell.width(), bottom = top + cell.height();
    if (layout_.Rows()) {
        const int x = after ? right - 1 : left;
        RasterFillRect(surface, {x, top, x + 1, bottom}, kMarkColor);
        FillTriangle(surface, true, after ? right - 13 : left + 6, top + cell.height() / 2, before);
    } else {
        const int y = after ? bottom - 1 : top;
        RasterFillRect(surface, {left, y, right, y + 1}, kMarkColor);
        FillTriangle(surface, false, after ? bottom - 11 : top + 4, left + cell.width() / 2, before);
    }
}
