#include "formats/png/png_import.h"

#include <new>

#include "core/image_limits.h"
#include "formats/compilation.h"
#include "core/item_list.h"
#include "formats/png/png_encoder.h"
#include "platform/file_io.h"
#include "platform/last_error.h"

void PngReadContext::Clear() {
    images.clear();
    frameControls.clear();
    numPlays = 0;
}

namespace {

struct SinkState {
    PngReadContext* context;
    bool outOfMemory = false;
};

bool CollectIntoContext(PngSinkKind kind, void* record, void* state) {
    auto* s = static_cast<SinkState*>(state);
    try {
        switch (kind) {
            case PngSinkImage:
                s->context->images.push_back(std::move(*static_cast<PngImage*>(record)));
                return true;
            case PngSinkAnimationControl:
                s->context->numPlays = static_cast<const PngAnimationControl*>(record)->numPlays;
                return true;
            case PngSinkFrameControl:
                s->context->frameControls.push_back(
                    *static_cast<const tagPNG_FRAME_CONTROL_INFO*>(record));
                return true;
        }
    } catch (const std::bad_alloc&) {
        s->outOfMemory = true;
    }
    return false;
}

}  // namespace

PngResult ParsePng(std::span<const std::uint8_t> file, PngReadContext* context) {
    if (!context) return PngInvalidArg;
    if (file.empty()) return PngNotPng;
    SinkState state{context};
    PngResult rc =
        DecodePng(file.data(), file.size(), CollectIntoContext, &state, &context->header);
    if (rc == PngFailed && state.outOfMemory) rc = PngOutOfMemory;
    if (rc != PngOk) context->Clear();
    return rc;
}

PngResult ReadPngFile(const char* path, PngReadContext* context) {
    LastErrorScope lastError;
    if (!path || !context) return PngInvalidArg;
    LoadFileResult loaded = LoadFile(path, kMaxImageFileBytes);
    switch (loaded.status) {
        case LoadStatus::Ok:
            return ParsePng(loaded.Bytes(), context);
        case LoadStatus::SystemError:
            lastError.KeepSystemError(loaded.error);
            return PngSystemError;
        case LoadStatus::TooLarge:
        case LoadStatus::OutOfMemory:
            return PngOutOfMemory;
    }
    return PngOutOfMemory;
}

std::uint32_t PngFrameDelay(std::uint16_t numerator, std::uint16_t denominator) {
    const float den = denominator == 0 ? 100.0f : static_cast<float>(denominator);
    const float ms = static_cast<float>(numerator) / den * 1000.0f;
    return static_cast<std::uint32_t>(ms);
}

PngImportOutcome ImportPngContent(CItemList& list, CCompilation& compilation,
                                  PngReadContext& context) {
    const std::size_t imageCount = context.images.size();
    const std::size_t controlCount = context.frameControls.size();
    PngImportOutcome outcome;
    for (PngImage& image : context.images) {
        NewItem item;
        item.header = std::move(image.header);
        item.bits = std::move(image.bits);
        if (!item.header || !item.bits) continue;  // NewItem frees the one present

        const tagPNG_FRAME_CONTROL_INFO* control = nullptr;
        if (image.frameIndex == -1) {
            if (controlCount > 0 && controlCount == imageCount) control = &context.frameControls[0];
        } else if (image.frameIndex >= 1) {
            const auto wanted = static_cast<std::uint32_t>(image.frameIndex - 1);
            for (const tagPNG_FRAME_CONTROL_INFO& candidate : context.frameControls) {
                if (candidate.sequenceNumber == wanted) {
                    control = &candidate;
                    break;
                }
            }
        }
        if (control) {
            item.x = static_cast<std::int32_t>(control->xOffset);
            item.y = static_cast<std::int32_t>(control->yOffset);
            item.frameInfo.blendOp = control->blendOp;
            item.frameInfo.disposeOp = control->disposeOp;
            item.frameInfo.delay =
                PngFrameDelay(control->delayNumerator, control->delayDenominator);
        }
        if (list.AddItem(std::move(item)) < 0) {
            // The only refusal left for a complete image: the list could not grow.
            outcome.outOfMemory = true;
            break;
        }
        outcome.added = true;
    }
    compilation.numPlays = context.numPlays;
    compilation.firstFrameExcluded = imageCount == controlCount + 1;
    if (CAnimatedPNGCompilation* apng = compilation.AsAnimatedPng()) {
        apng->png.interlaced = context.header.interlaceMethod != 0;
        apng->png.filter = PngFilterOptionBest;
        apng->png.compression = PngCompressionDefault;
    }
    context.Clear();
    return outcome;
}
