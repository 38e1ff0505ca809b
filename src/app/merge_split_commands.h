// The Merge and Split commands: what their dialogs show and check, and the apply
// steps the dialogs (on OK) and the command-line tool call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialog_entry.h"
#include "ops/merge_split.h"
#include "platform/block.h"

class CIconmillApp;
class CItemList;
class Interaction;

// ---- Merge ----

// The selected items' pictures in list order (a duplicate lends its reference's
// blocks), as BuildMergedImage takes them.
std::vector<MergeSource> SelectedMergeSources(const CItemList& list);

// What the Merge dialog is opened with.
struct MergeDialogSetup {
    int sourceCount = 0;  // n: the strip entry's up-down runs from 1 to n, starting at n
    MergeCells cells;     // cell size and the result's depth
    // "&Delete the source images after merge" is enabled only when no selected
    // item has duplicates.
    bool deleteAllowed = false;
};
MergeDialogSetup DescribeMergeSelection(const CItemList& list);

// The strip entry as a count from 1 to n, or nullopt while it is not one.
std::optional<int> ReadMergeStripEntry(const MergeDialogSetup& setup, std::string_view text);

// The result label: "Result: WxH, B-bit image" for the entry and orientation, or
// "" while the entry is invalid.
std::string MergeResultText(const MergeDialogSetup& setup, std::string_view stripText,
                            StripOrientation orientation);

// What OK (and Preview) decide.
struct MergeOptions {
    MergeParameters parameters;
    bool deleteSources = false;
};
struct MergeDialogEntries {
    std::string_view stripText;
    StripOrientation orientation = StripOrientation::Horizontal;
    bool fillBackground = false;
    ColorRef fillColor = 0;
    bool deleteChecked = false;
};
enum class MergeField { StripCount };
// OK: nullopt and the stored values (the delete flag only when the check box is
// enabled), or the range message (1 to n) for the strip entry, which then gets
// the focus.
std::optional<FieldRejection<MergeField>> AcceptMergeDialog(const MergeDialogSetup& setup,
                                                            const MergeDialogEntries& entries,
                                                            MergeOptions* options);

// BuildMergedImage for the apply step and the dialog's preview, telling the user
// of a failure: "Invalid parameters." for refused parameters, the
// out-of-memory message (error icon), or "Failed to perform the operation. Some
// things wrong." when a picture cannot be drawn. False after such a message.
bool BuildMergeResult(Interaction& ui, const std::vector<MergeSource>& sources,
                      const MergeParameters& parameters, HeaderBlock* outHeader, Block* outBits);

// The Merge command after OK: merges the selected items into a new item appended
// at (0, 0) with a new frame (delay 600 ms) and no mask, and marks the
// compilation modified. With `deleteSources`, and only when no selected item has
// duplicates, each source's original is then removed (originals that still have
// duplicates stay; duplicates are never removed this way). True when the item was
// added.
bool ApplyMerge(CIconmillApp& app, const MergeOptions& options);

// ---- Split ----

// What the Split dialog is opened with: the picture of the item (its reference's
// for a duplicate).
struct SplitDialogSetup {
    int width = 0;
    int height = 0;  // absolute
    // "&Delete the source image after split" is enabled only when the item has
    // no duplicates.
    bool deleteAllowed = false;
};
// The item at `index` of the list; a setup of zeros outside the list.
SplitDialogSetup DescribeSplitItem(const CItemList& list, int index);

// The preview pane's label "WxH, B-bit" (signed height).
std::string SplitPictureLabel(const DibHeader* header);

// The up-down range of a count for a side of `size` pixels: 1 to min(size, 999).
int SplitCountLimit(int size);
// A count entry that is valid (a whole number within its range that divides
// `size`), or nullopt: the edit then paints red, and the preview draws no grid.
std::optional<int> ReadSplitCount(std::string_view text, int size);

// "Result: N numbers of WxH images" while both entries are valid, else "".
std::string SplitResultText(const SplitDialogSetup& setup, std::string_view widthText,
                            std::string_view heightText);

struct SplitOptions {
    int tilesAcross = 1;
    int tilesDown = 1;
    bool deleteSource = false;
};
struct SplitDialogEntries {
    std::string_view widthText;
    std::string_view heightText;
    bool deleteChecked = false;
};
enum class SplitField { Width, Height };
// OK checks both entries, each on its own, the width first: outside its range
// the range message (1 to the limit), in range but not dividing "Width is not
// divisible to the round number." or "Height is not divisible to the round
// number."; the dialog shows them in order, focusing each field after its
// message. Empty when both are valid, with the values stored (the delete flag
// only when the check box is enabled).
std::vector<FieldRejection<SplitField>> AcceptSplitDialog(const SplitDialogSetup& setup,
                                                          const SplitDialogEntries& entries,
                                                          SplitOptions* options);

// The Split command after OK on the item at `index` (the first selected; a
// duplicate is cut from its reference's picture): appends the tiles row by row
// from the top-left, each bottom-up with the picture's header and colour table,
// at (0, 0) with a new frame and no mask, marking the compilation modified.
// Counts that do not divide the picture show "Invalid parameters."; a failing
// tile shows its message and ends the run, the tiles made so far staying. Only
// when every tile was made and `deleteSource` is set is the item removed, and
// only when it has no duplicates. True when every tile was made.
bool ApplySplit(CIconmillApp& app, int index, const SplitOptions& options);
