// The canvas paint of the image control against one plain copy of its client
// area: a 4096 x 4096 32-bit image with partial alpha drawn with straight alpha
// over the checkerboard at zoom 0.12, 1 and 10 in an 800 x 600 client (scrolled
// to the middle where the image is larger), and a 256 x 256 one at zoom 10. Each
// reports milliseconds per paint and `ratio`, its time over the time of one
// 800 x 600 32-bit copy (RasterCopyRect) measured in the same run.
//
// Target: the cost of a paint follows the visible area, not the image: every
// case stays within a small multiple of the plain copy, and zoom 10 costs no more
// than zoom 1 (no zoomed copy of the image is ever made).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/canvas_paint.h"
#include "platform/raster.h"

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;

struct Dib {
    DibHeader header{};
    std::vector<std::uint8_t> bits;
    Dib(int width, int height, unsigned bitCount) {
        header =
            DibHeader{40, width, height, 1, static_cast<std::uint16_t>(bitCount), 0, 0, 0, 0, 0, 0};
        bits.assign(
            RasterStride(width, bitCount) * static_cast<std::size_t>(height < 0 ? -height : height),
            0);
    }
    RasterSurface Surface() { return *RasterSurface::Over(&header, bits.data(), bits.size()); }
    RasterImage View() const { return *RasterImage::Describe(&header, bits.data(), bits.size()); }
};

// A picture with every alpha from 0 to 255 and varied colours.
Dib MakeImage(int size) {
    Dib image(size, size, 32);
    for (std::size_t i = 0; i < image.bits.size(); i += 4) {
        const std::size_t p = i / 4;
        image.bits[i] = static_cast<std::uint8_t>(p * 7);
        image.bits[i + 1] = static_cast<std::uint8_t>(p / 13);
        image.bits[i + 2] = static_cast<std::uint8_t>(p * 3 + 40);
        image.bits[i + 3] = static_cast<std::uint8_t>(p % 256);
    }
    return image;
}

const Dib& Large() {
    static const Dib image = MakeImage(4096);
    return image;
}
const Dib& Small() {
    static const Dib image = MakeImage(256);
    return image;
}

void Paint(benchmark::State& state, const Dib& image, float zoom) {
    Dib client(kClientWidth, -kClientHeight, 32);
    RasterSurface surface = client.Surface();
    const RasterImage view = image.View();
    CanvasGeometry g{view.width, view.height, kClientWidth, kClientHeight, zoom, 0, 0};
    const CanvasScrollRange h = CanvasScrollRangeFor(view.width, kClientWidth, zoom);
    const CanvasScrollRange v = CanvasScrollRangeFor(view.height, kClientHeight, zoom);
    g.scrollX = h.maximum / 2;
    g.scrollY = v.maximum / 2;
    CanvasLook look;
    look.viewMode = kCanvasViewAlpha;
    look.background = 4;
    for (auto _ : state) {
        PaintCanvas(surface, g, &view, nullptr, look);
        benchmark::DoNotOptimize(client.bits.data());
    }
}

void BM_Paint4096Zoom012(benchmark::State& s) {
    Paint(s, Large(), 0.12f);
}
void BM_Paint4096Zoom1(benchmark::State& s) {
    Paint(s, Large(), 1.0f);
}
void BM_Paint4096Zoom10(benchmark::State& s) {
    Paint(s, Large(), 10.0f);
}
void BM_Paint256Zoom10(benchmark::State& s) {
    Paint(s, Small(), 10.0f);
}
void BM_PlainCopy800x600(benchmark::State& state) {
    Dib source(kClientWidth, kClientHeight, 32), target(kClientWidth, kClientHeight, 32);
    RasterSurface surface = target.Surface();
    const RasterImage view = source.View();
    for (auto _ : state) {
        RasterCopyRect(surface, 0, 0, kClientWidth, kClientHeight, view, 0, 0);
        benchmark::DoNotOptimize(target.bits.data());
    }
}

BENCHMARK(BM_PlainCopy800x600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4096Zoom012)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4096Zoom1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4096Zoom10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint256Zoom10)->Unit(benchmark::kMillisecond);

}  // namespace

// Prints each paint's ratio to the plain copy (which runs first) after the table.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    class Reporter : public benchmark::ConsoleReporter {
    public:
        void ReportRuns(const std::vector<Run>& runs) override {
            ConsoleReporter::ReportRuns(runs);
            for (const Run& run : runs) {
                const double ms = run.GetAdjustedRealTime();  // the unit is milliseconds
                if (run.benchmark_name() == "BM_PlainCopy800x600") copyMs_ = ms;
                if (copyMs_ > 0)
                    std::printf("  %-24s %8.3f ms per paint, ratio to one 800 x 600 copy %.2f\n",
                                run.benchmark_name().c_str(), ms, ms / copyMs_);
            }
        }

    private:
        double copyMs_ = 0;
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
