#include "formats/psd/psd_import.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/checked_math.h"
#include "core/dib.h"
#include "core/image_limits.h"
#include "core/item_list.h"

namespace {

// A zero-filled bottom-up 24- or 32-bit image, or false when it cannot be made
// (or would exceed the image limit, which counts as memory running out).
bool MakeBlankImage(std::int64_t width, std::int64_t height, unsigned bitCount,
                    HeaderBlock* outHeader, Block* outBits) {
    if (width <= 0 || height <= 0 || width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max())
        return false;
    std::optional<std::size_t> size = CheckedMul(
        RowStride(static_cast<std::uint32_t>(width), bitCount), static_cast<std::size_t>(height));
    if (!size || *size > kMaxImageBytes) return false;
    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize);
    Block bits = AllocateZeroedBlock(*size);
    if (!header || !bits) return false;
    header->biSize = kBitmapInfoHeaderSize;
    header->biWidth = static_cast<std::int32_t>(width);
    header->biHeight = static_cast<std::int32_t>(height);
    header->biPlanes = 1;
    header->biBitCount = static_cast<std::uint16_t>(bitCount);
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return true;
}

class Importer {
public:
    Importer(CItemList& list, PsdImportOutcome& outcome) : list_(list), outcome_(outcome) {}

    void Add(HeaderBlock header, Block bits, std::int32_t x, std::int32_t y) {
        NewItem item;
        item.header = std::move(header);
        item.bits = std::move(bits);
        item.x = x;
        item.y = y;
        if (list_.AddItem(std::move(item)) >= 0) ++outcome_.added;
    }

    // Adds a copy of an image; false when the copy failed (counted as memory
    // running out).
    bool AddCopy(const DibHeader* header, const std::uint8_t* bits, std::int32_t x,
                 std::int32_t y) {
        HeaderBlock copyHeader;
        Block copyBits;
        if (CopyDib(header, bits, &copyHeader, &copyBits) != ImageOk) return OutOfMemory();
        Add(std::move(copyHeader), std::move(copyBits), x, y);
        return true;
    }

    bool OutOfMemory() {
        ++outcome_.outOfMemory;
        return false;
    }

    // Blends part of a layer onto an image. The rectangles are inside both images,
    // and both have 24 or 32 bits per pixel, so the blend cannot refuse.
    static void Blend(const HeaderBlock& header, const Block& bits, std::int64_t dx,
                      std::int64_t dy, const CPSDLayer& layer, std::int64_t sx, std::int64_t sy,
                      std::int64_t width, std::int64_t height) {
        ImageResult result = BlendRect(
            header.get(), bits.get(), static_cast<int>(dx), static_cast<int>(dy),
            layer.header.get(), layer.bits.get(), static_cast<int>(sx), static_cast<int>(sy),
            static_cast<int>(width), static_cast<int>(height), layer.opacity);
        (void)result;
    }

    bool Separate(const CPSDParser& parser, const std::vector<const CPSDLayer*>& layers,
                  const PsdImportChoice& choice) {
        for (const CPSDLayer* layer : layers) {
            if (choice.maintainCoordinates) {
                const std::int64_t x0 = std::max<std::int64_t>(layer->left, 0);
                const std::int64_t y0 = std::max<std::int64_t>(layer->top, 0);
                const std::int64_t x1 = std::min<std::int64_t>(layer->right, parser.Width());
                const std::int64_t y1 = std::min<std::int64_t>(layer->bottom, parser.Height());
                if (x1 <= x0 || y1 <= y0) continue;  // wholly outside the document
                HeaderBlock header;
                Block bits;
                if (!MakeBlankImage(parser.Width(), parser.Height(), layer->header->biBitCount,
                                    &header, &bits))
                    return OutOfMemory();
                Blend(header, bits, x0, y0, *layer, x0 - layer->left, y0 - layer->top, x1 - x0,
                      y1 - y0);
                Add(std::move(header), std::move(bits), 0, 0);
            } else if (choice.topLeftAsPosition) {
                // A failed copy is counted; the other layers still come.
                (void)AddCopy(layer->header.get(), layer->bits.get(), std::max(layer->left, 0),
                              std::max(layer->top, 0));
            } else {
                (void)AddCopy(layer->header.get(), layer->bits.get(), 0, 0);
            }
        }
        return true;
    }

    bool Blended(const std::vector<const CPSDLayer*>& layers, const PsdImportChoice& choice) {
        const CPSDLayer& background = *layers.front();
        const bool stepwise = choice.mode != PsdModeMerged;
        HeaderBlock header;
        Block bits;
        if (!MakeBlankImage(background.Width(), background.Height(), background.header->biBitCount,
                            &header, &bits))
            return OutOfMemory();
        auto addStep = [&] { return AddCopy(header.get(), bits.get(), 0, 0); };

        if (choice.mode != PsdModeBlendWithBackground || choice.keepBackground) {
            Blend(header, bits, 0, 0, background, 0, 0, background.Width(), background.Height());
            if (stepwise && !addStep()) return false;
        }
        for (std::size_t i = 1; i < layers.size(); ++i) {
            const CPSDLayer& layer = *layers[i];
            // The composite keeps what earlier steps drew: the background goes on
            // top of it again before each layer.
            if (choice.mode == PsdModeBlendWithBackground)
                Blend(header, bits, 0, 0, background, 0, 0, background.Width(),
                      background.Height());
            const std::int64_t x0 = std::max<std::int64_t>(layer.left, background.left);
            const std::int64_t y0 = std::max<std::int64_t>(layer.top, background.top);
            const std::int64_t x1 = std::min<std::int64_t>(layer.right, background.right);
            const std::int64_t y1 = std::min<std::int64_t>(layer.bottom, background.bottom);
            if (x1 > x0 && y1 > y0)
                Blend(header, bits, x0 - background.left, y0 - background.top, layer,
                      x0 - layer.left, y0 - layer.top, x1 - x0, y1 - y0);
            if (stepwise && !addStep()) return false;
        }
        if (!stepwise) Add(std::move(header), std::move(bits), 0, 0);
        return true;
    }

private:
    CItemList& list_;
    PsdImportOutcome& outcome_;
};

}  // namespace

PsdImportChoice PsdChoiceFromSelectionCode(std::int32_t code) {
    PsdImportChoice choice;
    switch (code) {
        case 2:
            choice.mode = PsdModeBlendWithBackground;
            break;
        case 3:
            choice.mode = PsdModeBlendWithBackground;
            choice.keepBackground = true;
            break;
        case 4:
            choice.mode = PsdModeBlendWithPrevious;
            break;
        case 6:
            choice.mode = PsdModeSeparate;
            choice.maintainCoordinates = true;
            break;
        case 7:
            choice.mode = PsdModeSeparate;
            choice.topLeftAsPosition = true;
            break;
        case 8:
            choice.mode = PsdModeSeparate;
            break;
        default:
            // The merged image; the dialog also checks "keep the background layer".
            choice.keepBackground = true;
            break;
    }
    return choice;
}

std::int32_t PsdSelectionCodeFromChoice(const PsdImportChoice& choice) {
    switch (choice.mode) {
        case PsdModeBlendWithBackground:
            return choice.keepBackground ? 3 : 2;
        case PsdModeBlendWithPrevious:
            return 4;
        case PsdModeSeparate:
            return choice.maintainCoordinates ? 6 : choice.topLeftAsPosition ? 7 : 8;
        default:
            return 0;
    }
}

const char* PsdColorModeName(int colorMode) {
    switch (colorMode) {
        case 0:
            return "Bitmap";
        case 1:
            return "Grayscale";
        case 2:
            return "Indexed";
        case 3:
            return "RGB";
        case 4:
            return "CMYK";
        case 7:
            return "Multichannel";
        case 8:
            return "Duotone";
        case 9:
            return "Lab";
        default:
            return nullptr;
    }
}

PsdImportRequest MakePsdImportRequest(const CPSDParser& parser, std::int32_t selectionCode) {
    PsdImportRequest request;
    request.width = parser.Width();
    request.height = parser.Height();
    request.colorMode = parser.ColorMode();
    request.depth = parser.Depth();
    request.initial = PsdChoiceFromSelectionCode(selectionCode);
    for (const auto& layer : parser.Layers()) {
        if (!layer->HasImage()) continue;
        PsdLayerEntry entry;
        entry.name = layer->name;
        entry.left = layer->left;
        entry.top = layer->top;
        entry.right = layer->right;
        entry.bottom = layer->bottom;
        entry.hasAlpha = layer->HasAlphaChannel();
        entry.opacity = layer->opacity;
        entry.header = layer->header.get();
        entry.bits = layer->bits.get();
        request.initial.layers.push_back(static_cast<int>(request.layers.size()));
        request.layers.push_back(std::move(entry));
    }
    return request;
}

PsdImportOutcome ImportPsdMergedImage(const CPSDParser& parser, CItemList& list) {
    PsdImportOutcome outcome;
    if (!parser.MergedHeader()) return outcome;
    Importer importer(list, outcome);
    outcome.finished = importer.AddCopy(parser.MergedHeader(), parser.MergedBits(), 0, 0);
    return outcome;
}

std::vector<const CPSDLayer*> ChosenPsdLayers(const CPSDParser& parser,
                                              const PsdImportChoice& choice) {
    std::vector<int> indices = choice.layers;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::vector<const CPSDLayer*> listed;
    for (const auto& layer : parser.Layers())
        if (layer->HasImage()) listed.push_back(layer.get());
    std::vector<const CPSDLayer*> layers;
    for (int index : indices)
        if (index >= 0 && static_cast<std::size_t>(index) < listed.size())
            layers.push_back(listed[static_cast<std::size_t>(index)]);
    return layers;
}

PsdImportOutcome ImportPsdLayers(const CPSDParser& parser,
                                 const std::vector<const CPSDLayer*>& layers,
                                 const PsdImportChoice& choice, CItemList& list) {
    PsdImportOutcome outcome;
    Importer importer(list, outcome);
    if (layers.empty())
        outcome.finished = true;
    else if (choice.mode == PsdModeSeparate)
        outcome.finished = importer.Separate(parser, layers, choice);
    else
        outcome.finished = importer.Blended(layers, choice);
    return outcome;
}
