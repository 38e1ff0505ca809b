#include "formats/svg/svg_import.h"

#include <cairo.h>
#include <librsvg/rsvg.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/dib.h"
#include "core/image_limits.h"

struct SvgDocument::Handle {
    RsvgHandle* rsvg = nullptr;
    ~Handle() {
        if (rsvg) g_object_unref(rsvg);
    }
};

namespace {

// Inflates a gzip stream into `out`, refusing more than kMaxSvgTextBytes.
SvgResult Inflate(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>* out) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return SvgOutOfMemory;
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(bytes.size(), UINT32_MAX));
    SvgResult result = SvgOk;
    std::uint8_t chunk[64 * 1024];
    while (true) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        const int status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - z.avail_out;
        if (out->size() + produced > kMaxSvgTextBytes) {
            result = SvgTooLarge;
            break;
        }
        out->insert(out->end(), chunk, chunk + produced);
        if (status == Z_STREAM_END) break;
        if (status != Z_OK || (produced == 0 && z.avail_in == 0)) {
            result = status == Z_MEM_ERROR ? SvgOutOfMemory : SvgBadFormat;
            break;
        }
    }
    inflateEnd(&z);
    return result;
}

int Side(double pixels) {
    if (!std::isfinite(pixels) || pixels <= 0) return 0;
    return static_cast<int>(std::min<double>(std::ceil(pixels - 1e-6), kMaxSvgSide));
}

// The document's own size: absolute width and height, else the viewBox.
void OwnSize(RsvgHandle* rsvg, int* width, int* height) {
    double w = 0, h = 0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(rsvg, &w, &h) && Side(w) && Side(h)) {
        *width = Side(w);
        *height = Side(h);
        return;
    }
    gboolean hasWidth = FALSE, hasHeight = FALSE, hasViewBox = FALSE;
    RsvgLength lw{}, lh{};
    RsvgRectangle box{};
    rsvg_handle_get_intrinsic_dimensions(rsvg, &hasWidth, &lw, &hasHeight, &lh, &hasViewBox, &box);
    if (hasViewBox && Side(box.width) && Side(box.height)) {
        *width = Side(box.width);
        *height = Side(box.height);
        return;
    }
    *width = *height = 256;
}

}  // namespace

SvgDocument::SvgDocument(std::unique_ptr<Handle> handle, int width, int height)
    : handle_(std::move(handle)), width_(width), height_(height) {}

SvgDocument::~SvgDocument() = default;

SvgResult SvgDocument::Load(std::span<const std::uint8_t> bytes, std::unique_ptr<SvgDocument>* out) {
    if (!out || (!bytes.data() && !bytes.empty())) return SvgInvalidArg;
    std::vector<std::uint8_t> inflated;
    if (bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B) {
        if (const SvgResult r = Inflate(bytes, &inflated); r != SvgOk) return r;
        bytes = inflated;
    }
    if (bytes.size() > kMaxSvgTextBytes) return SvgTooLarge;
    if (bytes.empty()) return SvgBadFormat;

    // No base file: the loader has nothing to resolve relative or file addresses
    // against and refuses every external reference. The parser's default limits
    // (no "unlimited" flag) stop entity expansion bombs and huge trees.
    GInputStream* stream = g_memory_input_stream_new_from_data(bytes.data(),
                                                               static_cast<gssize>(bytes.size()), nullptr);
    if (!stream) return SvgOutOfMemory;
    GError* error = nullptr;
    auto handle = std::make_unique<Handle>();
    handle->rsvg =
        rsvg_handle_new_from_stream_sync(stream, nullptr, RSVG_HANDLE_FLAGS_NONE, nullptr, &error);
    g_object_unref(stream);
    if (error) g_error_free(error);
    if (!handle->rsvg) return SvgBadFormat;
    rsvg_handle_set_dpi(handle->rsvg, 96.0);
    int width = 0, height = 0;
    OwnSize(handle->rsvg, &width, &height);
    out->reset(new SvgDocument(std::move(handle), width, height));
    return SvgOk;
}

SvgResult SvgDocument::Render(int width, int height, HeaderBlock* outHeader, Block* outBits) const {
    if (!outHeader || !outBits || width < 1 || height < 1 || width > kMaxSvgSide ||
        height > kMaxSvgSide)
        return SvgInvalidArg;
    const std::size_t size = DibImageSizeFor(width, height, 32);
    if (size == 0 || size > kMaxImageBytes) return SvgTooLarge;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return SvgOutOfMemory;
    }
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    GError* error = nullptr;
    const bool drawn = rsvg_handle_render_document(handle_->rsvg, cr, &viewport, &error);
    if (error) g_error_free(error);
    const bool failed = !drawn || cairo_status(cr) != CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (failed) {
        cairo_surface_destroy(surface);
        return SvgRenderFailed;
    }

    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize);
    Block bits = AllocateImageBlock(size);
    if (!header || !bits) {
        cairo_surface_destroy(surface);
        return SvgOutOfMemory;
    }
    *header = DibHeader{kBitmapInfoHeaderSize, width, height, 1, 32, kBiRgb, 0, 0, 0, 0, 0};
    // Cairo keeps premultiplied native-endian words, top row first.
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const std::size_t sourceStride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(data + sourceStride * static_cast<std::size_t>(y));
        std::uint8_t* row = bits.get() + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = in[x];
            const unsigned a = p >> 24;
            const auto straight = [a](unsigned c) {
                return static_cast<std::uint8_t>(a ? std::min(255u, (c * 255 + a / 2) / a) : 0);
            };
            std::uint8_t* o = row + 4 * static_cast<std::size_t>(x);
            o[0] = straight(p & 0xFF);
            o[1] = straight((p >> 8) & 0xFF);
            o[2] = straight((p >> 16) & 0xFF);
            o[3] = static_cast<std::uint8_t>(a);
        }
    }
    cairo_surface_destroy(surface);
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return SvgOk;
}
