#include "app/list_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "app/application.h"
#include "app/text_format.h"
#include "app/view_commands.h"
#include "core/dib.h"
#include "core/item_list.h"

namespace {

constexpr int kMinImageSide = 16;
// The zoomed bounding size is held below this so that cell sizes and the
// products of the layout stay far inside their types.
constexpr double kMaxImageSide = 1 << 24;
constexpr int kDragDistance = 7;

int ZoomedSide(int side, double zoom) {
    double v = static_cast<double>(side) * zoom;
    if (!(v >= kMinImageSide)) v = kMinImageSide;  // also NaN
    if (v > kMaxImageSide) v = kMaxImageSide;
    return static_cast<int>(v);
}

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

}  // namespace

int MaxScrollPosition(const ListScrollBar& bar) {
    if (bar.rangeMax <= 0) return 0;
    return std::max(0, ClampToInt(std::int64_t{bar.rangeMax} - bar.page + 1));
}

ListLayout ComputeListLayout(int boundingWidth, int boundingHeight, double zoom, int alignment,
                             int count, int clientWidth, int clientHeight) {
    ListLayout l;
    l.imageWidth = ZoomedSide(boundingWidth, zoom);
    l.imageHeight = ZoomedSide(boundingHeight, zoom);
    if (alignment == 1 || alignment == 2)
        l.alignment = alignment;
    else
        l.alignment = l.imageHeight < l.imageWidth ? 2 : 1;
    // The 20 extra pixels hold the caption: above the picture in rows, left of
    // it in columns; 2 make the cell frame on the other axis.
    l.cellWidth = l.imageWidth + (l.Rows() ? 2 : 20);
    l.cellHeight = l.imageHeight + (l.Rows() ? 20 : 2);
    l.count = std::max(0, count);
    if (clientWidth <= 0 || clientHeight <= 0) return l;

    l.hasClient = true;
    l.clientWidth = clientWidth;
    l.clientHeight = clientHeight;
    l.perRow = std::max(1, clientWidth / l.cellWidth);
    l.perColumn = std::max(1, clientHeight / l.cellHeight);
    l.horizontal.page = clientWidth;
    l.vertical.page = clientHeight;
    if (l.Rows()) {
        const std::int64_t content = CeilDiv(l.count, l.perRow) * l.cellHeight;
        if (content > clientHeight) l.vertical.rangeMax = ClampToInt(content);
        if (clientWidth < l.cellWidth) l.horizontal.rangeMax = l.cellWidth - 1;
    } else {
        const std::int64_t content = CeilDiv(l.count, l.perColumn) * l.cellWidth;
        if (content > clientWidth) l.horizontal.rangeMax = ClampToInt(content);
        if (clientHeight < l.cellHeight) l.vertical.rangeMax = l.cellHeight - 1;
    }
    return l;
}

ListLayout ComputeListLayout(const CIconmillApp& app, int clientWidth, int clientHeight) {
    const CItemList& items = app.Items();
    return ComputeListLayout(items.BoundingWidth(), items.BoundingHeight(), app.view.zoom,
                             app.settings.alignment, items.Count(), clientWidth, clientHeight);
}

bool CaptionShown(const ListLayout& layout) {
    // The caption band runs from 2 pixels in to 11 before the glyph's end in
    // rows, and over the cell height less 11 in columns.
    return layout.Rows() ? layout.cellWidth - 13 >= 16 : layout.cellHeight - 11 >= 16;
}

ListRect CellRect(const ListLayout& layout, int index) {
    if (index < 0 || index >= layout.count) return {};
    std::int64_t row = 0;
    std::int64_t column = 0;
    if (layout.Rows()) {
        row = index / layout.perRow;
        column = index % layout.perRow;
    } else {
        column = index / layout.perColumn;
        row = index % layout.perColumn;
    }
    const std::int64_t left = column * layout.cellWidth;
    const std::int64_t top = row * layout.cellHeight;
    return {left, top, left + layout.cellWidth, top + layout.cellHeight};
}

int HitTestItem(const ListLayout& layout, int x, int y, int hScroll, int vScroll, ListRect* cell) {
    const std::int64_t cx = std::int64_t{x} + hScroll;
    const std::int64_t cy = std::int64_t{y} + vScroll;
    // Left of or above the content is outside every cell (a plain division
    // would round a small negative offset into the first column or row).
    if (cx < 0 || cy < 0) return -1;
    const std::int64_t column = cx / layout.cellWidth;
    const std::int64_t row = cy / layout.cellHeight;
    std::int64_t index = 0;
    if (layout.Rows()) {
        if (column >= layout.perRow) return -1;
        index = row * layout.perRow + column;
    } else {
        if (row >= layout.perColumn) return -1;
        index = column * layout.perColumn + row;
    }
    if (index >= layout.count) return -1;
    if (cell) *cell = CellRect(layout, static_cast<int>(index));
    return static_cast<int>(index);
}

DropPosition DropPositionAt(const ListLayout& layout, int x, int y, int hScroll, int vScroll) {
    ListRect cell;
    const int k = HitTestItem(layout, x, y, hScroll, vScroll, &cell);
    if (k < 0) return {};
    const bool before = layout.Rows()
                            ? std::int64_t{x} + hScroll < cell.left + layout.cellWidth / 2
                            : std::int64_t{y} + vScroll < cell.top + layout.cellHeight / 2;
    if (before) return {k - 1, k};
    return {k, k + 1 < layout.count ? k + 1 : -1};
}

bool DragStarts(const ListLayout& layout, int downX, int downY, int x, int y) {
    const std::int64_t d = layout.Rows() ? std::int64_t{x} - downX : std::int64_t{y} - downY;
    return d > kDragDistance || d < -kDragDistance;
}

std::vector<int> DropOrder(const std::vector<bool>& selected, int insertionIndex) {
    const int n = static_cast<int>(selected.size());
    std::vector<int> order;
    order.reserve(selected.size());
    if (insertionIndex < 0 || insertionIndex > n) {
        for (int i = 0; i < n; ++i) order.push_back(i);
        return order;
    }
    const auto take = [&](int from, int to, bool sel) {
        for (int i = from; i < to; ++i)
            if (selected[static_cast<std::size_t>(i)] == sel) order.push_back(i);
    };
    take(0, insertionIndex, false);
    take(0, insertionIndex, true);
    take(insertionIndex, n, true);
    take(insertionIndex, n, false);
    return order;
}

bool DropSelectedItems(CItemList& list, int insertionIndex) {
    const int n = list.Count();
    if (insertionIndex < 0 || insertionIndex > n || list.IsSelectionEmpty()) return false;
    std::vector<bool> selected(static_cast<std::size_t>(n));
    std::vector<const tagILVITEM*> records(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        records[static_cast<std::size_t>(i)] = list.Item(i);
        selected[static_cast<std::size_t>(i)] = list.Item(i)->IsSelected();
    }
    const std::vector<int> order = DropOrder(selected, insertionIndex);
    CItemList::UpdateBatch batch(list);
    // Fill the places from the front: each record comes from at or after its
    // place, so the places already filled stay put.
    for (int place = 0; place < n; ++place) {
        const int from =
            list.IndexOf(records[static_cast<std::size_t>(order[static_cast<std::size_t>(place)])]);
        if (from != place) list.MoveItem(from, place);
    }
    for (int i = 0; i < n; ++i)
        if (selected[static_cast<std::size_t>(i)])
            list.SetSelected(list.IndexOf(records[static_cast<std::size_t>(i)]), false);
    return true;
}

bool DropSelectedItems(CIconmillApp& app, int insertionIndex) {
    HistoryRecorder recorder(app, kCmdMoveItems);
    if (!DropSelectedItems(app.Items(), insertionIndex)) return false;
    app.SetModified();
    app.NotifySelectionChanged();
    return true;
}

int NavigateKey(const ListLayout& layout, int current, ListKey key) {
    const std::int64_t b = current;
    const std::int64_t n = layout.count;
    const std::int64_t perRow = layout.perRow;
    const std::int64_t perColumn = layout.perColumn;
    const std::int64_t page = perRow * perColumn;
    const bool rows = layout.Rows();
    std::int64_t next = -1;
    switch (key) {
        case ListKey::PageUp:
            next = b - page;
            break;
        case ListKey::PageDown:
            next = b + page;
            break;
        case ListKey::Home:
            if (rows) next = perRow * (std::max<std::int64_t>(b, 0) / perRow);
            break;
        case ListKey::End:
            if (rows) next = std::min(perRow * (b / perRow + 1) - 1, n - 1);
            break;
        case ListKey::Left:
            next = rows ? b - 1 : b - perColumn;
            break;
        case ListKey::Right:
            next = rows ? b + 1 : b + perColumn;
            break;
        case ListKey::Up:
            next = rows ? b - perRow : b - 1;
            break;
        case ListKey::Down:
            next = rows ? b + perRow : b + 1;
            break;
    }
    return next >= 0 && next < n ? static_cast<int>(next) : -1;
}

std::vector<bool> NavigationSelection(int count, int anchor, int index, bool shift) {
    std::vector<bool> selected(static_cast<std::size_t>(std::max(0, count)));
    if (index < 0 || index >= count) return selected;
    int first = index;
    int last = index;
    if (shift) {
        const int from = anchor >= 0 && anchor < count ? anchor : 0;
        first = std::min(from, index);
        last = std::max(from, index);
    }
    for (int i = first; i <= last; ++i) selected[static_cast<std::size_t>(i)] = true;
    return selected;
}

void ApplySelection(CItemList& list, const std::vector<bool>& selected) {
    for (int i = 0; i < list.Count(); ++i)
        list.SetSelected(i, static_cast<std::size_t>(i) < selected.size() &&
                                selected[static_cast<std::size_t>(i)]);
}

ListScrollPosition ScrollIntoView(const ListLayout& layout, int index, int hScroll, int vScroll) {
    ListScrollPosition pos{hScroll, vScroll};
    if (index < 0 || index >= layout.count) return pos;
    const ListRect cell = CellRect(layout, index);
    if (cell.top < vScroll || cell.bottom > std::int64_t{vScroll} + layout.clientHeight)
        pos.v = ClampToInt(cell.top);
    if (cell.left < hScroll || cell.right > std::int64_t{hScroll} + layout.clientWidth)
        pos.h = ClampToInt(cell.left);
    return pos;
}

std::string QuickInfoText(const CItemList& list, int index) {
    const tagILVITEM* item = list.Item(index);
    if (!item) return {};
    const tagILVITEM& image = item->Image();
    const DibHeader* header = image.header;
    if (!header) return {};
    const std::string bytes = FormatByteSize(DibPackedSize(header));
    char text[256];
    std::snprintf(text, sizeof text, "#%d%s\nSize: %dx%d\nBit-Count: %d\nSize: %s\n%s", index + 1,
                  item->IsDuplicate() ? " (duplicated)" : "", header->biWidth, header->biHeight,
                  static_cast<int>(header->biBitCount), bytes.c_str(),
                  image.mask ? "Masked" : "No Mask");
    std::string result = text;
    if (!item->IsDuplicate() && item->duplicateCount > 0) {
        std::snprintf(text, sizeof text, "\n-\nDuplications: %d", item->duplicateCount);
        result += text;
    }
    return result;
}

int WheelZoomPosition(double zoom, bool awayFromUser) {
    const double percent = zoom * 100;
    const int position = ZoomPositionOf(percent);
    if (kZoomTable[position] == percent) {
        const int next = awayFromUser ? ZoomInPosition(position) : ZoomOutPosition(position);
        return next != position ? next : -1;
    }
    // A zoom between the control's levels steps to the nearest level that way.
    if (awayFromUser) {
        for (int p = 0; p < kZoomPositions; ++p)
            if (kZoomTable[p] != 0 && kZoomTable[p] > percent) return p;
    } else {
        for (int p = kZoomPositions - 1; p >= 0; --p)
            if (kZoomTable[p] != 0 && kZoomTable[p] < percent) return p;
    }
    return -1;
}

bool WheelZoom(CIconmillApp& app, bool awayFromUser) {
    const int position = WheelZoomPosition(app.view.zoom, awayFromUser);
    if (position < 0) return false;
    OnViewZoomed(app, kZoomTable[position] / 100);
    return true;
}
