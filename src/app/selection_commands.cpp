#include "app/selection_commands.h"

#include <cstdlib>

#include "app/application.h"
#include "core/item_list.h"

namespace {

// Sets each item's selection from `selected(index, item)`, then tells the listener.
template <class Rule>
void Reselect(CIconmillApp& app, Rule selected) {
    CItemList& list = app.Items();
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, selected(i, *list.Item(i)));
    app.NotifySelectionChanged();
}

bool SameSize(const DibHeader& a, const DibHeader& b) {
    return a.biWidth == b.biWidth && std::abs(std::int64_t{a.biHeight}) ==
                                         std::abs(std::int64_t{b.biHeight});
}

}  // namespace

void SelectAllItems(CIconmillApp& app) {
    Reselect(app, [](int, const tagILVITEM&) { return true; });
}

void SelectNoItems(CIconmillApp& app) {
    Reselect(app, [](int, const tagILVITEM&) { return false; });
}

void InvertSelection(CIconmillApp& app) {
    Reselect(app, [](int, const tagILVITEM& item) { return !item.IsSelected(); });
}

void SelectReference(CIconmillApp& app) {
    CItemList& list = app.Items();
    if (list.GetSelectedCount() != 1) return;
    const tagILVITEM* selected = list.Item(list.GetFirstSelected(nullptr));
    if (!selected->IsDuplicate()) return;
    const tagILVITEM* reference = selected->reference;
    Reselect(app, [&](int, const tagILVITEM& item) { return &item == reference; });
}

void SelectDuplications(CIconmillApp& app) {
    CItemList& list = app.Items();
    if (list.GetSelectedCount() != 1) return;
    const tagILVITEM* original = list.Item(list.GetFirstSelected(nullptr));
    if (original->IsDuplicate() || original->duplicateCount == 0) return;
    Reselect(app, [&](int, const tagILVITEM& item) { return item.reference == original; });
}

void SelectAllSames(CIconmillApp& app, bool sameBitCount) {
    CItemList& list = app.Items();
    if (list.IsSelectionEmpty()) return;
    auto matches = [&](const DibHeader& a, const DibHeader& b) {
        return SameSize(a, b) && (!sameBitCount || a.biBitCount == b.biBitCount);
    };
    for (int i = 0; i < list.Count(); ++i) {
        tagILVITEM* candidate = list.Item(i);
        if (candidate->IsSelected()) continue;
        const DibHeader& picture = *candidate->Image().header;
        for (int j = 0; j < list.Count(); ++j) {
            const tagILVITEM* other = list.Item(j);
            if (other->IsSelected() && matches(*other->Image().header, picture)) {
                list.SetSelected(i, true);
                break;
            }
        }
    }
    app.NotifySelectionChanged();
}
