// The history of changes to the compilation, for Undo and Redo.
//
// Before a command that may change the compilation runs, a recorder takes a
// picture of everything the command could replace: every item with its blocks
// (header and colour table, pixel rows, mask), frame values, position and
// selection, the duplicates and the originals they refer to, the list order,
// and the compilation's options (play count, first-frame flag, the animated PNG
// and animated cursor save options). When the command changed anything, that
// picture becomes an undo step named by the command. Undo puts the current state
// on the redo side and brings the step's state back; Redo does the reverse. A
// block that a step did not change is shared with the state before it, so a
// step costs about the blocks it replaced.
//
// The history is bounded by the bytes of the blocks it holds and by its number
// of steps; the oldest steps are dropped first. Opening, New and a change of the
// compilation type start a new history. The modified flag follows the history:
// coming back to the state of the last save clears it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "core/item.h"
#include "formats/ani/ani_save_options.h"
#include "formats/png/png_save_options.h"

class CIconmillApp;

// The memory the history's blocks may take (512 MiB) and its number of steps.
constexpr std::size_t kDefaultHistoryMemoryLimit = std::size_t{512} << 20;
constexpr std::size_t kDefaultHistoryStepLimit = 100;

struct HistoryLimits {
    std::size_t memoryBytes = kDefaultHistoryMemoryLimit;
    std::size_t steps = kDefaultHistoryStepLimit;
};

// A block kept by the history, shared by every state it is the same in.
using StoredBlock = std::shared_ptr<const std::vector<std::uint8_t>>;

struct StoredItem {
    bool selected = false;
    FrameInfo frameInfo;
    std::int32_t x = 0;
    std::int32_t y = 0;
    int reference = -1;  // a duplicate: the index of its original; -1 for an original
    StoredBlock header;  // header and colour table; null on a duplicate
    StoredBlock bits;    // null on a duplicate
    StoredBlock mask;    // null without a mask and on a duplicate
    // Where the blocks were in the list when the picture was taken: the next
    // picture compares only these with the live blocks to share what is unchanged.
    const void* liveHeader = nullptr;
    const void* liveBits = nullptr;
    const void* liveMask = nullptr;
};

// One state of the compilation as the history keeps it.
struct CompilationState {
    std::vector<StoredItem> items;
    std::uint32_t numPlays = 0;
    bool firstFrameExcluded = false;
    PngSaveOptions png;  // only for an animated PNG compilation
    AniSaveOptions ani;  // only for an animated cursor compilation

    // Whether the states are the same item by item, block bytes included.
    bool SameAs(const CompilationState& other) const;
};

// The bytes of the blocks of the application's items, as a picture would hold them.
std::size_t StateBytes(const CIconmillApp& app);

// Takes the picture of the application's state. Blocks equal to those of
// `previous` (a picture taken earlier) are shared with it instead of copied.
// Null when memory runs out.
std::unique_ptr<CompilationState> CaptureState(const CIconmillApp& app,
                                               const CompilationState* previous = nullptr);

// Makes the application's list and options those of `state`. False, with
// nothing changed, when memory for the blocks runs out.
bool RestoreState(CIconmillApp& app, const CompilationState& state);

class CHistory {
public:
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The command the next Undo (Redo) takes back (repeats); 0 when none or unnamed.
    CommandId UndoCommand() const { return undo_.empty() ? CommandId{0} : undo_.back().command; }
    CommandId RedoCommand() const { return redo_.empty() ? CommandId{0} : redo_.back().command; }
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }
    // Steps dropped by the limits since the history began.
    std::size_t DroppedSteps() const { return dropped_; }
    // The bytes of the distinct blocks the steps hold.
    std::size_t MemoryUsed() const { return memory_; }

    const HistoryLimits& Limits() const { return limits_; }
    // New limits apply at once: the oldest steps beyond them are dropped.
    void SetLimits(const HistoryLimits& limits);

    // Forgets every step and begins anew; the current state is the saved one
    // when `saved`. Each new history has a new generation.
    void Clear(bool saved);
    std::uint64_t Generation() const { return generation_; }

    // The current state was saved (or is the one opened).
    void MarkSaved() { saved_ = current_; }
    bool AtSavedState() const { return saved_ == current_; }

    // A change was made whose state before could not be kept (beyond the memory
    // bound, or out of memory): every step is dropped, as the oldest would be.
    void DropAll();

    // A command changed the compilation: `before` is the state it replaced.
    // Forgets what could be redone.
    void Push(CommandId command, std::unique_ptr<CompilationState> before);

    // The state the next Undo (Redo) brings back, or null.
    const CompilationState* UndoState() const;
    const CompilationState* RedoState() const;
    // The picture a new one shares its unchanged blocks with: the state an undo
    // or redo restored, else the newest step's; null when there is none.
    const CompilationState* SharingBase() const;
    // The picture of the list as an undo or redo has just restored it.
    void SetLive(std::unique_ptr<CompilationState> live) { live_ = std::move(live); }

    // After the application has taken the state of the next step: the current
    // state (`current`, taken just before) moves to the other side.
    void StepBack(std::unique_ptr<CompilationState> current);
    void StepForward(std::unique_ptr<CompilationState> current);

private:
    struct Step {
        CommandId command;
        std::unique_ptr<CompilationState> state;
        std::uint64_t id;  // the state's identity, for the saved mark
    };

    void Trim();
    std::size_t Measure() const;

    std::vector<Step> undo_;  // oldest first
    std::vector<Step> redo_;  // farthest first
    std::unique_ptr<CompilationState> live_;
    HistoryLimits limits_;
    std::size_t memory_ = 0;
    std::size_t dropped_ = 0;
    std::uint64_t generation_ = 0;
    std::uint64_t nextId_ = 1;
    std::uint64_t current_ = 0;
    std::uint64_t saved_ = 0;
};

// Records the command that runs while it lives as one step, when the
// compilation changed and no new history began meanwhile. Recorders nest: only
// the outermost one records.
class HistoryRecorder {
public:
    HistoryRecorder(CIconmillApp& app, CommandId command);
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

private:
    CIconmillApp& app_;
    CommandId command_;
    bool outermost_ = false;
    std::uint64_t generation_ = 0;
    std::uint64_t changes_ = 0;
    std::unique_ptr<CompilationState> before_;
};

// Whether a command may change the compilation, so that running it records a
// step. Open and New start a new history instead.
bool RecordsHistory(CommandId id);

// The Undo and Redo commands: false when there is nothing to undo (redo) or
// memory runs out (reported). The modified flag follows the history.
bool UndoLastChange(CIconmillApp& app);
bool RedoLastChange(CIconmillApp& app);
