// Smooth downscaling, whole processes against whole processes on 32-bit BMP
// files: a 1024 x 1024 picture made into the Windows icon sizes (16, 20, 24, 32,
// 40, 48, 64, 256), each written as a BMP, and a 4096 x 4096 one scaled to
// 256 x 256:
//   iconmill-cli op IN.bmp --sizes icon -o OUT.bmp / --resize 256x256:smooth
//   python3 + Pillow: Image.resize(..., Image.Resampling.BOX) on the RGBA picture
//   ImageMagick: convert IN.bmp -filter Box -resize WxH! OUT.bmp
// A peer that is not installed is left out. Target: faster than both.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/bmp_file.h"
#include "core/dib.h"

#include "process_timing.h"

namespace {

namespace fs = std::filesystem;
const int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

// Soft ramps and waves with a transparent corner, so that alpha is in use.
bool WriteInput(const std::string& path, int side) {
    DibHeader header{40, side, side, 1, 32, 0, 0, 0, 0, 0, 0};
    Block bits = AllocateBlock(DibImageSize(&header));
    std::uint8_t* p = bits.get();
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            *p++ = static_cast<std::uint8_t>(128 + 120 * std::sin(x / 37.0) * std::cos(y / 23.0));
            *p++ = static_cast<std::uint8_t>(y * 255 / side);
            *p++ = static_cast<std::uint8_t>(x * 255 / side);
            *p++ = static_cast<std::uint8_t>(x + y < side / 4 ? (x + y) * 1020 / side : 255);
        }
    return WriteBmpFile(path.c_str(), &header, bits.get()) == ImageOk;
}

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

bool Works(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct Case {
    std::string name;
    std::map<std::string, std::string> commands;  // by program
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("iconmill-resize-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string small = (dir / "in1024.bmp").string();
    const std::string large = (dir / "in4096.bmp").string();
    if (!WriteInput(small, 1024) || !WriteInput(large, 4096)) {
        std::cerr << "cannot write the inputs in " << dir << '\n';
        return 1;
    }
    auto out = [&](const std::string& name) { return Quote((dir / name).string()); };
    const std::string cli = Quote(ICONMILL_CLI_PATH);
    const std::string python = Works("/usr/bin/python3 -c 'import PIL'") ? "/usr/bin/python3"
                               : Works("python3 -c 'import PIL'")      ? "python3"
                                                                       : "";
    // The one on the PATH may be a stand-in; the real one says its name.
    const std::string magick =
        Works("/usr/bin/convert -version | grep -q ImageMagick") ? "/usr/bin/convert" : "";

    std::vector<Case> cases(2);
    cases[0].name = "1024 to the icon set";
    cases[0].commands["iconmill"] = cli + " op " + Quote(small) + " --sizes icon -o " + out("o.bmp");
    cases[1].name = "4096 to 256x256";
    cases[1].commands["iconmill"] =
        cli + " op " + Quote(large) + " --resize 256x256:smooth -o " + out("o256.bmp");
    if (!python.empty()) {
        std::string sizes;
        for (int s : kIconSizes) sizes += std::to_string(s) + ",";
        cases[0].commands["Pillow"] =
            python + " -c \"from PIL import Image\nim = Image.open('" + small +
            "').convert('RGBA')\nfor s in (" + sizes +
            "): im.resize((s, s), Image.Resampling.BOX).save('" + (dir / "p").string() +
            "%d.bmp' % s)\"";
        cases[1].commands["Pillow"] =
            python + " -c \"from PIL import Image\nImage.open('" + large +
            "').convert('RGBA').resize((256, 256), Image.Resampling.BOX).save('" +
            (dir / "p256.bmp").string() + "')\"";
    }
    if (!magick.empty()) {
        std::string chain;
        for (int s : kIconSizes)
            chain += " \\( +clone -resize " + std::to_string(s) + "x" + std::to_string(s) +
                     "! -write " + out("m" + std::to_string(s) + ".bmp") + " +delete \\)";
        cases[0].commands["ImageMagick"] = magick + " " + Quote(small) + " -filter Box" + chain + " null:";
        cases[1].commands["ImageMagick"] =
            magick + " " + Quote(large) + " -filter Box -resize 256x256! " + out("m256.bmp");
    }

    for (const Case& c : cases)
        for (const auto& [program, command] : c.commands) {
            const std::string name = program + "/" + c.name;
            benchmark::RegisterBenchmark(name.c_str(), [name, command](benchmark::State& s) {
                RunProcess(s, name, command);
            })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
        }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (python.empty()) std::cout << "\nPython with Pillow is not installed: left out.\n";
    if (magick.empty()) std::cout << "\nImageMagick is not installed: left out.\n";
    std::cout << "\ncase                   iconmill s (cpu)   peer           s (cpu)    ratio\n";
    for (const Case& c : cases) {
        const std::string ours = "iconmill/" + c.name;
        if (!g_seconds.count(ours)) continue;
        for (const char* peer : {"Pillow", "ImageMagick"}) {
            const std::string theirs = std::string(peer) + "/" + c.name;
            if (!g_seconds.count(theirs)) continue;
            char line[256];
            std::snprintf(line, sizeof line, "%-22s %7.3f (%5.3f)   %-12s %7.3f (%5.3f) %6.1fx\n",
                          c.name.c_str(), g_seconds[ours], g_cpuSeconds[ours], peer,
                          g_seconds[theirs], g_cpuSeconds[theirs],
                          g_seconds[theirs] / g_seconds[ours]);
            std::cout << line;
        }
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
