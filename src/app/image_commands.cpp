#include "app/image_commands.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "app/application.h"
#include "app/report.h"
#include "core/dib.h"
#include "ops/convert_bit_depth.h"
#include "ops/resize_image.h"
#include "ops/rotate_flip.h"
#include "ops/smooth_resize.h"
#include "platform/door/interaction.h"
#include "platform/door/string_table.h"

namespace {

// The header a mask is transformed with: 1 bit, the item's width and signed
// height, black (opaque) and white (transparent).
struct MaskHeader {
    DibHeader header;
    RgbQuad table[2];

    explicit MaskHeader(const DibHeader& picture)
        : header{kBitmapInfoHeaderSize,
                 picture.biWidth,
                 picture.biHeight,
                 1,
                 1,
                 kBiRgb,
                 0,
                 0,
                 0,
                 0,
                 0},
          table{{0, 0, 0, 0}, {255, 255, 255, 0}} {}
};
static_assert(sizeof(MaskHeader) == 48);

// The busy state of a run over the items, with the list's layout held back until
// the run ends.
BusyRequest RunBusyRequest() {
    BusyRequest request;
    request.text = LoadStringText(kStrInProgress);
    request.cancellable = true;
    request.marquee = true;
    return request;
}

void ShowMaskFailed(Interaction& ui) {
    ui.ShowMessage(PlainMessage(kStrMaskFailed, MessageIcon::Exclamation));
}

// Replaces an item's picture blocks, freeing the old ones.
void StorePicture(tagILVITEM& item, HeaderBlock header, Block bits) {
    std::free(item.header);
    std::free(item.bits);
    item.header = header.release();
    item.bits = bits.release();
}

void ReplaceMask(tagILVITEM& item, Block mask) {
    std::free(item.mask);
    item.mask = mask.release();
}

std::int16_t ClampHotspot(std::int64_t value, std::int64_t size) {
    const std::int64_t top =
        std::min<std::int64_t>(size - 1, std::numeric_limits<std::int16_t>::max());
    return static_cast<std::int16_t>(
        std::clamp<std::int64_t>(value, 0, std::max<std::int64_t>(top, 0)));
}

// Moves the hot spot of the original at `index` and of every duplicate showing it,
// by `map` (old x, y -> new x, y), clamped into a newWidth x newHeight picture.
template <class Map>
void MoveHotspots(CItemList& list, int index, std::int64_t newWidth, std::int64_t newHeight,
                  Map map) {
    const tagILVITEM* original = list.Item(index);
    for (int i = 0; i < list.Count(); ++i) {
        tagILVITEM* item = list.Item(i);
        if (i != index && item->reference != original) continue;
        FrameInfo& frame = item->frameInfo;
        const auto [x, y] = map(std::int64_t{frame.hotspotX}, std::int64_t{frame.hotspotY});
        frame.hotspotX = ClampHotspot(x, newWidth);
        frame.hotspotY = ClampHotspot(y, newHeight);
    }
}

// Tells the view the pictures changed: redraw.
void Repaint(CIconmillApp& app) {
    app.NotifyPicturesChanged();
}

// Reverses the rows of one item and its mask; false after reporting a failure of
// the picture. A failure of the mask is reported and sets *maskFailed.
bool ReverseItemRows(CIconmillApp& app, tagILVITEM& item, bool* maskFailed) {
    const MaskHeader maskHeader(*item.header);
    const ImageResult result = ReverseRowOrder(item.header, item.bits);
    if (result != ImageOk) {
        ReportImageResult(app.Ui(), false, result, result == ImageSystemError ? errno : 0, nullptr);
        return false;
    }
    item.header->biHeight = -item.header->biHeight;
    if (item.mask && ReverseRowOrder(&maskHeader.header, item.mask) != ImageOk) {
        ShowMaskFailed(app.Ui());
        *maskFailed = true;
    }
    app.SetModified();
    return true;
}

// Runs `step(index, item)` on every selected item that owns its picture, in the
// busy state; stops at ESC or at the first step that returns false. True when
// every step ran and succeeded.
template <class Step>
bool ForEachSelectedPicture(CIconmillApp& app, Step step) {
    Interaction& ui = app.Ui();
    CItemList& list = app.Items();
    BusyScope busy(ui, RunBusyRequest());
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
        if (ui.PollBusyCancelled()) return false;
        tagILVITEM* item = list.Item(i);
        if (!item || !item->IsSelected() || item->IsDuplicate()) continue;
        if (!step(i, *item)) return false;
    }
    return true;
}

}  // namespace

PictureRunOutcome ConvertSelectedItems(CIconmillApp& app, ConvertCommandId id) {
    static constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
    Interaction& ui = app.Ui();
    const bool rowOrder = id == kConvertTopDown || id == kConvertBottomUp;
    if (!rowOrder && (id < kConvert1Bit || id > kConvert32Bit)) return {};
    const int depth = rowOrder ? 0 : kDepths[id];

    ColorRef background = RgbColor(0, 0, 0);
    if (!rowOrder && depth != 32 && ui.IsShiftDown()) {
        const auto chosen = ui.ChooseColor(RgbColor(0, 0, 0));
        if (!chosen) return {};
        background = *chosen & 0x00FFFFFF;
    }

    PictureRunOutcome outcome;
    {
        CItemList::UpdateBatch redrawOff(app.Items());
        outcome.done = ForEachSelectedPicture(app, [&](int, tagILVITEM& item) {
            if (rowOrder) {
                const bool topDown = item.header->biHeight < 0;
                if (topDown == (id == kConvertTopDown)) return true;
                if (ReverseItemRows(app, item, &outcome.failed)) return true;
                outcome.failed = true;
                return false;
            }
            if (item.header->biBitCount == depth) return true;
            HeaderBlock header;
            Block bits;
            const ImageResult result =
                ConvertBitDepth(item.header, item.bits, depth, &header, &bits, background);
            if (result != ImageOk) {
                ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0,
                                  nullptr);
                outcome.failed = true;
                return false;
            }
            StorePicture(item, std::move(header), std::move(bits));
            app.SetModified();
            return true;
        });
    }
    Repaint(app);
    return outcome;
}

PictureRunOutcome RotateFlipSelectedItems(CIconmillApp& app, int operation) {
    Interaction& ui = app.Ui();
    CItemList& list = app.Items();
    const bool quarter = operation == kRotateClockwise || operation == kRotateCounterClockwise;
    PictureRunOutcome outcome;
    {
        CItemList::UpdateBatch redrawOff(list);
        outcome.done = ForEachSelectedPicture(app, [&](int i, tagILVITEM& item) {
            const int width = item.header->biWidth;
            const int height = static_cast<int>(DibAbsHeight(item.header));
            if (width == 1 && height == 1) return true;

            HeaderBlock header;
            Block bits;
            const ImageResult result =
                RotateFlipImage(item.header, item.bits, &header, &bits, operation);
            if (result != ImageOk) {
                ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0,
                                  "(Image Rotate)");
                outcome.failed = true;
                return false;
            }
            const MaskHeader maskHeader(*item.header);
            StorePicture(item, std::move(header), std::move(bits));
            if (item.mask) {
                Block mask;
                if (RotateFlipImage(&maskHeader.header, item.mask, nullptr, &mask, operation) ==
                    ImageOk) {
                    ReplaceMask(item, std::move(mask));
                } else {
                    ShowMaskFailed(ui);
                    outcome.failed = true;
                    // A mask of the old size must never be read with the new one.
                    if (quarter && width != height) ReplaceMask(item, nullptr);
                }
            }
            MoveHotspots(list, i, item.header->biWidth, DibAbsHeight(item.header),
                         [&](std::int64_t x, std::int64_t y) {
                             const PixelPosition p =
                                 RotateFlipPosition(operation, width, height, static_cast<int>(x),
                                                    static_cast<int>(y));
                             return std::pair<std::int64_t, std::int64_t>{p.x, p.y};
                         });
            app.SetModified();
            return true;
        });
        if (quarter) list.RecalcBounds(false);
    }
    Repaint(app);
    return outcome;
}

namespace {

// The common apply step of the two resize commands.
template <class Hotspot>
PictureRunOutcome ApplyResize(CIconmillApp& app, int index, int width, int height,
                           std::uint32_t placement, std::uint32_t fill, const char* subject,
                           Hotspot hotspot, bool smooth = false) {
    CItemList& list = app.Items();
    tagILVITEM* item = list.Item(index);
    if (!item || item->IsDuplicate()) return {};
    const int oldWidth = item->header->biWidth;
    const int oldHeight = static_cast<int>(DibAbsHeight(item->header));
    if (width == oldWidth && height == oldHeight) return {};

    HeaderBlock header;
    Block bits;
    const ImageResult result =
        smooth ? SmoothResizeImage(item->header, item->bits, width, height, &header, &bits)
               : ResizeImage(item->header, item->bits, width, height, 0, 0, &header, &bits,
                             placement, fill);
    if (result != ImageOk) {
        ReportImageResult(app.Ui(), false, result, result == ImageSystemError ? errno : 0, subject);
        return {false, true};
    }
    PictureRunOutcome outcome{true, false};
    const MaskHeader maskHeader(*item->header);
    StorePicture(*item, std::move(header), std::move(bits));
    if (item->mask) {
        Block mask;
        // The canvas border of a mask is opaque: black, index 0.
        if (ResizeImage(&maskHeader.header, item->mask, width, height, 0, 0, nullptr, &mask,
                        placement, RgbColor(0, 0, 0)) == ImageOk) {
            ReplaceMask(*item, std::move(mask));
        } else {
            ShowMaskFailed(app.Ui());
            outcome.failed = true;
            ReplaceMask(*item, nullptr);  // the old mask no longer fits the picture
        }
    }
    MoveHotspots(list, index, width, height, [&](std::int64_t x, std::int64_t y) {
        return hotspot(x, y, oldWidth, oldHeight);
    });
    list.RecalcBounds(false);
    Repaint(app);
    app.SetModified();
    return outcome;
}

}  // namespace

PictureRunOutcome ApplyImageResize(CIconmillApp& app, int index, int width, int height,
                                   bool smooth) {
    return ApplyResize(
        app, index, width, height, kPlaceStretch, 0, "(Image Resize)",
        [&](std::int64_t x, std::int64_t y, int oldWidth, int oldHeight) {
            return std::pair<std::int64_t, std::int64_t>{x * width / oldWidth,
                                                         y * height / oldHeight};
        },
        smooth);
}

PictureRunOutcome ApplyCanvasResize(CIconmillApp& app, int index, int width, int height,
                                 std::uint32_t anchor, std::uint32_t fill) {
    return ApplyResize(app, index, width, height, anchor, fill, "(Canvas Resize)",
                       [&](std::int64_t x, std::int64_t y, int oldWidth, int oldHeight) {
                           const AnchorSpan h = AnchorPlacement(anchor & 0x0F, oldWidth, width);
                           const AnchorSpan v =
                               AnchorPlacement((anchor >> 4) & 0x0F, oldHeight, height);
                           return std::pair<std::int64_t, std::int64_t>{
                               x + h.destination - h.source, y + v.destination - v.source};
                       });
}
