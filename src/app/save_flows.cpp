#include "app/save_flows.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "app/application.h"
#include "app/report.h"
#include "app/text_format.h"
#include "core/bmp_file.h"
#include "core/dib.h"
#include "formats/ani/ani_file.h"
#include "formats/icon/icon_file.h"
#include "formats/png/png_encoder.h"
#include "ops/resize_image.h"
#include "platform/door/interaction.h"
#include "platform/door/message_format.h"
#include "platform/door/string_table.h"

const char* const kSaveFileFilter =
    "Bitmap Files (*.bmp)|*.bmp|PNG Files (*.png)|*.png|Animated PNG (*.png)|*.png|Icon Files "
    "(*.ico)|*.ico|Cursor Files (*.cur)|*.cur|Animated Cursor Files (*.ani)|*.ani||";

namespace {

constexpr std::size_t kMaxDuplicateLines = 11;

// The items a flow writes, in list order: all, or the selected ones.
std::vector<const tagILVITEM*> ItemsToWrite(const CItemList& list, bool selectedOnly) {
    std::vector<const tagILVITEM*> items;
    for (int i = 0; i < list.Count(); ++i) {
        const tagILVITEM* item = list.Item(i);
        if (!selectedOnly || item->IsSelected()) items.push_back(item);
    }
    return items;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// Writes one picture of a series; reports a failure with the file's name.
bool WriteSeriesFile(Interaction& ui, SaveTarget kind, const std::string& path,
                     const tagILVITEM& picture, const PngSaveOptions& options) {
    if (kind == SaveTargetBmpSeries) {
        const ImageResult result = WriteBmpFile(path.c_str(), picture.header, picture.bits);
        if (result == ImageOk) return true;
        ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0, path.c_str());
        return false;
    }
    tagPNG_IMAGE_INFO image;
    image.header = picture.header;
    image.bits = picture.bits;
    const PngResult result = WritePngFile(path.c_str(), &image, 1, nullptr, true, 0, options);
    if (result == PngOk) return true;
    ReportPngResult(ui, false, result, result == PngSystemError ? errno : 0, path.c_str());
    return false;
}

// The animated PNG's canvas and the first picture as it is written.
struct FirstFrame {
    HeaderBlock header;  // a canvas-sized copy, or null when the picture is used as it is
    Block bits;
};

}  // namespace

std::string SeriesFileName(const std::string& folder, const std::string& title, unsigned number,
                           SaveTarget kind) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03u", number);
    return folder + title + digits + (kind == SaveTargetPngSeries ? ".png" : ".bmp");
}

std::string SeriesItemInitialName(const tagILVITEM& picture) {
    const DibHeader* header = picture.header;
    char name[64];
    std::snprintf(name, sizeof name, "%dx%u,%d-bit", header->biWidth, DibAbsHeight(header),
                  header->biBitCount);
    return name;
}

std::string NamingPanelText(unsigned itemCount) {
    return FormatMessageText(LoadStringText(kStrItemsToBeSaved), {itemCount});
}

std::string SeriesItemDialogText(unsigned remaining) {
    if (remaining == 0) return LoadStringText(kStrFinalItem);
    return FormatMessageText(LoadStringText(kStrItemsRemain), {remaining});
}

std::string DuplicatedResolutions(const std::vector<const tagILVITEM*>& pictures) {
    std::string lines;
    std::size_t count = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const DibHeader* a = pictures[i]->header;
        for (std::size_t j = i + 1; j < pictures.size(); ++j) {
            const DibHeader* b = pictures[j]->header;
            if (a->biBitCount != b->biBitCount || a->biWidth != b->biWidth ||
                a->biHeight != b->biHeight)
                continue;
            char line[64];
            std::snprintf(line, sizeof line, "%dx%d, %d-bit", a->biWidth, a->biHeight,
                          a->biBitCount);
            if (count > 0) lines += '\n';
            lines += line;
            if (++count == kMaxDuplicateLines) return lines + "\n...";
        }
    }
    return lines;
}

PngFrameDelay PngDelayOf(std::uint32_t milliseconds) {
    if (milliseconds <= 0xFFFF) return {static_cast<std::uint16_t>(milliseconds), 1000};
    for (std::uint32_t unit : {10u, 100u, 1000u}) {
        const std::uint64_t count = (std::uint64_t{milliseconds} + unit / 2) / unit;
        if (count <= 0xFFFF)
            return {static_cast<std::uint16_t>(count), static_cast<std::uint16_t>(1000 / unit)};
    }
    return {0xFFFF, 1};
}

std::optional<SaveDialogChoice> RunSaveDialog(Interaction& ui, const std::string& fileName,
                                              unsigned itemCount) {
    SaveDialogRequest request;
    request.fileName = fileName;
    request.itemCount = itemCount;
    std::optional<SaveDialogChoice> choice = ui.ChooseSaveTarget(request);
    // The naming choice means something only for a series.
    if (choice && choice->target != SaveTargetBmpSeries && choice->target != SaveTargetPngSeries)
        choice->askForEachItem = false;
    return choice;
}

SeriesOutcome SaveSeries(CIconmillApp& app, SaveTarget kind, const std::string& path,
                         bool selectedOnly, bool askForEachItem) {
    Interaction& ui = app.Ui();
    SeriesOutcome outcome;
    const std::vector<const tagILVITEM*> items = ItemsToWrite(app.Items(), selectedOnly);
    if (items.empty()) return outcome;
    // A bare file name lies in the current folder: PathFolder would give the
    // name itself and every further file would be named after it.
    const std::string folder =
        path.find('/') == std::string::npos ? std::string() : PathFolder(path);
    const std::string title = PathTitle(path);

    PngSaveOptions pngOptions;
    SeriesItemRequest itemRequest;
    if (kind == SaveTargetPngSeries) {
        if (!ui.EditPngOptions(pngOptions)) {
            outcome.cancelled = true;
            return outcome;
        }
        itemRequest.defaultExtension = "png";
        itemRequest.filter = "PNG Files (*.png)|*.png||";
    } else {
        itemRequest.defaultExtension = "bmp";
        itemRequest.filter = "Bitmap Files (*.bmp)|*.bmp||";
    }

    for (std::size_t i = 0; i < items.size(); ++i) {
        const unsigned number = static_cast<unsigned>(i + 1);
        const tagILVITEM& picture = items[i]->Image();
        std::string name;
        if (number == 1) {
            name = path;
        } else if (askForEachItem) {
            itemRequest.fileName = SeriesItemInitialName(picture);
            itemRequest.remaining = static_cast<unsigned>(items.size() - i - 1);
            std::optional<std::string> chosen = ui.ChooseSeriesItemPath(itemRequest);
            if (!chosen) {
                outcome.cancelled = true;
                return outcome;
            }
            name = std::move(*chosen);
        } else {
            name = SeriesFileName(folder, title, number, kind);
            if (FileExists(name)) {
                const Answer answer = ui.ShowMessage(
                    {kStrReplaceQuestion,
                     FormatMessageText(LoadStringText(kStrReplaceQuestion), {name}),
                     MessageIcon::Exclamation, MessageButtons::YesNoCancel,
                     LoadStringText(kStrConfirmReplace)});
                if (answer == Answer::Cancel) {
                    outcome.cancelled = true;
                    return outcome;
                }
                if (answer == Answer::No) continue;
            }
        }
        if (WriteSeriesFile(ui, kind, name, picture, pngOptions))
            ++outcome.written;
        else
            ++outcome.failed;
    }
    return outcome;
}

bool SaveIconFile(CIconmillApp& app, bool cursor, const std::string& path, bool selectedOnly) {
    Interaction& ui = app.Ui();
    const std::vector<const tagILVITEM*> items = ItemsToWrite(app.Items(), selectedOnly);
    if (items.empty()) return false;
    std::vector<tagICON_IMAGE_INFO> records;
    std::vector<const tagILVITEM*> pictures;
    for (const tagILVITEM* item : items) {
        const tagILVITEM& picture = item->Image();
        tagICON_IMAGE_INFO record;
        record.header = picture.header;
        record.bits = picture.bits;
        record.mask = picture.mask;
        record.hotspotX = item->frameInfo.hotspotX;
        record.hotspotY = item->frameInfo.hotspotY;
        records.push_back(record);
        pictures.push_back(&picture);
    }
    const std::string duplicated = DuplicatedResolutions(pictures);
    if (!duplicated.empty() &&
        ui.ShowMessage({kStrDuplicatedResolutions,
                        FormatMessageText(LoadStringText(kStrDuplicatedResolutions), {duplicated}),
                        MessageIcon::Exclamation, MessageButtons::OkCancel}) == Answer::Cancel)
        return false;

    const IconResult result = WriteIconFile(path.c_str(), cursor ? kIconTypeCursor : kIconTypeIcon,
                                            records.data(), records.size());
    if (result == IconOk) return true;
    ReportIconResult(ui, false, result, result == IconSystemError ? errno : 0, path.c_str());
    return false;
}

bool SaveAnimatedPng(CIconmillApp& app, const std::string& path, bool selectedOnly,
                     const AnimatedPngSaveOptions& options) {
    Interaction& ui = app.Ui();
    const std::vector<const tagILVITEM*> items = ItemsToWrite(app.Items(), selectedOnly);
    if (items.empty()) return false;
    const unsigned bitCount = items.front()->Image().header->biBitCount;
    for (const tagILVITEM* item : items) {
        if (item->Image().header->biBitCount != bitCount) {
            ui.ShowMessage(PlainMessage(kStrSameBitDepth, MessageIcon::None));
            return false;
        }
    }

    std::vector<tagPNG_IMAGE_INFO> images;
    std::vector<tagPNG_FRAME_CONTROL_INFO> controls;
    std::int64_t canvasWidth = 0;
    std::int64_t canvasHeight = 0;
    for (const tagILVITEM* item : items) {
        const tagILVITEM& picture = item->Image();
        tagPNG_IMAGE_INFO image;
        image.header = picture.header;
        image.bits = picture.bits;
        images.push_back(image);

        const FrameInfo& frame = item->frameInfo;
        tagPNG_FRAME_CONTROL_INFO control;
        control.width = static_cast<std::uint32_t>(picture.header->biWidth);
        control.height = DibAbsHeight(picture.header);
        control.xOffset = static_cast<std::uint32_t>(item->x);
        control.yOffset = static_cast<std::uint32_t>(item->y);
        const PngFrameDelay delay = PngDelayOf(frame.delay);
        control.delayNumerator = delay.numerator;
        control.delayDenominator = delay.denominator;
        control.disposeOp = frame.disposeOp == 0 ? 0 : frame.disposeOp == 2 ? 2 : 1;
        control.blendOp = frame.blendOp == 1 ? 1 : 0;
        controls.push_back(control);

        canvasWidth = std::max(canvasWidth, std::int64_t{picture.header->biWidth} + item->x);
        canvasHeight = std::max(canvasHeight, std::int64_t{DibAbsHeight(picture.header)} + item->y);
    }

    // The default image defines the canvas (the PNG header's size), so a first
    // picture of another size is written on a canvas-sized copy. The copy covers
    // the whole canvas, so its frame starts at the corner: an offset would push
    // the frame outside the canvas, which the format forbids.
    FirstFrame first;
    const tagILVITEM* firstItem = items.front();
    const DibHeader* firstHeader = firstItem->Image().header;
    if (canvasWidth != firstHeader->biWidth || canvasHeight != DibAbsHeight(firstHeader)) {
        ImageResult result = ImageOutOfMemory;
        if (canvasWidth <= std::numeric_limits<std::int32_t>::max() &&
            canvasHeight <= std::numeric_limits<std::int32_t>::max())
            result =
                ResizeImage(firstHeader, firstItem->Image().bits, static_cast<int>(canvasWidth),
                            static_cast<int>(canvasHeight), firstItem->x, firstItem->y,
                            &first.header, &first.bits, kPlaceOffset, 0);
        if (result != ImageOk) {
            ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0, nullptr);
            return false;
        }
        images.front().header = first.header.get();
        images.front().bits = first.bits.get();
        controls.front().width = static_cast<std::uint32_t>(canvasWidth);
        controls.front().height = static_cast<std::uint32_t>(canvasHeight);
        controls.front().xOffset = 0;
        controls.front().yOffset = 0;
    }

    const tagPNG_FRAME_CONTROL_INFO* frameControls =
        controls.data() + (options.firstFrameExcluded ? 1 : 0);
    const PngResult result =
        WritePngFile(path.c_str(), images.data(), images.size(), frameControls,
                     options.firstFrameExcluded, options.numPlays, options.png);
    if (result == PngOk) return true;
    ReportPngResult(ui, false, result, result == PngSystemError ? errno : 0, path.c_str());
    return false;
}

bool SaveAnimatedCursor(CIconmillApp& app, const std::string& path, bool selectedOnly,
                        const AniSaveOptions& options) {
    Interaction& ui = app.Ui();
    AniWriteInputs inputs;
    switch (MapItemsToAniInputs(app.Items(), selectedOnly, options, &inputs)) {
        case AniInputsOk:
            break;
        case AniInputsNothing:
            return false;
        case AniInputsImageCount:
            ui.ShowMessage({kStrAniImageCount,
                            FormatMessageText(LoadStringText(kStrAniImageCount),
                                              {std::max(options.imagesPerDirectory, 1)}),
                            MessageIcon::Exclamation, MessageButtons::Ok});
            return false;
    }
    const IconResult result = WriteAniFile(path.c_str(), inputs);
    if (result == IconOk) return true;
    ReportIconResult(ui, false, result, result == IconSystemError ? errno : 0, path.c_str());
    return false;
}

bool SaveCompilation(CIconmillApp& app) {
    if (app.Items().Count() == 0) return false;
    CCompilation& compilation = app.Compilation();
    if (!compilation.IsModified()) return true;
    const std::string* path = compilation.Path();
    if (compilation.Type() == CompilationNone || !path || path->empty())
        return SaveCompilationAs(app);

    bool written = false;
    switch (compilation.Type()) {
        case CompilationIcon:
        case CompilationCursor:
            written = SaveIconFile(app, compilation.Type() == CompilationCursor, *path, false);
            break;
        case CompilationAnimatedPng: {
            CAnimatedPNGCompilation* apng = compilation.AsAnimatedPng();
            PngSaveOptions png = apng->png;
            if (compilation.askForOptions) {
                if (!app.Ui().EditPngOptions(png)) return false;
                apng->png = png;
            }
            written = SaveAnimatedPng(
                app, *path, false,
                AnimatedPngSaveOptions{png, compilation.numPlays, compilation.firstFrameExcluded});
            break;
        }
        case CompilationAnimatedCursor: {
            CAnimatedCursorCompilation* ani = compilation.AsAnimatedCursor();
            AniSaveOptions options = ani->ani;
            if (compilation.askForOptions) {
                if (!app.Ui().EditAniOptions(options)) return false;
                ani->ani = options;
            }
            written = SaveAnimatedCursor(app, *path, false, options);
            break;
        }
        case CompilationNone:
            break;
    }
    if (!written) return false;
    app.ClearModified();
    app.recentFiles.Add(*path);
    if (compilation.Type() == CompilationAnimatedPng ||
        compilation.Type() == CompilationAnimatedCursor)
        compilation.askForOptions = false;
    return true;
}

bool SaveCompilationAs(CIconmillApp& app, SeriesOutcome* series) {
    if (app.Items().Count() == 0) return false;
    CCompilation& compilation = app.Compilation();
    const std::string* oldPath = compilation.Path();
    const std::string name =
        oldPath && !oldPath->empty() ? PathTitle(*oldPath) : LoadStringText(kStrUntitled);
    const std::optional<SaveDialogChoice> choice =
        RunSaveDialog(app.Ui(), name, static_cast<unsigned>(app.Items().Count()));
    if (!choice) return false;
    const std::string& path = choice->path;

    switch (choice->target) {
        case SaveTargetBmpSeries:
        case SaveTargetPngSeries: {
            const SeriesOutcome outcome =
                SaveSeries(app, choice->target, path, false, choice->askForEachItem);
            if (series) *series = outcome;
            app.ReplaceCompilation(MakeCompilation(CompilationNone));
            return true;
        }
        case SaveTargetAnimatedPng: {
            PngSaveOptions png;
            if (const CAnimatedPNGCompilation* apng = compilation.AsAnimatedPng())
                png = apng->png;
            if (!app.Ui().EditPngOptions(png)) return false;
            const std::uint32_t numPlays = compilation.numPlays;
            const bool excluded = compilation.firstFrameExcluded;
            if (!SaveAnimatedPng(app, path, false, AnimatedPngSaveOptions{png, numPlays, excluded}))
                return false;
            auto replacement = std::make_unique<CAnimatedPNGCompilation>(path);
            replacement->png = png;
            replacement->numPlays = numPlays;
            replacement->firstFrameExcluded = excluded;
            app.ReplaceCompilation(std::move(replacement));
            app.recentFiles.Add(path);
            return true;
        }
        case SaveTargetIcon:
        case SaveTargetCursor: {
            const bool cursor = choice->target == SaveTargetCursor;
            if (!SaveIconFile(app, cursor, path, false)) return false;
            app.ReplaceCompilation(
                MakeCompilation(cursor ? CompilationCursor : CompilationIcon, path));
            app.recentFiles.Add(path);
            return true;
        }
        case SaveTargetAnimatedCursor: {
            AniSaveOptions options;
            if (CAnimatedCursorCompilation* ani = compilation.AsAnimatedCursor())
                options = ani->ani;
            if (!app.Ui().EditAniOptions(options)) return false;
            if (!SaveAnimatedCursor(app, path, false, options)) return false;
            auto replacement = std::make_unique<CAnimatedCursorCompilation>(path);
            replacement->ani = options;
            app.ReplaceCompilation(std::move(replacement));
            app.recentFiles.Add(path);
            return true;
        }
        case SaveTargetNone:
            break;
    }
    return false;
}

bool SaveSelection(CIconmillApp& app) {
    const int selected = app.Items().GetSelectedCount();
    if (selected == 0) return false;
    const std::optional<SaveDialogChoice> choice =
        RunSaveDialog(app.Ui(), std::string(), static_cast<unsigned>(selected));
    if (!choice) return false;
    const CCompilation& compilation = app.Compilation();
    switch (choice->target) {
        case SaveTargetBmpSeries:
        case SaveTargetPngSeries: {
            const SeriesOutcome outcome =
                SaveSeries(app, choice->target, choice->path, true, choice->askForEachItem);
            return outcome.written > 0 && outcome.failed == 0 && !outcome.cancelled;
        }
        case SaveTargetAnimatedPng: {
            PngSaveOptions png;
            if (!app.Ui().EditPngOptions(png)) return false;
            return SaveAnimatedPng(
                app, choice->path, true,
                AnimatedPngSaveOptions{png, compilation.numPlays, compilation.firstFrameExcluded});
        }
        case SaveTargetIcon:
        case SaveTargetCursor:
            return SaveIconFile(app, choice->target == SaveTargetCursor, choice->path, true);
        case SaveTargetAnimatedCursor: {
            AniSaveOptions options;
            if (!app.Ui().EditAniOptions(options)) return false;
            return SaveAnimatedCursor(app, choice->path, true, options);
        }
        case SaveTargetNone:
            break;
    }
    return false;
}
