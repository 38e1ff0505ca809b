#include "formats/icon/icon_png.h"

#include <cstring>

#include "formats/png/png_decoder.h"
#include "formats/png/png_encoder.h"

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Keeps the first default image and stops there; frames of an animation are
// not part of an icon entry.
struct DefaultImageSink {
    HeaderBlock header;
    Block bits;

    static bool Take(PngSinkKind kind, void* record, void* context) {
        if (kind != PngSinkImage) return true;
        auto* image = static_cast<PngImage*>(record);
        if (image->frameIndex != -1) return true;
        auto* self = static_cast<DefaultImageSink*>(context);
        self->header = std::move(image->header);
        self->bits = std::move(image->bits);
        return false;
    }
};

}  // namespace

bool IsPngBlock(std::span<const std::uint8_t> data) {
    return data.size() >= sizeof(kSignature) &&
           std::memcmp(data.data(), kSignature, sizeof(kSignature)) == 0;
}

IconResult DecodeIconPng(std::span<const std::uint8_t> data, HeaderBlock* outHeader,
                         Block* outBits) {
    DefaultImageSink sink;
    // The decoder's result does not matter once the default image is here: it
    // reports the stop that the sink asked for.
    (void)DecodePng(data.data(), data.size(), &DefaultImageSink::Take, &sink, nullptr);
    if (!sink.header || !sink.bits) return IconBadFormat;
    *outHeader = std::move(sink.header);
    *outBits = std::move(sink.bits);
    return IconOk;
}

IconResult EncodeIconPng(const tagICON_IMAGE_INFO& image, Block* out, std::size_t* outSize) {
    tagPNG_IMAGE_INFO still;
    still.header = image.header;
    still.bits = image.bits;
    PngSaveOptions options;
    options.grayscale = false;
    options.interlaced = false;
    options.filter = PngFilterOptionBest;
    options.compression = PngCompressionDefault;
    if (EncodePng(out, outSize, &still, 1, nullptr, true, 0, options) != PngOk)
        return IconEncodeFailed;
    return IconOk;
}
