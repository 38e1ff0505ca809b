#include "formats/svg/svg_import.h"

#include <cairo.h>
#include <librsvg/rsvg.h>
#include <zlib.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
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

namespace {

// The process's mapped bytes now (from /proc/self/statm), 0 when unknown.
std::size_t MappedBytes() {
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return 0;
    unsigned long pages = 0;
    const bool read = std::fscanf(file, "%lu", &pages) == 1;
    std::fclose(file);
    return read ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE))
                : 0;
}

// Draws the document into premultiplied cairo words at `pixels` (width x height,
// top row first); false when the renderer refuses.
bool Draw(RsvgHandle* rsvg, int width, int height, unsigned char* pixels) {
    const int stride = width * 4;
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    GError* error = nullptr;
    const bool drawn = rsvg_handle_render_document(rsvg, cr, &viewport, &error);
    if (error) g_error_free(error);
    const bool ok = drawn && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    return ok;
}

// A shared anonymous mapping, unmapped when it goes.
struct SharedPixels {
    void* address = MAP_FAILED;
    std::size_t size = 0;
    explicit SharedPixels(std::size_t bytes) : size(bytes) {
        address = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    }
    ~SharedPixels() {
        if (address != MAP_FAILED) munmap(address, size);
    }
    SharedPixels(const SharedPixels&) = delete;
    SharedPixels& operator=(const SharedPixels&) = delete;
};

}  // namespace

SvgResult SvgDocument::Render(int width, int height, HeaderBlock* outHeader, Block* outBits,
                              const std::function<bool()>& keepWaiting) const {
    if (!outHeader || !outBits || width < 1 || height < 1 || width > kMaxSvgSide ||
        height > kMaxSvgSide)
        return SvgInvalidArg;
    const std::size_t size = DibImageSizeFor(width, height, 32);
    if (size == 0 || size > kMaxImageBytes) return SvgTooLarge;

    SharedPixels shared(size);
    if (shared.address == MAP_FAILED) return SvgOutOfMemory;
    HeaderBlock header = AllocateHeaderBlock(kBitmapInfoHeaderSize);
    Block bits = AllocateImageBlock(size);
    if (!header || !bits) return SvgOutOfMemory;

    const std::size_t limit = MappedBytes() + kSvgRenderMemory;
    const pid_t child = fork();
    if (child < 0) return SvgOutOfMemory;
    if (child == 0) {
        // The child: bounded, silent, and gone without running the parent's
        // exit handlers.
        const rlimit memory{limit, limit};
        setrlimit(RLIMIT_AS, &memory);
        const rlimit cpu{kSvgRenderSeconds, kSvgRenderSeconds + 1};
        setrlimit(RLIMIT_CPU, &cpu);
        const rlimit core{0, 0};
        setrlimit(RLIMIT_CORE, &core);
        const bool drawn = Draw(handle_->rsvg, width, height, static_cast<unsigned char*>(shared.address));
        _exit(drawn ? 0 : 1);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kSvgRenderSeconds);
    while (true) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR) return SvgRenderFailed;
        if (std::chrono::steady_clock::now() > deadline || (keepWaiting && !keepWaiting())) {
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return SvgRenderFailed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return SvgRenderFailed;

    *header = DibHeader{kBitmapInfoHeaderSize, width, height, 1, 32, kBiRgb, 0, 0, 0, 0, 0};
    // Cairo keeps premultiplied native-endian words, top row first.
    const auto* data = static_cast<const std::uint32_t*>(shared.address);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = data + static_cast<std::size_t>(width) * static_cast<std::size_t>(y);
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
    *outHeader = std::move(header);
    *outBits = std::move(bits);
    return SvgOk;
}
