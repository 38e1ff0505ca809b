// Whole processes against whole processes on one 4096 x 4096 24-bit BMP file:
// `iconmill-cli op IN.bmp --convert 8|4 -o OUT.bmp` and `--resize 2048x2048`
// against ImageMagick's `convert IN.bmp -dither None -remap PALETTE OUT.bmp` (with
// the same 256 or 16 colours) and `convert IN.bmp -sample 50% OUT.bmp`. Where
// ImageMagick is not installed it says so and the peer is a naive build of our
// own (this program run as `--naive`): a full palette search for every pixel, and
// a per-pixel floating-point nearest resize. The naive outputs must equal ours
// byte for byte, which checks the nearest-colour lookup on 16.7 million pixels.
//
// Targets: palette conversion at least 20 times ImageMagick's throughput, nearest
// resize at least 1.5 times; single-threaded.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/bmp_file.h"
#include "core/dib.h"
#include "platform/halftone_palette.h"
#include "platform/raster.h"

#include "process_timing.h"

namespace {

constexpr int kSize = 4096;
namespace fs = std::filesystem;

// --- the naive peer -------------------------------------------------------------

int NaiveConvert(const char* in, const char* out, int depth) {
    HeaderBlock header;
    Block bits;
    if (ReadBmpFile(in, &header, &bits) != ImageOk || header->biBitCount != 24) return 1;
    const int width = header->biWidth, height = static_cast<int>(DibAbsHeight(header.get()));
    const std::size_t entries = std::size_t{1} << depth;
    HeaderBlock target = AllocateHeaderBlock(40 + 4 * entries);
    *target = DibHeader{
        40, width, header->biHeight, 1, static_cast<std::uint16_t>(depth), 0, 0, 0, 0, 0, 0};
    SetDefaultPalette(target.get());
    const RgbQuad* table = DibColorTable(target.get());
    Block targetBits = AllocateZeroedBlock(DibImageSize(target.get()));
    const std::size_t stride = DibStride(header.get()), targetStride = DibStride(target.get());
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* from = bits.get() + stride * row;
        std::uint8_t* to = targetBits.get() + targetStride * row;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = from + 3 * x;
            const int index =
                NearestColorMap::FullSearch(table, static_cast<int>(entries), p[2], p[1], p[0]);
            if (depth == 8)
                to[x] = static_cast<std::uint8_t>(index);
            else
                to[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
        }
    }
    return WriteBmpFile(out, target.get(), targetBits.get()) == ImageOk ? 0 : 1;
}

int NaiveResize(const char* in, const char* out, int newWidth, int newHeight) {
    HeaderBlock header;
    Block bits;
    if (ReadBmpFile(in, &header, &bits) != ImageOk || header->biBitCount != 24) return 1;
    const int width = header->biWidth, height = static_cast<int>(DibAbsHeight(header.get()));
    DibHeader target = *header;
    target.biWidth = newWidth;
    target.biHeight = header->biHeight < 0 ? -newHeight : newHeight;
    target.biSizeImage = 0;
    Block targetBits = AllocateZeroedBlock(DibImageSize(&target));
    const std::size_t stride = DibStride(header.get()), targetStride = DibStride(&target);
    const bool topDown = header->biHeight < 0;
    for (int y = 0; y < newHeight; ++y) {
        const int sy = static_cast<int>(std::floor((y + 0.5) * height / newHeight));
        for (int x = 0; x < newWidth; ++x) {
            const int sx = static_cast<int>(std::floor((x + 0.5) * width / newWidth));
            const std::uint8_t* from =
                bits.get() + stride * (topDown ? sy : height - 1 - sy) + 3 * sx;
            std::uint8_t* to =
                targetBits.get() + targetStride * (topDown ? y : newHeight - 1 - y) + 3 * x;
            std::memcpy(to, from, 3);
        }
    }
    return WriteBmpFile(out, &target, targetBits.get()) == ImageOk ? 0 : 1;
}

// --- inputs ---------------------------------------------------------------------

// A photograph-like picture: smooth gradients with noise, so that most pixels
// differ from their neighbours.
bool WriteInput(const std::string& path) {
    DibHeader header{40, kSize, kSize, 1, 24, 0, 0, 0, 0, 0, 0};
    Block bits = AllocateBlock(DibImageSize(&header));
    std::uint32_t state = 2463534242u;
    std::uint8_t* p = bits.get();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state & 31) - 16;
            auto clamp = [](int v) {
                return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            };
            *p++ = clamp(((x + y) >> 5) + noise);                                     // blue
            *p++ = clamp((y >> 4) + noise / 2);                                       // green
            *p++ = clamp(static_cast<int>(128 + 120 * std::sin(x / 300.0)) - noise);  // red
        }
    return WriteBmpFile(path.c_str(), &header, bits.get()) == ImageOk;
}

// A palette as a one-row binary PPM, which ImageMagick takes for -remap.
bool WritePalette(const std::string& path, const RgbQuad* table, int count) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << count << " 1\n255\n";
    for (int i = 0; i < count; ++i)
        file << table[i].rgbRed << table[i].rgbGreen << table[i].rgbBlue;
    return static_cast<bool>(file);
}

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

bool RealImageMagick() {
    FILE* pipe = popen("convert -version 2>/dev/null", "r");
    if (!pipe) return false;
    char line[256] = {};
    const bool ok =
        std::fgets(line, sizeof line, pipe) && std::strncmp(line, "Version: ImageMagick", 20) == 0;
    pclose(pipe);
    return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return fa && fb &&
           std::vector<char>(std::istreambuf_iterator<char>(fa), {}) ==
               std::vector<char>(std::istreambuf_iterator<char>(fb), {});
}

struct Case {
    std::string name;
    std::string ours;     // command line
    std::string peer;     // command line
    std::string oursOut;  // output files, compared when the peer is naive
    std::string peerOut;
    double target;  // throughput ratio wanted against ImageMagick
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--naive-convert") == 0)
        return NaiveConvert(argv[2], argv[3], std::atoi(argv[4]));
    if (argc == 6 && std::strcmp(argv[1], "--naive-resize") == 0)
        return NaiveResize(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));

    benchmark::Initialize(&argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("iconmill-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string in = (dir / "in.bmp").string();
    const std::string pal256 = (dir / "palette256.ppm").string();
    const std::string pal16 = (dir / "palette16.ppm").string();
    if (!WriteInput(in) || !WritePalette(pal256, HalftonePalette().data(), 256) ||
        !WritePalette(pal16, Fixed16Palette().data(), 16)) {
        std::cerr << "cannot write the inputs in " << dir << '\n';
        return 1;
    }

    const bool imageMagick = RealImageMagick();
    const std::string self = Quote(fs::canonical("/proc/self/exe").string());
    const std::string cli = Quote(ICONMILL_CLI_PATH);
    auto out = [&](const std::string& name) { return (dir / name).string(); };
    std::vector<Case> cases;
    for (int depth : {8, 4}) {
        const std::string d = std::to_string(depth);
        Case c{
            "convert to " + d + " bits",
            cli + " op " + Quote(in) + " --convert " + d + " -o " + Quote(out("ours" + d + ".bmp")),
            "",
            out("ours" + d + ".bmp"),
            out("peer" + d + ".bmp"),
            20.0};
        c.peer = imageMagick
                     ? "convert " + Quote(in) + " -dither None -remap " +
                           Quote(depth == 8 ? pal256 : pal16) + " " + Quote(c.peerOut)
                     : self + " --naive-convert " + Quote(in) + " " + Quote(c.peerOut) + " " + d;
        cases.push_back(c);
    }
    {
        Case c{"nearest resize to 2048x2048",
               cli + " op " + Quote(in) + " --resize 2048x2048 -o " + Quote(out("oursr.bmp")),
               "",
               out("oursr.bmp"),
               out("peerr.bmp"),
               1.5};
        c.peer = imageMagick ? "convert " + Quote(in) + " -sample 50% " + Quote(c.peerOut)
                             : self + " --naive-resize " + Quote(in) + " " + Quote(c.peerOut) +
                                   " 2048 2048";
        cases.push_back(c);
    }

    const std::string peerName = imageMagick ? "ImageMagick" : "naive";
    for (const Case& c : cases) {
        const std::string ours = "iconmill/" + c.name, peer = peerName + "/" + c.name;
        benchmark::RegisterBenchmark(ours.c_str(),
                                     [=](benchmark::State& s) { RunProcess(s, ours, c.ours); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(peer.c_str(),
                                     [=](benchmark::State& s) { RunProcess(s, peer, c.peer); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (!imageMagick)
        std::cout << "\nImageMagick is not installed here: the peer is a naive build of our "
                     "own,\nso the targets against ImageMagick are not measured by this run.\n";
    // Wall time is what the targets are about; CPU time (user + system of the
    // processes) is steadier on a machine shared with other work.
    std::cout << "\ncase                          iconmill s (cpu)   " << peerName
              << " s (cpu)   ratio (cpu)   target\n";
    for (const Case& c : cases) {
        const std::string o = "iconmill/" + c.name, p = peerName + "/" + c.name;
        if (!g_seconds.count(o) || !g_seconds.count(p)) continue;
        char line[320];
        std::snprintf(line, sizeof line,
                      "%-29s %7.3f (%5.3f) %8.3f (%6.3f) %6.1fx (%5.1fx)  >= %.1fx vs ImageMagick",
                      c.name.c_str(), g_seconds[o], g_cpuSeconds[o], g_seconds[p], g_cpuSeconds[p],
                      g_seconds[p] / g_seconds[o], g_cpuSeconds[p] / g_cpuSeconds[o], c.target);
        std::cout << line;
        if (!imageMagick)
            std::cout << (SameFile(c.oursOut, c.peerOut) ? "  output identical"
                                                         : "  OUTPUT DIFFERS");
        std::cout << '\n';
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
