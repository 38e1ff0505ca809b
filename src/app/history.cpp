#include "app/history.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "app/application.h"
#include "app/report.h"
#include "core/dib.h"

namespace {

std::size_t HeaderBlockSize(const DibHeader* header) {
    return std::size_t{header->biSize} + DibColorTableSize(header);
}

std::size_t MaskBlockSize(const DibHeader* header) {
    return DibImageSizeFor(header->biWidth, header->biHeight, 1);
}

bool SameBytes(const StoredBlock& block, const void* live, std::size_t size) {
    return block->size() == size && (size == 0 || std::memcmp(block->data(), live, size) == 0);
}

// The block of `previous` at the same live address with the same bytes, or a copy.
StoredBlock Keep(const void* live, std::size_t size, const StoredBlock* previous) {
    if (!live) return nullptr;
    if (previous && *previous && SameBytes(*previous, live, size)) return *previous;
    const auto* bytes = static_cast<const std::uint8_t*>(live);
    return std::make_shared<const std::vector<std::uint8_t>>(bytes, bytes + size);
}

bool SameBlock(const StoredBlock& a, const StoredBlock& b) {
    if (a == b) return true;
    if (!a || !b) return false;
    return *a == *b;
}

// A malloc copy of a stored block (the list owns the copies it is given).
Block CopyOut(const StoredBlock& block) {
    if (!block) return nullptr;
    Block copy = AllocateBlock(block->size());
    if (copy && !block->empty()) std::memcpy(copy.get(), block->data(), block->size());
    return copy;
}

}  // namespace

bool CompilationState::SameAs(const CompilationState& other) const {
    if (numPlays != other.numPlays || firstFrameExcluded != other.firstFrameExcluded ||
        png.grayscale != other.png.grayscale || png.interlaced != other.png.interlaced ||
        png.filter != other.png.filter || png.compression != other.png.compression ||
        ani.name != other.ani.name || ani.artist != other.ani.artist ||
        ani.imagesPerDirectory != other.ani.imagesPerDirectory ||
        ani.individualRates != other.ani.individualRates || items.size() != other.items.size())
        return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const StoredItem& a = items[i];
        const StoredItem& b = other.items[i];
        const FrameInfo& fa = a.frameInfo;
        const FrameInfo& fb = b.frameInfo;
        if (a.selected != b.selected || a.x != b.x || a.y != b.y || a.reference != b.reference ||
            fa.delay != fb.delay || fa.blendOp != fb.blendOp || fa.disposeOp != fb.disposeOp ||
            fa.hotspotX != fb.hotspotX || fa.hotspotY != fb.hotspotY ||
            !SameBlock(a.header, b.header) || !SameBlock(a.bits, b.bits) ||
            !SameBlock(a.mask, b.mask))
            return false;
    }
    return true;
}

std::size_t StateBytes(const CIconmillApp& app) {
    std::size_t bytes = 0;
    const CItemList& list = app.Items();
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM& item = *list.Item(i);
        if (item.IsDuplicate()) continue;
        bytes += HeaderBlockSize(item.header) + DibImageSize(item.header);
        if (item.mask) bytes += MaskBlockSize(item.header);
    }
    return bytes;
}

std::unique_ptr<CompilationState> CaptureState(const CIconmillApp& app,
                                               const CompilationState* previous) {
    try {
        auto state = std::make_unique<CompilationState>();
        const CItemList& list = app.Items();
        const CCompilation& compilation = app.Compilation();
        state->numPlays = compilation.numPlays;
        state->firstFrameExcluded = compilation.firstFrameExcluded;
        if (compilation.Type() == CompilationAnimatedPng)
            state->png = static_cast<const CAnimatedPNGCompilation&>(compilation).png;
        if (compilation.Type() == CompilationAnimatedCursor)
            state->ani = static_cast<const CAnimatedCursorCompilation&>(compilation).ani;
        // The earlier picture's blocks by the live address they were taken from.
        struct Earlier {
            const StoredBlock* header = nullptr;
            const StoredBlock* bits = nullptr;
            const StoredBlock* mask = nullptr;
        };
        // A block a command replaced by an equal one (a flip's header) is found
        // at the same index instead.
        auto earlierOf = [previous](const tagILVITEM& item, std::size_t index) {
            Earlier found;
            if (!previous) return found;
            if (index < previous->items.size() && previous->items[index].reference < 0) {
                const StoredItem& same = previous->items[index];
                found = {&same.header, &same.bits, same.mask ? &same.mask : nullptr};
            }
            for (const StoredItem& stored : previous->items) {
                if (stored.reference >= 0) continue;
                if (stored.liveHeader == item.header) found.header = &stored.header;
                if (stored.liveBits == item.bits) found.bits = &stored.bits;
                if (item.mask && stored.liveMask == item.mask) found.mask = &stored.mask;
            }
            return found;
        };
        state->items.reserve(static_cast<std::size_t>(list.Count()));
        for (int i = 0; i < list.Count(); ++i) {
            const tagILVITEM& item = *list.Item(i);
            StoredItem stored;
            stored.selected = item.IsSelected();
            stored.frameInfo = item.frameInfo;
            stored.x = item.x;
            stored.y = item.y;
            if (item.IsDuplicate()) {
                stored.reference = list.IndexOf(item.reference);
            } else {
                const Earlier earlier = earlierOf(item, static_cast<std::size_t>(i));
                stored.header = Keep(item.header, HeaderBlockSize(item.header), earlier.header);
                stored.bits = Keep(item.bits, DibImageSize(item.header), earlier.bits);
                stored.mask = Keep(item.mask, MaskBlockSize(item.header), earlier.mask);
                stored.liveHeader = item.header;
                stored.liveBits = item.bits;
                stored.liveMask = item.mask;
            }
            state->items.push_back(std::move(stored));
        }
        return state;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool RestoreState(CIconmillApp& app, const CompilationState& state) {
    // Every block is copied before the list is touched, so a failure changes nothing.
    std::vector<NewItem> originals;
    try {
        originals.reserve(state.items.size());
        for (const StoredItem& stored : state.items) {
            if (stored.reference >= 0) continue;
            NewItem item;
            Block header = CopyOut(stored.header);
            item.header = HeaderBlock(reinterpret_cast<DibHeader*>(header.release()));
            item.bits = CopyOut(stored.bits);
            item.mask = CopyOut(stored.mask);
            if (!item.header || !item.bits || (stored.mask && !item.mask)) return false;
            item.frameInfo = stored.frameInfo;
            item.x = stored.x;
            item.y = stored.y;
            originals.push_back(std::move(item));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    CItemList& list = app.Items();
    CItemList::UpdateBatch batch(list);
    list.RemoveAllItems();
    // Originals first, in order, then the duplicates (which need their originals
    // in the list); then every record is moved to its place.
    const int count = static_cast<int>(state.items.size());
    std::vector<const tagILVITEM*> records(state.items.size(), nullptr);
    std::vector<int> listIndexOf(state.items.size(), -1);
    std::size_t next = 0;
    for (int i = 0; i < count; ++i) {
        if (state.items[static_cast<std::size_t>(i)].reference >= 0) continue;
        const int index = list.AddItem(std::move(originals[next++]));
        listIndexOf[static_cast<std::size_t>(i)] = index;
        records[static_cast<std::size_t>(i)] = list.Item(index);
    }
    for (int i = 0; i < count; ++i) {
        const StoredItem& stored = state.items[static_cast<std::size_t>(i)];
        if (stored.reference < 0) continue;
        const int reference = listIndexOf[static_cast<std::size_t>(stored.reference)];
        const int index = list.AddDuplicate(stored.frameInfo, stored.x, stored.y, reference);
        records[static_cast<std::size_t>(i)] = list.Item(index);
    }
    for (int place = 0; place < count; ++place) {
        const tagILVITEM* record = records[static_cast<std::size_t>(place)];
        if (!record) continue;
        const int from = list.IndexOf(record);
        if (from != place) list.MoveItem(from, place);
    }
    for (int i = 0; i < list.Count(); ++i)
        list.SetSelected(i, state.items[static_cast<std::size_t>(i)].selected);

    CCompilation& compilation = app.Compilation();
    compilation.numPlays = state.numPlays;
    compilation.firstFrameExcluded = state.firstFrameExcluded;
    if (auto* apng = compilation.AsAnimatedPng()) apng->png = state.png;
    if (auto* ani = compilation.AsAnimatedCursor()) ani->ani = state.ani;
    return true;
}

void CHistory::SetLimits(const HistoryLimits& limits) {
    limits_ = limits;
    Trim();
}

void CHistory::Clear(bool saved) {
    undo_.clear();
    redo_.clear();
    live_.reset();
    memory_ = 0;
    dropped_ = 0;
    ++generation_;
    current_ = nextId_++;
    saved_ = saved ? current_ : 0;
}

void CHistory::DropAll() {
    dropped_ += undo_.size() + redo_.size() + 1;
    undo_.clear();
    redo_.clear();
    live_.reset();
    memory_ = 0;
    current_ = nextId_++;
}

void CHistory::Push(CommandId command, std::unique_ptr<CompilationState> before) {
    redo_.clear();
    undo_.push_back({command, std::move(before), current_});
    current_ = nextId_++;
    Trim();
}

const CompilationState* CHistory::UndoState() const {
    return undo_.empty() ? nullptr : undo_.back().state.get();
}

const CompilationState* CHistory::RedoState() const {
    return redo_.empty() ? nullptr : redo_.back().state.get();
}

const CompilationState* CHistory::SharingBase() const {
    if (live_) return live_.get();
    if (!redo_.empty()) return redo_.back().state.get();
    return UndoState();
}

void CHistory::StepBack(std::unique_ptr<CompilationState> current) {
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back({step.command, std::move(current), current_});
    current_ = step.id;
    Trim();
}

void CHistory::StepForward(std::unique_ptr<CompilationState> current) {
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back({step.command, std::move(current), current_});
    current_ = step.id;
    Trim();
}

std::size_t CHistory::Measure() const {
    std::unordered_set<const void*> seen;
    std::size_t bytes = 0;
    auto count = [&](const StoredBlock& block) {
        if (block && seen.insert(block.get()).second) bytes += block->size();
    };
    for (const auto* side : {&undo_, &redo_})
        for (const Step& step : *side)
            for (const StoredItem& item : step.state->items) {
                count(item.header);
                count(item.bits);
                count(item.mask);
            }
    return bytes;
}

// The oldest undo steps go first; once none is left, the farthest redo steps.
void CHistory::Trim() {
    memory_ = Measure();
    while ((memory_ > limits_.memoryBytes || undo_.size() + redo_.size() > limits_.steps) &&
           !(undo_.empty() && redo_.empty())) {
        if (!undo_.empty())
            undo_.erase(undo_.begin());
        else
            redo_.erase(redo_.begin());
        ++dropped_;
        memory_ = Measure();
    }
}

HistoryRecorder::HistoryRecorder(CIconmillApp& app, CommandId command)
    : app_(app), command_(command) {
    outermost_ = app_.BeginRecording();
    if (!outermost_) return;
    generation_ = app_.History().Generation();
    changes_ = app_.ChangeCount();
    // A state beyond the memory bound could never be kept: it is not copied.
    if (StateBytes(app_) > app_.History().Limits().memoryBytes) return;
    before_ = CaptureState(app_, app_.History().SharingBase());
}

HistoryRecorder::~HistoryRecorder() {
    app_.EndRecording();
    if (!outermost_) return;
    CHistory& history = app_.History();
    if (history.Generation() != generation_ || app_.ChangeCount() == changes_) return;
    if (!before_) {
        // Without the state it replaced the change cannot be taken back, and
        // neither can anything before it.
        history.DropAll();
        return;
    }
    history.Push(command_, std::move(before_));
}

bool RecordsHistory(CommandId id) {
    switch (id) {
        case kCmdNewCompilation:
        case kCmdOpen:
        case kCmdSave:
        case kCmdSaveAs:
        case kCmdSaveSelection:
        case kCmdExportDib:
        case kCmdExportBits:
        case kCmdExit:
        case kCmdUndo:
        case kCmdRedo:
        case kCmdCopy:
        case kCmdSelectReference:
        case kCmdSelectDuplications:
        case kCmdSelectAll:
        case kCmdSelectNone:
        case kCmdInvertSelection:
        case kCmdSelectAllSames:
        case kCmdToolbarStandard:
        case kCmdToolbarImageEditor:
        case kCmdToolbarType:
        case kCmdAlignAuto:
        case kCmdAlignHorizontally:
        case kCmdAlignVertically:
        case kCmdSortByButton:
        case kCmdSortAscending:
        case kCmdSortDescending:
        case kCmdZoomIn:
        case kCmdZoomOut:
        case kCmdBackgroundBlack:
        case kCmdBackgroundWhite:
        case kCmdBackgroundGray:
        case kCmdBackgroundWindow:
        case kCmdBackgroundTransparent:
        case kCmdBackgroundCustom:
        case kCmdShowBoundingBox:
        case kCmdPreviewMask:
        case kCmdPreviewAlpha:
        case kCmdDisplayQuickInfo:
        case kCmdOpenInViewer:
        case kCmdRotateButton:
        case kCmdOptions:
        case kCmdViewHelp:
        case kCmdVersionHistory:
        case kCmdTermOfUse:
        case kCmdAbout:
            return false;
        default:
            return !(id >= kCmdZoom12 && id <= kCmdZoom800);
    }
}

namespace {

bool Step(CIconmillApp& app, bool back) {
    CHistory& history = app.History();
    const CompilationState* target = back ? history.UndoState() : history.RedoState();
    if (!target) return false;
    std::unique_ptr<CompilationState> current = CaptureState(app, history.SharingBase());
    std::unique_ptr<CompilationState> restored;
    try {
        restored = std::make_unique<CompilationState>(*target);
    } catch (const std::bad_alloc&) {
    }
    if (!current || !restored || !RestoreState(app, *target)) {
        ReportOutOfMemory(app.Ui());
        return false;
    }
    // The restored blocks are copies of the step's: the next picture shares them.
    for (int i = 0; i < app.Items().Count(); ++i) {
        const tagILVITEM& item = *app.Items().Item(i);
        StoredItem& stored = restored->items[static_cast<std::size_t>(i)];
        stored.liveHeader = item.header;
        stored.liveBits = item.bits;
        stored.liveMask = item.mask;
    }
    if (back)
        history.StepBack(std::move(current));
    else
        history.StepForward(std::move(current));
    history.SetLive(std::move(restored));
    if (history.AtSavedState())
        app.ClearModified();
    else
        app.SetModified();
    app.NotifySelectionChanged();
    return true;
}

}  // namespace

bool UndoLastChange(CIconmillApp& app) {
    return Step(app, true);
}

bool RedoLastChange(CIconmillApp& app) {
    return Step(app, false);
}
