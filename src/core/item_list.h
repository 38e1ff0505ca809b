// The ordered list of items of the current compilation, with its operations.
// It works without a window; the list view paints it and drives it, and hears of
// changes through the listener.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/block.h"
#include "core/item.h"

// What the list tells its owner. Every callback has an empty default.
class ItemListListener {
public:
    virtual ~ItemListListener() = default;
    // An item is about to be removed (notification 1); the list frees its blocks
    // afterwards. The owner marks the compilation modified.
    virtual void OnItemRemoving(int index) { (void)index; }
    // The order of the items changed by sorting (notification 2).
    virtual void OnOrderChanged() {}
    // The items, their sizes or the bounding size changed; the view lays out
    // and repaints (`repaint` false: lay out only).
    virtual void OnLayoutChanged(bool repaint) { (void)repaint; }
    // The view's hover (and, when `anchorToo`, anchor) positions are stale.
    virtual void OnResetPositions(bool anchorToo) { (void)anchorToo; }
};

// A new original item: the list takes over the blocks.
struct NewItem {
    HeaderBlock header;
    Block bits;
    Block mask;  // may be null
    FrameInfo frameInfo;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

enum class SortKey { Width = 0, Height = 1, BitCount = 2 };

class CItemList {
public:
    CItemList() = default;
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;
    ~CItemList();

    void SetListener(ItemListListener* listener) { listener_ = listener; }

    int Count() const { return static_cast<int>(items_.size()); }
    // The bounding size: the largest width + x and |height| + y over all items.
    int BoundingWidth() const { return bounding_width_; }
    int BoundingHeight() const { return bounding_height_; }

    // Appends an original; its blocks are taken over (and freed when the item
    // cannot be added). -1 when the header or the bits are missing.
    int AddItem(NewItem item);
    // Appends a duplicate of the original at `referenceIndex`; -1 when the index
    // is outside the list or names a duplicate.
    int AddDuplicate(const FrameInfo& frameInfo, std::int32_t x, std::int32_t y,
                     int referenceIndex);
    // Removes an item; false when the index is outside the list or the item
    // still has duplicates.
    bool RemoveItem(int index);
    // Removes every duplicate, then every original, last to first.
    void RemoveAllItems();

    // A view of the record; false for an index outside the list or a null out.
    bool GetItem(int index, tagILVITEM* out) const;
    // The record itself, for commands that change it in place (null outside the list).
    tagILVITEM* Item(int index);
    const tagILVITEM* Item(int index) const;
    int IndexOf(const tagILVITEM* item) const;

    // The lowest selected index with a view of its record in `out` (which may be
    // null); -1 when nothing is selected.
    int GetFirstSelected(tagILVITEM* out) const;
    int GetSelectedCount() const;
    bool IsSelectionEmpty() const;
    void SelectAll();
    // Sets or clears the selected bit; nothing outside the list. Sends nothing:
    // the selection gestures repaint once when they are done.
    void SetSelected(int index, bool selected);

    // The first original whose header and bits are these blocks (and whose mask
    // is this block, when one is given); -1 when none.
    int FindItem(const DibHeader* header, const std::uint8_t* bits,
                 const std::uint8_t* mask = nullptr) const;
    // Recomputes the bounding size from all items after an image was replaced in
    // place, lays out, and repaints only when asked.
    void RecalcBounds(bool repaint);
    // Exchange-sorts by the key of each item's picture, clears the selection and
    // reports the new order (OnOrderChanged).
    void SortItems(SortKey key, bool descending);

    // Moves the record at `from` to index `to` (the items between shift by one);
    // nothing for an index outside the list. Only the layout is notified: the
    // caller that reorders (a drop) reports the new order once it is done.
    void MoveItem(int from, int to);

    // While one of these lives, the list's OnLayoutChanged notifications are held
    // back and sent once when the outermost batch ends (repainting if any held-back
    // one asked to). Removal and order notifications are still sent as they happen.
    class UpdateBatch {
    public:
        explicit UpdateBatch(CItemList& list) : list_(list) { ++list_.batch_depth_; }
        UpdateBatch(const UpdateBatch&) = delete;
        UpdateBatch& operator=(const UpdateBatch&) = delete;
        ~UpdateBatch() { list_.EndBatch(); }

    private:
        CItemList& list_;
    };

private:
    void RaiseBounds(const tagILVITEM& item);
    void ComputeBounds();
    void RemoveAt(int index);
    void NotifyLayout(bool repaint);
    void EndBatch();

    std::vector<std::unique_ptr<tagILVITEM>> items_;
    int bounding_width_ = 0;
    int bounding_height_ = 0;
    ItemListListener* listener_ = nullptr;
    int batch_depth_ = 0;
    bool layout_pending_ = false;
    bool repaint_pending_ = false;
};

// The Duplicate command: appends a duplicate of every selected item's original
// (in index order, visiting only the items present at the start), each with a
// copy of the original's frame info and position, with one layout notification
// at the end. Returns how many were added; the caller marks the compilation
// modified when that is not 0.
int DuplicateSelectedItems(CItemList& list);

// The Delete All Duplications command: removes every duplicate with RemoveItem,
// last to first, with one layout notification at the end. Returns how many were
// removed.
int DeleteAllDuplications(CItemList& list);
