#include "app/merge_split_commands.h"

#include <algorithm>

#include "app/application.h"
#include "app/report.h"
#include "core/dib.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

namespace {

constexpr int kLargestSplitCount = 999;

void ShowInvalidParameters(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrInvalidParameters, MessageIcon::None));
}

void ReportBuildFailure(Interaction& ui, ImageResult result) {
    if (result == ImageOutOfMemory)
        ReportOutOfMemory(ui);
    else
        ReportGenericFailure(ui);
}

bool AnySelectedHasDuplicates(const CItemList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (item->IsSelected() && item->duplicateCount > 0) return true;
    }
    return false;
}

}  // namespace

// ---- Merge ----

std::vector<MergeSource> SelectedMergeSources(const CItemList& list) {
    std::vector<MergeSource> sources;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!item->IsSelected()) continue;
        const tagILVITEM& image = item->Image();
        sources.push_back({image.header, image.bits, image.mask});
    }
    return sources;
}

MergeDialogSetup DescribeMergeSelection(const CItemList& list) {
    const std::vector<MergeSource> sources = SelectedMergeSources(list);
    MergeDialogSetup setup;
    setup.sourceCount = static_cast<int>(sources.size());
    setup.cells = MergeCellsOf(sources);
    setup.deleteAllowed = !AnySelectedHasDuplicates(list);
    return setup;
}

std::optional<int> ReadMergeStripEntry(const MergeDialogSetup& setup, std::string_view text) {
    const auto value = ReadDialogNumber(text, false);
    if (!value || *value < 1 || *value > setup.sourceCount) return std::nullopt;
    return static_cast<int>(*value);
}

std::string MergeResultText(const MergeDialogSetup& setup, std::string_view stripText,
                            StripOrientation orientation) {
    const auto perStrip = ReadMergeStripEntry(setup, stripText);
    if (!perStrip) return {};
    const MergeSize size = MergedSize(setup.cells, setup.sourceCount, *perStrip, orientation);
    return FormatMessageText(LoadStringText(kStrMergeResult),
                             {static_cast<long long>(size.width),
                              static_cast<long long>(size.height), setup.cells.bitCount});
}

std::optional<FieldRejection<MergeField>> AcceptMergeDialog(const MergeDialogSetup& setup,
                                                            const MergeDialogEntries& entries,
                                                            MergeOptions* options) {
    const auto perStrip = ReadMergeStripEntry(setup, entries.stripText);
    if (!perStrip)
        return FieldRejection<MergeField>{MergeField::StripCount,
                                          ValueRangeMessage(1, setup.sourceCount)};
    options->parameters.perStrip = *perStrip;
    options->parameters.orientation = entries.orientation;
    options->parameters.fillBackground = entries.fillBackground;
    options->parameters.fillColor = entries.fillColor;
    options->deleteSources = setup.deleteAllowed && entries.deleteChecked;
    return std::nullopt;
}

bool BuildMergeResult(Interaction& ui, const std::vector<MergeSource>& sources,
                      const MergeParameters& parameters, HeaderBlock* outHeader, Block* outBits) {
    const ImageResult result = BuildMergedImage(sources, parameters, outHeader, outBits);
    if (result == ImageOk) return true;
    if (result == ImageInvalidArg)
        ShowInvalidParameters(ui);
    else
        ReportBuildFailure(ui, result);
    return false;
}

bool ApplyMerge(CIconmillApp& app, const MergeOptions& options) {
    CItemList& list = app.Items();
    const std::vector<MergeSource> sources = SelectedMergeSources(list);
    NewItem merged;
    if (!BuildMergeResult(app.Ui(), sources, options.parameters, &merged.header, &merged.bits))
        return false;
    const bool deleteSources = options.deleteSources && !AnySelectedHasDuplicates(list);
    CItemList::UpdateBatch batch(list);
    if (list.AddItem(std::move(merged)) < 0) {
        ReportOutOfMemory(app.Ui());
        return false;
    }
    app.SetModified();
    if (deleteSources) {
        // The entries' blocks stay valid until their own original is removed, and
        // each original is removed once: FindItem compares pointers only.
        for (const MergeSource& source : sources) {
            const int index = list.FindItem(source.header, source.bits);
            if (index >= 0) list.RemoveItem(index);  // refuses originals with duplicates
        }
    }
    return true;
}

// ---- Split ----

SplitDialogSetup DescribeSplitItem(const CItemList& list, int index) {
    const tagILVITEM* item = list.Item(index);
    if (!item) return {};
    const DibHeader* header = item->Image().header;
    SplitDialogSetup setup;
    setup.width = std::max(header->biWidth, 0);
    setup.height = static_cast<int>(std::min<std::uint32_t>(DibAbsHeight(header), 0x7FFFFFFF));
    setup.deleteAllowed = item->duplicateCount == 0;
    return setup;
}

std::string SplitPictureLabel(const DibHeader* header) {
    return FormatMessageText(LoadStringText(kStrSplitPictureLabel),
                             {header->biWidth, header->biHeight, unsigned{header->biBitCount}});
}

int SplitCountLimit(int size) {
    return std::clamp(size, 0, kLargestSplitCount);
}

namespace {

// A count within 1 to the side's limit, or nullopt.
std::optional<int> ReadSplitCountInRange(std::string_view text, int size) {
    const auto value = ReadDialogNumber(text, false);
    if (!value || *value < 1 || *value > SplitCountLimit(size)) return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace

std::optional<int> ReadSplitCount(std::string_view text, int size) {
    const auto count = ReadSplitCountInRange(text, size);
    if (!count || size % *count != 0) return std::nullopt;
    return count;
}

std::string SplitResultText(const SplitDialogSetup& setup, std::string_view widthText,
                            std::string_view heightText) {
    const auto across = ReadSplitCount(widthText, setup.width);
    const auto down = ReadSplitCount(heightText, setup.height);
    if (!across || !down) return {};
    return FormatMessageText(LoadStringText(kStrSplitResult),
                             {static_cast<unsigned>(*across * *down), setup.width / *across,
                              setup.height / *down});
}

std::vector<FieldRejection<SplitField>> AcceptSplitDialog(const SplitDialogSetup& setup,
                                                          const SplitDialogEntries& entries,
                                                          SplitOptions* options) {
    std::vector<FieldRejection<SplitField>> rejections;
    const auto check = [&](SplitField field, std::string_view text, int size,
                           StringId notDivisible) -> std::optional<int> {
        const auto count = ReadSplitCountInRange(text, size);
        if (!count) {
            rejections.push_back({field, ValueRangeMessage(1, SplitCountLimit(size))});
            return std::nullopt;
        }
        if (size % *count != 0) {
            rejections.push_back({field, PlainMessage(notDivisible, MessageIcon::Exclamation)});
            return std::nullopt;
        }
        return count;
    };
    const auto across = check(SplitField::Width, entries.widthText, setup.width,
                              kStrWidthNotDivisible);
    const auto down = check(SplitField::Height, entries.heightText, setup.height,
                            kStrHeightNotDivisible);
    if (!across || !down) return rejections;
    options->tilesAcross = *across;
    options->tilesDown = *down;
    options->deleteSource = setup.deleteAllowed && entries.deleteChecked;
    return rejections;
}

bool ApplySplit(CIconmillApp& app, int index, const SplitOptions& options) {
    CItemList& list = app.Items();
    const tagILVITEM* item = list.Item(index);
    if (!item) return false;
    // The picture's blocks belong to an original that stays in the list while
    // the tiles are appended (records do not move when the list grows).
    const DibHeader* header = item->Image().header;
    const std::uint8_t* bits = item->Image().bits;
    if (!SplitTileSize(header, options.tilesAcross, options.tilesDown)) {
        ShowInvalidParameters(app.Ui());
        return false;
    }

    CItemList::UpdateBatch batch(list);
    for (int row = 0; row < options.tilesDown; ++row) {
        for (int column = 0; column < options.tilesAcross; ++column) {
            NewItem tile;
            const ImageResult result =
                MakeSplitTile(header, bits, options.tilesAcross, options.tilesDown, column, row,
                              &tile.header, &tile.bits);
            if (result != ImageOk) {
                ReportBuildFailure(app.Ui(), result);
                return false;
            }
            if (list.AddItem(std::move(tile)) < 0) {
                ReportOutOfMemory(app.Ui());
                return false;
            }
            app.SetModified();
        }
    }
    if (options.deleteSource && list.Item(index)->duplicateCount == 0) list.RemoveItem(index);
    return true;
}
