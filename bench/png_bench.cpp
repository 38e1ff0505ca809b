// PNG decoding and encoding speed against libspng, libpng and zlib's inflate
// alone, on images generated here. Prints MB/s of raw pixel samples per codec
// and, after the run, a table of ratios (peer time / our time: above 1 is
// faster than the peer).
#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/dib.h"
#include "formats/png/png_common.h"
#include "formats/png/png_decoder.h"
#include "formats/png/png_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// One test subject: the raw samples (PNG order, top row first), the same
// picture as a DIB, and the PNG files libpng makes of it.
struct Subject {
    std::string name;
    std::uint32_t width = 0, height = 0;
    int colorType = 0;  // PNG colour type of the samples
    bool interlaced = false;
    int filters = PNG_ALL_FILTERS;  // libpng's choice among these, per row
    int copies = 1;                 // icons: many small images
    std::vector<Bytes> samples;     // per copy: height rows of width * channels
    std::vector<Bytes> palette;     // RGB triples for colour type 3
    std::vector<HeaderBlock> dibHeaders;
    std::vector<Block> dibBits;
    std::vector<Bytes> files;       // per copy
    std::vector<Bytes> idat;        // per copy: the concatenated IDAT data
    std::size_t rawBytes = 0;       // sample bytes of all copies
    std::size_t filteredBytes = 0;  // inflated size of one copy
};

int Channels(int colorType) {
    return colorType == 6 ? 4 : colorType == 2 ? 3 : 1;
}

std::uint32_t g_state = 12345;
std::uint32_t Next() {
    g_state = g_state * 1103515245u + 12345u;
    return g_state >> 8;
}

// A smooth picture with sensor-like noise: gradients, a few waves, +-3 noise.
Bytes PhotoLike(std::uint32_t w, std::uint32_t h, int channels, unsigned seed) {
    Bytes out(std::size_t{w} * h * channels);
    g_state = seed;
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c) {
                double v = 128 + 60 * std::sin((x * (c + 1) + 0.5 * y) / 97.0) +
                           50 * std::cos((y * (3 - c % 3) - 0.3 * x) / 151.0) + int(Next() % 7) - 3;
                if (c == 3) v = 255 - std::fabs(std::sin((x + y) / 300.0)) * 80;  // alpha
                out[(std::size_t{y} * w + x) * channels + c] = std::uint8_t(v < 0     ? 0
                                                                            : v > 255 ? 255
                                                                                      : v);
            }
    return out;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void NoFlush(png_structp) {}
void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// libpng at zlib level 6 with every filter (its adaptive choice).
bool LibpngEncode(const Subject& s, const Bytes& samples, int level, Bytes* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(s.height);
    const std::size_t rowBytes = std::size_t{s.width} * Channels(s.colorType);
    for (std::uint32_t y = 0; y < s.height; ++y)
        rows[y] = const_cast<png_bytep>(samples.data() + y * rowBytes);
    std::vector<png_color> colors;
    if (!s.palette.empty())
        for (std::size_t i = 0; i < s.palette[0].size(); i += 3)
            colors.push_back({s.palette[0][i], s.palette[0][i + 1], s.palette[0][i + 2]});
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, WriteToVector, NoFlush);
    png_set_IHDR(png, info, s.width, s.height, 8, s.colorType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!colors.empty()) png_set_PLTE(png, info, colors.data(), int(colors.size()));
    png_set_compression_level(png, level);
    png_set_filter(png, 0, s.filters);
    png_write_info(png, info);
    if (s.interlaced) png_set_interlace_handling(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

Bytes ConcatenatedIdat(const Bytes& file) {
    Bytes idat;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = ReadBigEndian32(file.data() + at);
        if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0)
            idat.insert(idat.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        at += 12 + length;
    }
    return idat;
}

void MakeDib(Subject& s, const Bytes& samples) {
    const unsigned bitCount = s.colorType == 6 ? 32 : s.colorType == 2 ? 24 : 8;
    const unsigned entries = bitCount == 8 ? 256 : 0;
    HeaderBlock header = AllocateHeaderBlock(40 + 4 * entries);
    header->biSize = 40;
    header->biWidth = std::int32_t(s.width);
    header->biHeight = std::int32_t(s.height);
    header->biPlanes = 1;
    header->biBitCount = std::uint16_t(bitCount);
    auto* table = reinterpret_cast<RgbQuad*>(reinterpret_cast<std::uint8_t*>(header.get()) + 40);
    for (unsigned i = 0; i < entries; ++i)
        table[i] =
            RgbQuad{s.palette[0][3 * i + 2], s.palette[0][3 * i + 1], s.palette[0][3 * i], 0};
    const std::size_t stride = RowStride(s.width, bitCount);
    Block bits = AllocateZeroedBlock(stride * s.height);
    const int channels = Channels(s.colorType);
    for (std::uint32_t y = 0; y < s.height; ++y) {
        const std::uint8_t* src = samples.data() + std::size_t{y} * s.width * channels;
        std::uint8_t* dst = bits.get() + std::size_t{s.height - 1 - y} * stride;
        for (std::uint32_t x = 0; x < s.width; ++x) {
            const std::uint8_t* p = src + std::size_t{x} * channels;
            std::uint8_t* q = dst + std::size_t{x} * (bitCount / 8);
            if (channels == 1) {
                q[0] = p[0];
            } else {
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
                if (channels == 4) q[3] = p[3];
            }
        }
    }
    s.dibHeaders.push_back(std::move(header));
    s.dibBits.push_back(std::move(bits));
}

Subject MakeSubject(std::string name, std::uint32_t w, std::uint32_t h, int colorType,
                    bool interlaced, int copies, int filters = PNG_ALL_FILTERS) {
    Subject s;
    s.name = std::move(name);
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.interlaced = interlaced;
    s.filters = filters;
    s.copies = copies;
    for (int i = 0; i < copies; ++i) {
        Bytes samples;
        if (colorType == 3) {
            // A palette picture: the gray levels of a photo-like image as indices
            // into 256 colours.
            samples = PhotoLike(w, h, 1, 99u + unsigned(i));
            Bytes palette;
            for (int k = 0; k < 256; ++k)
                palette.insert(palette.end(),
                               {std::uint8_t(k), std::uint8_t(255 - k), std::uint8_t(k * 3)});
            s.palette.push_back(palette);
        } else {
            samples = PhotoLike(w, h, Channels(colorType), 7u + unsigned(i));
        }
        Bytes file;
        if (!LibpngEncode(s, samples, 6, &file)) throw std::runtime_error("libpng cannot encode");
        s.files.push_back(file);
        s.idat.push_back(ConcatenatedIdat(file));
        s.rawBytes += samples.size();
        MakeDib(s, samples);
        s.samples.push_back(std::move(samples));
    }
    PngHeaderInfo header;
    header.width = w;
    header.height = h;
    header.bitDepth = 8;
    header.colorType = std::uint8_t(colorType);
    header.interlaceMethod = interlaced;
    std::uint64_t raw = 0;
    PngRawSize(header, &raw);
    s.filteredBytes = std::size_t(raw);
    return s;
}

std::vector<Subject>& Subjects() {
    static std::vector<Subject> subjects = [] {
        std::vector<Subject> list;
        list.push_back(MakeSubject("rgba_4096", 4096, 4096, 6, false, 1));
        list.push_back(MakeSubject("rgb_4096", 4096, 4096, 2, false, 1));
        list.push_back(MakeSubject("palette_2048", 2048, 2048, 3, false, 1));
        list.push_back(MakeSubject("rgba_interlaced_2048", 2048, 2048, 6, true, 1));
        list.push_back(MakeSubject("icons_1000x32", 32, 32, 6, false, 1000));
        // Every row Paeth-filtered: the slowest filter to reverse.
        list.push_back(MakeSubject("rgba_paeth_2048", 2048, 2048, 6, false, 1, PNG_FILTER_PAETH));
        list.push_back(
            MakeSubject("palette_paeth_2048", 2048, 2048, 3, false, 1, PNG_FILTER_PAETH));
        return list;
    }();
    return subjects;
}

// Takes nothing: an image's blocks are freed with the decoder's record after the call.
bool DropRecord(PngSinkKind, void*, void*) {
    return true;
}

void DecodeOurs(benchmark::State& state, const Subject* s) {
    for (auto _ : state)
        for (const Bytes& file : s->files)
            if (DecodePng(file.data(), file.size(), DropRecord, nullptr, nullptr) != PngOk)
                state.SkipWithError("DecodePng failed");
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

// Every decoder hands out a new image per file, as a caller that keeps the
// images needs: the peers get a fresh malloc'd buffer each time too.
void DecodeSpng(benchmark::State& state, const Subject* s) {
    for (auto _ : state)
        for (const Bytes& file : s->files) {
            spng_ctx* ctx = spng_ctx_new(0);
            spng_set_png_buffer(ctx, file.data(), file.size());
            std::size_t size = 0;
            spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
            Block out = AllocateImageBlock(size);
            if (spng_decode_image(ctx, out.get(), size, SPNG_FMT_RGBA8, 0) != 0)
                state.SkipWithError("spng failed");
            benchmark::DoNotOptimize(out.get());
            spng_ctx_free(ctx);
        }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

struct MemoryReader {
    const Bytes* file;
    std::size_t at;
};
void ReadFromMemory(png_structp png, png_bytep out, png_size_t size) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + size > r->file->size()) png_error(png, "short");
    std::memcpy(out, r->file->data() + r->at, size);
    r->at += size;
}

bool LibpngDecode(const Bytes& file, Block* out, std::vector<png_bytep>* rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const std::uint32_t height = png_get_image_height(png, info);
    *out = AllocateImageBlock(rowBytes * height);
    rows->resize(height);
    for (std::uint32_t y = 0; y < height; ++y) (*rows)[y] = out->get() + y * rowBytes;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void DecodeLibpng(benchmark::State& state, const Subject* s) {
    std::vector<png_bytep> rows;
    for (auto _ : state)
        for (const Bytes& file : s->files) {
            Block out;
            if (!LibpngDecode(file, &out, &rows)) state.SkipWithError("libpng failed");
        }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

void InflateOnly(benchmark::State& state, const Subject* s) {
    for (auto _ : state)
        for (const Bytes& idat : s->idat) {
            Block out = AllocateImageBlock(s->filteredBytes);
            uLongf size = uLongf(s->filteredBytes);
            if (uncompress(out.get(), &size, idat.data(), uLong(idat.size())) != Z_OK)
                state.SkipWithError("inflate failed");
            benchmark::DoNotOptimize(out.get());
        }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

void EncodeOurs(benchmark::State& state, const Subject* s) {
    PngSaveOptions options;
    options.interlaced = s->interlaced;
    options.filter = PngFilterOptionBest;
    for (auto _ : state)
        for (int i = 0; i < s->copies; ++i) {
            const tagPNG_IMAGE_INFO image{-1, s->dibHeaders[i].get(), s->dibBits[i].get()};
            Block out;
            std::size_t size = 0;
            if (EncodePng(&out, &size, &image, 1, nullptr, true, 0, options) != PngOk)
                state.SkipWithError("EncodePng failed");
            state.counters["bytes_out"] = double(size);
        }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

void EncodeLibpng(benchmark::State& state, const Subject* s) {
    for (auto _ : state)
        for (int i = 0; i < s->copies; ++i) {
            Bytes out;
            out.reserve(s->files[i].size() * 2);
            if (!LibpngEncode(*s, s->samples[i], 6, &out)) state.SkipWithError("libpng failed");
            state.counters["bytes_out"] = double(out.size());
        }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(s->rawBytes));
}

// Collects every run's time per iteration for the ratio table; with
// repetitions, the median of each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.run_type == Run::RT_Iteration)
                times[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const Subject& s : Subjects()) {
        benchmark::RegisterBenchmark(("decode/" + s.name + "/ours").c_str(), DecodeOurs, &s)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/" + s.name + "/spng").c_str(), DecodeSpng, &s)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/" + s.name + "/libpng").c_str(), DecodeLibpng, &s)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/" + s.name + "/inflate").c_str(), InflateOnly, &s)
            ->Unit(benchmark::kMillisecond);
        // Encoding is compared with libpng's adaptive filtering only.
        if (s.filters != PNG_ALL_FILTERS) continue;
        benchmark::RegisterBenchmark(("encode/" + s.name + "/ours").c_str(), EncodeOurs, &s)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/" + s.name + "/libpng").c_str(), EncodeLibpng, &s)
            ->Unit(benchmark::kMillisecond);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto time = [&](const std::string& name) {
        auto it = reporter.times.find(name);
        return it == reporter.times.end() ? 0.0 : it->second;
    };
    std::printf("\n%-22s %10s %10s %10s %10s | %9s %9s %11s | %10s %10s %9s\n", "image", "ours ms",
                "spng ms", "libpng ms", "inflate ms", "vs spng", "vs libpng", "inflate/ours",
                "enc ours", "enc libpng", "vs libpng");
    for (const Subject& s : Subjects()) {
        const double ours = time("decode/" + s.name + "/ours"),
                     spng = time("decode/" + s.name + "/spng");
        const double lib = time("decode/" + s.name + "/libpng"),
                     inflate = time("decode/" + s.name + "/inflate");
        const double encOurs = time("encode/" + s.name + "/ours"),
                     encLib = time("encode/" + s.name + "/libpng");
        auto ratio = [](double peer, double our) { return our > 0 ? peer / our : 0.0; };
        std::printf(
            "%-22s %10.2f %10.2f %10.2f %10.2f | %8.2fx %8.2fx %10.2fx | %10.2f %10.2f %8.2fx\n",
            s.name.c_str(), ours, spng, lib, inflate, ratio(spng, ours), ratio(lib, ours),
            ratio(inflate, ours), encOurs, encLib, ratio(encLib, encOurs));
    }
    std::printf(
        "(CPU times per iteration; ratio = peer time / our time, above 1 means we are faster;\n"
        " inflate/ours is zlib's inflate alone over our whole decode: 0.8 = within 1.25x)\n");
    benchmark::Shutdown();
    return 0;
}
