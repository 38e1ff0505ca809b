#include "app/size_set.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/application.h"
#include "app/report.h"
#include "core/dib.h"
#include "formats/compilation.h"
#include "ops/convert_bit_depth.h"
#include "ops/mask_edit.h"
#include "ops/smooth_resize.h"
#include "platform/door/interaction.h"
#include "platform/door/string_table.h"

const std::vector<int>& SizeSetPresetSizes(SizeSetPreset preset) {
    static const std::vector<int> kIcon = {16, 20, 24, 32, 40, 48, 64, 256};
    static const std::vector<int> kCursor = {32, 48, 64, 96, 128};
    static const std::vector<int> kFavicon = {16, 32, 48};
    static const std::vector<int> kNone;
    switch (preset) {
        case SizeSetPreset::Icon:
            return kIcon;
        case SizeSetPreset::Cursor:
            return kCursor;
        case SizeSetPreset::Favicon:
            return kFavicon;
        case SizeSetPreset::Custom:
            return kNone;
    }
    return kNone;
}

namespace {

// A comma list of whole numbers, each accepted by `valid`.
template <class Valid>
std::optional<std::vector<int>> ParseNumberList(std::string_view text, Valid valid) {
    std::vector<int> values;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        if (part.empty() || part.size() > 6) return std::nullopt;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (!valid(value)) return std::nullopt;
        values.push_back(value);
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
    }
    return values;
}

void SortUnique(std::vector<int>& values, bool descending) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    if (descending) std::reverse(values.begin(), values.end());
}

}  // namespace

std::optional<std::vector<int>> ParseSizeList(std::string_view text) {
    static const struct {
        const char* name;
        SizeSetPreset preset;
    } kPresets[] = {{"icon", SizeSetPreset::Icon},
                    {"cursor", SizeSetPreset::Cursor},
                    {"favicon", SizeSetPreset::Favicon}};
    for (const auto& p : kPresets)
        if (text == p.name) return SizeSetPresetSizes(p.preset);
    auto sizes = ParseNumberList(text, [](int v) { return v >= 1 && v <= kMaxSizeSetSize; });
    if (sizes) SortUnique(*sizes, false);
    return sizes;
}

std::optional<std::vector<int>> ParseSizeSetDepths(std::string_view text) {
    auto depths = ParseNumberList(text, [](int v) { return v == 32 || v == 8 || v == 4; });
    if (depths) SortUnique(*depths, true);
    return depths;
}

std::optional<SizeSetOptions> ParseSizeSetSpec(std::string_view text) {
    SizeSetOptions options;
    const std::size_t first = text.find(':');
    auto sizes = ParseSizeList(text.substr(0, first));
    if (!sizes) return std::nullopt;
    options.sizes = std::move(*sizes);
    if (first == std::string_view::npos) return options;
    std::string_view rest = text.substr(first + 1);
    if (rest == "keep") {
        options.keepSource = true;
        return options;
    }
    const std::size_t second = rest.find(':');
    auto depths = ParseSizeSetDepths(rest.substr(0, second));
    if (!depths) return std::nullopt;
    options.depths = std::move(*depths);
    if (second == std::string_view::npos) return options;
    if (rest.substr(second + 1) != "keep") return std::nullopt;
    options.keepSource = true;
    return options;
}

const char* const kSizeSetListMessage =
    "Please enter sizes from 1 to 1024 pixels, separated by commas.";

std::optional<SizeSetOptions> SizeSetOptionsOf(const SizeSetDialogValues& values) {
    SizeSetOptions options;
    if (values.preset == SizeSetPreset::Custom) {
        // Spaces around the numbers are allowed in the dialog.
        std::string list;
        for (char c : values.custom)
            if (c != ' ' && c != '\t') list += c;
        auto sizes = ParseSizeList(list);
        if (!sizes || list.empty() || !(list[0] >= '0' && list[0] <= '9')) return std::nullopt;
        options.sizes = std::move(*sizes);
    } else {
        options.sizes = SizeSetPresetSizes(values.preset);
    }
    if (values.depth8) options.depths.push_back(8);
    if (values.depth4) options.depths.push_back(4);
    options.keepSource = values.keepSource;
    return options;
}

SizeSetPreset DefaultSizeSetPreset(const CIconmillApp& app) {
    const CompilationType type = app.Compilation().Type();
    return type == CompilationCursor || type == CompilationAnimatedCursor ? SizeSetPreset::Cursor
                                                                           : SizeSetPreset::Icon;
}

std::pair<int, int> ScaleSizeSetHotspot(int x, int y, int width, int height, int size) {
    const auto scale = [size](int v, int extent) {
        if (extent <= 0) return 0;
        const std::int64_t scaled = (2 * std::int64_t{v} * size + extent) / (2 * std::int64_t{extent});
        return static_cast<int>(std::clamp<std::int64_t>(scaled, 0, size - 1));
    };
    return {scale(x, width), scale(y, height)};
}

namespace {

// The source as 32-bit straight alpha: its own alpha when it has any; otherwise
// opaque, transparent where its mask is.
ImageResult StraightAlphaSource(const tagILVITEM& item, HeaderBlock* header, Block* bits) {
    const DibHeader* source = item.header;
    const ImageResult made = source->biBitCount == 32
                                 ? CopyDib(source, item.bits, header, bits)
                                 : ConvertBitDepth(source, item.bits, 32, header, bits, 0);
    if (made != ImageOk) return made;
    const int width = (*header)->biWidth;
    const int height = static_cast<int>(DibAbsHeight(header->get()));
    auto surface = RasterSurface::Over(header->get(), bits->get(), DibImageSize(header->get()));
    if (!surface) return ImageNoSurface;
    if (source->biBitCount == 32) {
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = surface->Row(y);
            for (int x = 0; x < width; ++x)
                if (row[4 * static_cast<std::size_t>(x) + 3]) return ImageOk;
        }
    }
    std::optional<RasterImage> mask;
    const MaskDibHeader maskHeader(*source);
    if (item.mask) mask = RasterImage::Describe(&maskHeader.header, item.mask, MaskBlockSize(source));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = surface->Row(y);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
            const bool transparent = mask && (RasterPixelArgb(*mask, x, y) & 0xFFFFFF) != 0;
            if (transparent)
                std::memset(p, 0, 4);
            else
                p[3] = 255;
        }
    }
    return ImageOk;
}

// The mask of a 32-bit picture: transparent where alpha < `threshold`.
Block MaskFromAlpha(const DibHeader* picture, const std::uint8_t* bits, int threshold) {
    Block mask = NewMask(picture);
    if (!mask) return mask;
    const MaskDibHeader maskHeader(*picture);
    auto maskSurface = RasterSurface::Over(&maskHeader.header, mask.get(), MaskBlockSize(picture));
    const auto image = RasterImage::Describe(picture, bits, DibImageSize(picture));
    if (!maskSurface || !image) return nullptr;
    for (int y = 0; y < image->height; ++y) {
        const std::uint8_t* row = image->Row(y);
        for (int x = 0; x < image->width; ++x)
            if (row[4 * static_cast<std::size_t>(x) + 3] < threshold) maskSurface->SetRawPixel(x, y, 1);
    }
    return mask;
}

// The pictures of one source's set, in their list order.
ImageResult MakeSet(const tagILVITEM& source, const SizeSetOptions& options,
                    std::vector<NewItem>* out) {
    HeaderBlock baseHeader;
    Block baseBits;
    if (const ImageResult r = StraightAlphaSource(source, &baseHeader, &baseBits); r != ImageOk)
        return r;
    const int width = source.header->biWidth;
    const int height = static_cast<int>(DibAbsHeight(source.header));
    for (int size : options.sizes) {
        HeaderBlock header;
        Block bits;
        if (const ImageResult r =
                SmoothResizeImage(baseHeader.get(), baseBits.get(), size, size, &header, &bits);
            r != ImageOk)
            return r;
        for (int depth : options.depths) {
            NewItem item;
            item.frameInfo = source.frameInfo;
            const auto [hx, hy] = ScaleSizeSetHotspot(source.frameInfo.hotspotX,
                                                      source.frameInfo.hotspotY, width, height, size);
            item.frameInfo.hotspotX = static_cast<std::int16_t>(hx);
            item.frameInfo.hotspotY = static_cast<std::int16_t>(hy);
            item.x = source.x;
            item.y = source.y;
            const ImageResult made =
                depth == 32 ? CopyDib(header.get(), bits.get(), &item.header, &item.bits)
                            : ConvertBitDepth(header.get(), bits.get(), depth, &item.header,
                                              &item.bits, 0);
            if (made != ImageOk) return made;
            // The 32-bit entries get a mask too, transparent only where alpha is 0:
            // a file's AND mask is what readers that ignore alpha (and this editor,
            // once the file is read back) draw through, so an all-opaque one would
            // show the transparent parts black; and the icon writer clears the
            // pixels under the mask, which must not take partial alpha with them.
            item.mask = MaskFromAlpha(header.get(), bits.get(), depth == 32 ? 1 : 128);
            if (!item.mask) return ImageOutOfMemory;
            out->push_back(std::move(item));
        }
    }
    return ImageOk;
}

}  // namespace

PictureRunOutcome CreateSizeSets(CIconmillApp& app, const SizeSetOptions& options) {
    if (options.sizes.empty() || options.depths.empty()) return {};
    Interaction& ui = app.Ui();
    CItemList& list = app.Items();
    const bool everyFrame = app.Compilation().Type() == CompilationAnimatedCursor;
    std::vector<tagILVITEM*> sources;
    for (int i = 0; i < list.Count(); ++i) {
        tagILVITEM* item = list.Item(i);
        if (!item->IsDuplicate() && (everyFrame || item->IsSelected())) sources.push_back(item);
    }
    if (sources.empty()) return {};

    PictureRunOutcome outcome{true, false};
    std::vector<tagILVITEM*> made;
    {
        CItemList::UpdateBatch redrawOff(list);
        BusyRequest request;
        request.text = LoadStringText(kStrInProgress);
        request.cancellable = true;
        request.marquee = true;
        BusyScope busy(ui, request);
        for (tagILVITEM* source : sources) {
            if (ui.PollBusyCancelled()) {
                outcome.done = false;
                break;
            }
            std::vector<NewItem> set;
            const ImageResult result = MakeSet(*source, options, &set);
            if (result != ImageOk) {
                ReportImageResult(ui, false, result, result == ImageSystemError ? errno : 0,
                                  "(Create Size Set)");
                outcome = {false, true};
                break;
            }
            int at = list.IndexOf(source) + 1;
            std::size_t next = 0;
            if (!options.keepSource && source->duplicateCount > 0) {
                // Its duplicates refer to this record: it takes the first picture,
                // and their hot spots are scaled to it as its own is.
                NewItem& first = set[next++];
                const int oldWidth = source->header->biWidth;
                const int oldHeight = static_cast<int>(DibAbsHeight(source->header));
                for (int i = 0; i < list.Count(); ++i) {
                    FrameInfo& frame = list.Item(i)->frameInfo;
                    if (list.Item(i)->reference != source) continue;
                    const auto [hx, hy] = ScaleSizeSetHotspot(frame.hotspotX, frame.hotspotY, oldWidth,
                                                              oldHeight, first.header->biWidth);
                    frame.hotspotX = static_cast<std::int16_t>(hx);
                    frame.hotspotY = static_cast<std::int16_t>(hy);
                }
                std::free(source->header);
                std::free(source->bits);
                std::free(source->mask);
                source->header = first.header.release();
                source->bits = first.bits.release();
                source->mask = first.mask.release();
                source->frameInfo = first.frameInfo;
                made.push_back(source);
            }
            for (; next < set.size(); ++next) {
                const int added = list.AddItem(std::move(set[next]));
                if (added < 0) {
                    ReportImageResult(ui, false, ImageOutOfMemory, 0, "(Create Size Set)");
                    outcome = {false, true};
                    break;
                }
                list.MoveItem(added, at);
                made.push_back(list.Item(at));
                ++at;
            }
            if (!options.keepSource && source->duplicateCount == 0 && !outcome.failed)
                list.RemoveItem(list.IndexOf(source));
            app.SetModified();
            if (outcome.failed) break;
        }
        for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, false);
        for (const tagILVITEM* item : made) list.SetSelected(list.IndexOf(item), true);
        list.RecalcBounds(false);
    }
    app.NotifyPicturesChanged();
    app.NotifySelectionChanged();
    return outcome;
}
