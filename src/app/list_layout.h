// The image list view without a window: the grid the cells flow in, what a point
// falls on, where a drag would drop, the key moves, the quick-info text and the
// wheel's zoom steps. The Qt view paints from these values and forwards its
// events here; everything is a plain function over plain values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CIconmillApp;
class CItemList;

// A rectangle in pixels, right and bottom exclusive. Content coordinates can
// exceed an int for long lists, hence 64 bits.
struct ListRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// One scroll bar: positions 0 to `rangeMax` with a thumb of `page` pixels, as
// a window scroll bar takes them; rangeMax 0 means no range.
struct ListScrollBar {
    int rangeMax = 0;
    int page = 0;
};

// The largest scroll position of a bar (the range end less the page, plus one
// since the range end is inclusive); 0 without a range.
int MaxScrollPosition(const ListScrollBar& bar);

struct ListLayout {
    int imageWidth = 16;  // the bounding size zoomed, 16 at least
    int imageHeight = 16;
    int alignment = 1;  // effective: 1 horizontal (rows), 2 vertical (columns)
    int cellWidth = 18;
    int cellHeight = 36;
    int count = 0;  // items laid out
    // The rest only when the client area has a size (hasClient); without one the
    // view keeps its scroll bars as they were.
    bool hasClient = false;
    int clientWidth = 0;
    int clientHeight = 0;
    int perRow = 1;     // max(1, client width / cell width)
    int perColumn = 1;  // max(1, client height / cell height)
    ListScrollBar horizontal;
    ListScrollBar vertical;

    bool Rows() const { return alignment != 2; }
};

// Lays out `count` items of the list's bounding size at `zoom` with the
// alignment setting (0 auto, 1 horizontal, 2 vertical) in a client area.
ListLayout ComputeListLayout(int boundingWidth, int boundingHeight, double zoom, int alignment,
                             int count, int clientWidth, int clientHeight);
// The same from the application's list, zoom and alignment setting.
ListLayout ComputeListLayout(const CIconmillApp& app, int clientWidth, int clientHeight);

// Whether a cell has room for its caption (16 pixels or more along the band).
bool CaptionShown(const ListLayout& layout);

// Item `index`'s cell in content coordinates (subtract the scroll positions for
// the screen); an empty rectangle for an index outside the list.
ListRect CellRect(const ListLayout& layout, int index);

// The item under a client point at the scroll positions, -1 for none; its cell
// (content coordinates) in `cell` when one is given.
int HitTestItem(const ListLayout& layout, int x, int y, int hScroll, int vScroll,
                ListRect* cell = nullptr);

// The drop position of a drag: between `itemBefore` and `itemAfter` (either -1 at
// an end of the list); both -1 when the mouse is over no item. The item before
// carries the "insert after" mark, the item after the "insert before" mark.
struct DropPosition {
    int itemBefore = -1;
    int itemAfter = -1;
    bool Valid() const { return itemBefore >= 0 || itemAfter >= 0; }
    // Where the dragged items go: itemBefore + 1 (0 before the first item);
    // -1 without a position.
    int InsertionIndex() const { return Valid() ? itemBefore + 1 : -1; }
    bool operator==(const DropPosition&) const = default;
};
constexpr std::int32_t kItemInsertAfter = 2;   // flags bit 1
constexpr std::int32_t kItemInsertBefore = 4;  // flags bit 2

// Over an item, before it in the first half of its cell along the layout
// direction, else after it.
DropPosition DropPositionAt(const ListLayout& layout, int x, int y, int hScroll, int vScroll);
// Whether the mouse went far enough from the button-down point to start a drag
// (more than 7 pixels along the layout direction).
bool DragStarts(const ListLayout& layout, int downX, int downY, int x, int y);

// The new order of a drop, as the old indices in their new places: the selected
// items before the insertion index, in order, directly before it, those at or
// after it directly after them; the others keep their order. The identity for an
// insertion index outside 0 to the item count.
std::vector<int> DropOrder(const std::vector<bool>& selected, int insertionIndex);
// Reorders the list that way (moving records, so duplicates keep their
// references) and deselects the moved items. False, with nothing changed, when
// nothing is selected or the index is outside 0 to the item count.
bool DropSelectedItems(CItemList& list, int insertionIndex);
// The drop as the view makes it: the list reordered, the compilation modified
// and the selection change told; the view then resets its current, anchor and
// hover items.
bool DropSelectedItems(CIconmillApp& app, int insertionIndex);

// The navigation keys of the list view.
enum class ListKey { PageUp, PageDown, Home, End, Left, Right, Up, Down };

// The index a key moves the current item `current` (-1 for none) to, or -1 when
// the key does nothing there. Home and End work in rows only.
int NavigateKey(const ListLayout& layout, int current, ListKey key);
// The selection after a move to `index` among `count` items: the range from the
// anchor (0 when unset) to it with Shift, else it alone.
std::vector<bool> NavigationSelection(int count, int anchor, int index, bool shift);
// Makes the list's selection that one.
void ApplySelection(CItemList& list, const std::vector<bool>& selected);

// The scroll positions that bring item `index` into view: each becomes the
// cell's edge when the cell reaches outside the visible area along it.
struct ListScrollPosition {
    int h = 0;
    int v = 0;
};
ListScrollPosition ScrollIntoView(const ListLayout& layout, int index, int hScroll, int vScroll);

// The quick-info tip for item `index`: number, " (duplicated)", size, bit count,
// byte size, mask, and for an original with duplicates their count after a "-"
// line. Empty for an index outside the list.
std::string QuickInfoText(const CItemList& list, int index);

// Ctrl+wheel: the zoom control's position one step from the zoom factor `zoom`,
// in (`awayFromUser`) or out; -1 when the step would leave 12.5 to 800 %.
int WheelZoomPosition(double zoom, bool awayFromUser);
// Applies that step to the application's view (the control and the View menu
// follow); false when the zoom stays.
bool WheelZoom(CIconmillApp& app, bool awayFromUser);
