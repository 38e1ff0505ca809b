#include "core/item_list.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <utility>

namespace {

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// Right and bottom edges of an item's picture within the animation frame: the
// image's width and |height| (the reference's for a duplicate) plus the item's own
// position. Computed in 64 bits and clamped, so hostile sizes and positions give a
// large bound rather than a wrapped one.
struct Extent {
    int right = 0;
    int bottom = 0;
};

Extent ExtentOf(const tagILVITEM& item) {
    const DibHeader* header = item.Image().header;
    if (!header) return {};
    const std::int64_t right = std::int64_t{header->biWidth} + item.x;
    const std::int64_t bottom = std::abs(std::int64_t{header->biHeight}) + item.y;
    return {ClampToInt(right), ClampToInt(bottom)};
}

// The sort key of an item, read from its picture (the reference's for a duplicate).
std::int64_t KeyOf(const tagILVITEM& item, SortKey key) {
    const DibHeader* header = item.Image().header;
    if (!header) return 0;
    switch (key) {
        case SortKey::Width:
            return header->biWidth;
        case SortKey::Height:
            return std::abs(std::int64_t{header->biHeight});
        case SortKey::BitCount:
            return header->biBitCount;
    }
    return 0;
}

void FreeBlocks(tagILVITEM& item) {
    std::free(item.header);
    std::free(item.bits);
    std::free(item.mask);
    item.header = nullptr;
    item.bits = nullptr;
    item.mask = nullptr;
}

}  // namespace

CItemList::~CItemList() {
    // Duplicates go first so that no record ever refers to a freed original.
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if ((*it)->IsDuplicate()) it->reset();
    }
    for (auto& item : items_) {
        if (item) FreeBlocks(*item);
    }
}

int CItemList::AddItem(NewItem item) {
    if (!item.header || !item.bits) return -1;
    try {
        auto record = std::make_unique<tagILVITEM>();
        record->frameInfo = item.frameInfo;
        record->x = item.x;
        record->y = item.y;
        items_.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return -1;  // `item` still owns the blocks and frees them
    }
    // Ownership moves only once the record is in the list, so no path leaks.
    tagILVITEM& added = *items_.back();
    added.header = item.header.release();
    added.bits = item.bits.release();
    added.mask = item.mask.release();
    RaiseBounds(added);
    NotifyLayout(true);
    return Count() - 1;
}

int CItemList::AddDuplicate(const FrameInfo& frameInfo, std::int32_t x, std::int32_t y,
                            int referenceIndex) {
    tagILVITEM* reference = Item(referenceIndex);
    if (!reference || reference->IsDuplicate()) return -1;
    try {
        auto record = std::make_unique<tagILVITEM>();
        record->frameInfo = frameInfo;
        record->reference = reference;
        record->x = x;
        record->y = y;
        items_.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    ++reference->duplicateCount;
    RaiseBounds(*items_.back());
    NotifyLayout(true);
    return Count() - 1;
}

bool CItemList::RemoveItem(int index) {
    const tagILVITEM* item = Item(index);
    if (!item || item->duplicateCount > 0) return false;
    const Extent extent = ExtentOf(*item);
    const bool recompute = extent.right >= bounding_width_ || extent.bottom >= bounding_height_;
    RemoveAt(index);
    if (listener_) listener_->OnResetPositions(false);
    if (recompute) ComputeBounds();
    NotifyLayout(true);
    return true;
}

void CItemList::RemoveAllItems() {
    for (int i = Count() - 1; i >= 0; --i) {
        if (items_[i]->IsDuplicate()) RemoveAt(i);
    }
    for (int i = Count() - 1; i >= 0; --i) RemoveAt(i);
    bounding_width_ = 0;
    bounding_height_ = 0;
    if (listener_) listener_->OnResetPositions(true);
    NotifyLayout(true);
}

bool CItemList::GetItem(int index, tagILVITEM* out) const {
    const tagILVITEM* item = Item(index);
    if (!item || !out) return false;
    *out = *item;
    return true;
}

tagILVITEM* CItemList::Item(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[index].get();
}

const tagILVITEM* CItemList::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[index].get();
}

int CItemList::IndexOf(const tagILVITEM* item) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i].get() == item) return i;
    }
    return -1;
}

int CItemList::GetFirstSelected(tagILVITEM* out) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i]->IsSelected()) {
            if (out) *out = *items_[i];
            return i;
        }
    }
    return -1;
}

int CItemList::GetSelectedCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const auto& item) { return item->IsSelected(); }));
}

bool CItemList::IsSelectionEmpty() const {
    return GetFirstSelected(nullptr) < 0;
}

void CItemList::SelectAll() {
    for (auto& item : items_) item->flags |= kItemSelected;
    NotifyLayout(true);
}

void CItemList::SetSelected(int index, bool selected) {
    tagILVITEM* item = Item(index);
    if (!item) return;
    if (selected) {
        item->flags |= kItemSelected;
    } else {
        item->flags &= ~kItemSelected;
    }
}

int CItemList::FindItem(const DibHeader* header, const std::uint8_t* bits,
                        const std::uint8_t* mask) const {
    for (int i = 0; i < Count(); ++i) {
        const tagILVITEM& item = *items_[i];
        if (item.IsDuplicate()) continue;
        if (item.header == header && item.bits == bits && (!mask || item.mask == mask)) return i;
    }
    return -1;
}

void CItemList::RecalcBounds(bool repaint) {
    ComputeBounds();
    NotifyLayout(repaint);
}

void CItemList::SortItems(SortKey key, bool descending) {
    // An exchange sort: records at i and j swap whenever j's key belongs before i's.
    // Equal keys are never exchanged directly, but may change order through a
    // third record (so [2a, 2b, 1] ascending gives [1, 2b, 2a]).
    const int count = Count();
    for (int i = 0; i + 1 < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            const std::int64_t keyI = KeyOf(*items_[i], key);
            const std::int64_t keyJ = KeyOf(*items_[j], key);
            if (descending ? keyI < keyJ : keyJ < keyI) std::swap(items_[i], items_[j]);
        }
    }
    for (auto& item : items_) item->flags &= ~kItemSelected;
    if (listener_) listener_->OnResetPositions(true);
    NotifyLayout(true);
    if (listener_) listener_->OnOrderChanged();
}

void CItemList::MoveItem(int from, int to) {
    if (!Item(from) || !Item(to) || from == to) return;
    const auto first = items_.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    NotifyLayout(true);
}

void CItemList::RaiseBounds(const tagILVITEM& item) {
    const Extent extent = ExtentOf(item);
    bounding_width_ = std::max(bounding_width_, extent.right);
    bounding_height_ = std::max(bounding_height_, extent.bottom);
}

void CItemList::ComputeBounds() {
    bounding_width_ = 0;
    bounding_height_ = 0;
    for (const auto& item : items_) RaiseBounds(*item);
}

// The removal protocol shared by RemoveItem and RemoveAllItems: the owner hears of
// the removal while the record and its blocks are still intact, then the list
// frees them (a duplicate's blocks belong to its reference) and closes the gap.
void CItemList::RemoveAt(int index) {
    tagILVITEM& item = *items_[index];
    if (item.reference) --item.reference->duplicateCount;
    if (listener_) listener_->OnItemRemoving(index);
    if (!item.IsDuplicate()) FreeBlocks(item);
    items_.erase(items_.begin() + index);
}

void CItemList::NotifyLayout(bool repaint) {
    if (batch_depth_ > 0) {
        layout_pending_ = true;
        repaint_pending_ = repaint_pending_ || repaint;
        return;
    }
    if (listener_) listener_->OnLayoutChanged(repaint);
}

void CItemList::EndBatch() {
    if (--batch_depth_ > 0 || !layout_pending_) return;
    const bool repaint = repaint_pending_;
    layout_pending_ = false;
    repaint_pending_ = false;
    if (listener_) listener_->OnLayoutChanged(repaint);
}

int DuplicateSelectedItems(CItemList& list) {
    CItemList::UpdateBatch batch(list);
    // Only the items present at the start are visited; the new duplicates are
    // appended unselected behind them.
    const int count = list.Count();
    int added = 0;
    for (int i = 0; i < count; ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected()) continue;
        const int referenceIndex = item->IsDuplicate() ? list.IndexOf(item->reference) : i;
        const tagILVITEM* reference = list.Item(referenceIndex);
        if (!reference) continue;
        // The duplicate takes the original's timing and position, not those of a
        // selected duplicate.
        const FrameInfo frameInfo = reference->frameInfo;
        if (list.AddDuplicate(frameInfo, reference->x, reference->y, referenceIndex) >= 0) ++added;
    }
    return added;
}

int DeleteAllDuplications(CItemList& list) {
    CItemList::UpdateBatch batch(list);
    int removed = 0;
    for (int i = list.Count() - 1; i >= 0; --i) {
        if (list.Item(i)->IsDuplicate() && list.RemoveItem(i)) ++removed;
    }
    return removed;
}
