// The merged import of simple documents against the composite image that PIL
// reads from the same file (the document's own merged image data).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "core/dib.h"
#include "core/item_list.h"
#include "formats/psd/psd_import.h"
#include "support/peer_tools.h"
#include "support/test_files.h"

namespace {

// PIL's composite as width, height and RGB rows, top row first.
struct Rgb {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

std::optional<Rgb> PilComposite(const std::string& python, const std::filesystem::path& psd,
                                const ScratchDir& dir) {
    const std::string out = dir.File("pil.rgb");
    const std::string command =
        python +
        " -c 'import sys, struct\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
        "im = im.convert(\"RGB\")\nopen(sys.argv[2], \"wb\").write(struct.pack(\"<II\", "
        "*im.size) + im.tobytes())' '" +
        psd.string() + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes = ReadBytes(out);
    if (bytes.size() < 8) return std::nullopt;
    Rgb rgb;
    std::memcpy(&rgb.width, bytes.data(), 4);
    std::memcpy(&rgb.height, bytes.data() + 4, 4);
    rgb.pixels.assign(bytes.begin() + 8, bytes.end());
    return rgb;
}

}  // namespace

TEST(PsdComposite, MergedLayersMatchTheCompositeThatPilReads) {
    REQUIRE_CORPUS(corpus, "psd");
    REQUIRE_PYTHON_WITH_PIL(python);

    // Documents whose layers are all visible, of normal blending and full opacity,
    // with a background layer covering the whole canvas.
    const char* documents[] = {
        "kimageformats/rgb-gimp-2.8.10.psd",
        "pillow/hopper.psd",
        "pillow/hopper_merged.psd",
        "psd-tools/1layer.psd",
        "psd-tools/1layer2.psd",
        "psd-tools/2layers.psd",
        "psd-tools/colormodes/4x4_8bit_rgb.psd",
        "psd-tools/empty-group.psd",
        "psd-tools/group.psd",
        "psd-tools/issues/issue397.psd",
    };
    for (const char* name : documents) {
        SCOPED_TRACE(name);
        ScratchDir dir;
        std::optional<Rgb> expected = PilComposite(python, corpus / name, dir);
        ASSERT_TRUE(expected);

        CPSDParser parser;
        ASSERT_EQ(parser.ParseFile((corpus / name).c_str()), PsdOk);
        // The initial choice of remembered code 0: merged, every layer.
        const PsdImportChoice choice = MakePsdImportRequest(parser, 0).initial;
        CItemList list;
        ASSERT_TRUE(
            ImportPsdLayers(parser, ChosenPsdLayers(parser, choice), choice, list).finished);
        ASSERT_EQ(list.Count(), 1);
        const tagILVITEM& item = *list.Item(0);
        ASSERT_EQ(std::uint32_t(item.header->biWidth), expected->width);
        ASSERT_EQ(std::uint32_t(item.header->biHeight), expected->height);
        const std::size_t bytes = item.header->biBitCount / 8;
        const std::size_t stride =
            RowStride(static_cast<std::uint32_t>(item.header->biWidth), item.header->biBitCount);
        int worst = 0;
        for (std::uint32_t y = 0; y < expected->height; ++y) {
            const std::uint8_t* row = item.bits + (expected->height - 1 - y) * stride;
            for (std::uint32_t x = 0; x < expected->width; ++x) {
                const std::uint8_t* ours = row + x * bytes;
                const std::uint8_t* theirs = &expected->pixels[(y * expected->width + x) * 3];
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(int(ours[2 - c]) - int(theirs[c])));
            }
        }
        EXPECT_LE(worst, 1);
    }
}
