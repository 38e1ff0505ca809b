#include "formats/psd/psd_import.h"

#include <gtest/gtest.h>

#include "core/dib.h"
#include "core/item_list.h"
#include "support/psd_bytes.h"
#include "support/test_files.h"

namespace {

using Color = std::vector<std::uint8_t>;  // B, G, R(, A)

// The pixel (x, y), y from the top, of an item's 24- or 32-bit picture.
Color PixelAt(const tagILVITEM& item, int x, int y) {
    const DibHeader* h = item.header;
    const std::size_t bytes = h->biBitCount / 8;
    const std::size_t stride = RowStride(static_cast<std::uint32_t>(h->biWidth), h->biBitCount);
    const int row = h->biHeight > 0 ? h->biHeight - 1 - y : y;
    const std::uint8_t* p = item.bits + std::size_t(row) * stride + std::size_t(x) * bytes;
    return {p, p + bytes};
}

PsdLayerSpec SolidLayer(int left, int top, int right, int bottom, Color bgr, int alpha = -1,
                        std::uint8_t opacity = 255) {
    PsdLayerSpec layer;
    layer.left = left;
    layer.top = top;
    layer.right = right;
    layer.bottom = bottom;
    layer.opacity = opacity;
    const std::size_t size = std::size_t(right - left) * std::size_t(bottom - top);
    if (alpha >= 0) layer.channels.push_back(UniformChannel(-1, size, std::uint8_t(alpha), 1));
    layer.channels.push_back(UniformChannel(0, size, bgr[2], 1));
    layer.channels.push_back(UniformChannel(1, size, bgr[1]));
    layer.channels.push_back(UniformChannel(2, size, bgr[0], 1));
    return layer;
}

class PsdImportTest : public ::testing::Test {
protected:
    void Parse(const PsdLayout& layout) {
        EXPECT_EQ(parser_.Parse(MakePsd(layout)), PsdOk);
    }
    // Parses a document made from the layout and imports the layers `choice` names.
    PsdImportOutcome Import(const PsdLayout& layout, const PsdImportChoice& choice) {
        Parse(layout);
        return ImportPsdLayers(parser_, ChosenPsdLayers(parser_, choice), choice, list_);
    }

    static PsdImportChoice Choice(int mode, std::vector<int> layers, bool keep = false) {
        PsdImportChoice choice;
        choice.mode = mode;
        choice.layers = std::move(layers);
        choice.keepBackground = keep;
        return choice;
    }

    // A 4 x 4 opaque red background at (0, 0), a green 2 x 2 layer at (1, 1) and a
    // blue 2 x 2 layer at (2, 2), the last hanging over the document's edge.
    static PsdLayout ThreeLayers() {
        PsdLayout layout;
        layout.width = layout.height = 4;
        layout.layers = {SolidLayer(0, 0, 4, 4, {0, 0, 255}), SolidLayer(1, 1, 3, 3, {0, 255, 0}),
                         SolidLayer(2, 2, 5, 5, {255, 0, 0})};
        return layout;
    }

    CPSDParser parser_;
    CItemList list_;
};

const Color kRed = {0, 0, 255}, kGreen = {0, 255, 0}, kBlue = {255, 0, 0};

}  // namespace

TEST(PsdSelectionCode, MapsToTheDialogChoiceAndBack) {
    struct Case {
        std::int32_t code;
        int mode;
        bool keep, maintain, topLeft;
    };
    const Case cases[] = {
        {0, PsdModeMerged, true, false, false},
        {2, PsdModeBlendWithBackground, false, false, false},
        {3, PsdModeBlendWithBackground, true, false, false},
        {4, PsdModeBlendWithPrevious, false, false, false},
        {6, PsdModeSeparate, false, true, false},
        {7, PsdModeSeparate, false, false, true},
        {8, PsdModeSeparate, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        PsdImportChoice choice = PsdChoiceFromSelectionCode(c.code);
        EXPECT_EQ(choice.mode, c.mode);
        EXPECT_EQ(choice.keepBackground, c.keep);
        EXPECT_EQ(choice.maintainCoordinates, c.maintain);
        EXPECT_EQ(choice.topLeftAsPosition, c.topLeft);
        EXPECT_EQ(PsdSelectionCodeFromChoice(choice), c.code);
    }
    for (std::int32_t unknown : {1, 5, 9, -1})
        EXPECT_EQ(PsdChoiceFromSelectionCode(unknown).mode, 0);
    EXPECT_STREQ(PsdColorModeName(3), "RGB");
    EXPECT_STREQ(PsdColorModeName(9), "Lab");
    EXPECT_EQ(PsdColorModeName(5), nullptr);
}

TEST_F(PsdImportTest, TheRequestListsLayersWithPicturesAndTheRememberedChoice) {
    PsdLayout layout = ThreeLayers();
    PsdLayerSpec divider;
    divider.channels = {UniformChannel(-1, 0, 0), UniformChannel(0, 0, 0)};
    layout.layers.insert(layout.layers.begin() + 1, divider);
    layout.layers[2].name = "green";
    layout.layers[2].opacity = 128;
    Parse(layout);
    const PsdImportRequest request = MakePsdImportRequest(parser_, 7);
    EXPECT_EQ(request.width, 4);
    EXPECT_EQ(request.colorMode, 3);
    EXPECT_EQ(request.depth, 8);
    ASSERT_EQ(request.layers.size(), 3u);
    EXPECT_EQ(request.layers[1].name, "green");
    EXPECT_EQ(request.layers[1].opacity, 128);
    EXPECT_EQ(request.layers[1].right, 3);
    EXPECT_FALSE(request.layers[1].hasAlpha);
    EXPECT_NE(request.layers[1].header, nullptr);
    EXPECT_EQ(request.initial.mode, PsdModeSeparate);
    EXPECT_TRUE(request.initial.topLeftAsPosition);
    EXPECT_EQ(request.initial.layers, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(PsdImportTest, BlendsWithAllPreviousLayersStepByStep) {
    const PsdImportOutcome outcome =
        Import(ThreeLayers(), Choice(PsdModeBlendWithPrevious, {0, 1, 2}));
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.outOfMemory, 0);
    ASSERT_EQ(list_.Count(), 3);
    EXPECT_EQ(outcome.added, 3);
    for (int i = 0; i < 3; ++i) {
        const tagILVITEM& item = *list_.Item(i);
        EXPECT_EQ(item.header->biWidth, 4);
        EXPECT_EQ(item.header->biBitCount, 24);
        EXPECT_EQ(item.x, 0);
        EXPECT_EQ(item.frameInfo.delay, 600u);
        EXPECT_EQ(item.mask, nullptr);
    }
    EXPECT_EQ(PixelAt(*list_.Item(0), 1, 1), kRed);
    EXPECT_EQ(PixelAt(*list_.Item(1), 1, 1), kGreen);
    EXPECT_EQ(PixelAt(*list_.Item(1), 3, 3), kRed);
    EXPECT_EQ(PixelAt(*list_.Item(2), 1, 1), kGreen);  // layer 1 stays
    EXPECT_EQ(PixelAt(*list_.Item(2), 2, 2), kBlue);
    EXPECT_EQ(PixelAt(*list_.Item(2), 3, 3), kBlue);  // cut at the background's edge
}

TEST_F(PsdImportTest, BlendsEachLayerWithTheBackgroundOnly) {
    ASSERT_TRUE(
        Import(ThreeLayers(), Choice(PsdModeBlendWithBackground, {0, 1, 2}, true)).finished);
    ASSERT_EQ(list_.Count(), 3);
    EXPECT_EQ(PixelAt(*list_.Item(0), 1, 1), kRed);
    EXPECT_EQ(PixelAt(*list_.Item(1), 1, 1), kGreen);
    // The opaque background covers layer 1 again before layer 2 is drawn.
    EXPECT_EQ(PixelAt(*list_.Item(2), 1, 1), kRed);
    EXPECT_EQ(PixelAt(*list_.Item(2), 2, 2), kBlue);

    list_.RemoveAllItems();
    ASSERT_TRUE(
        Import(ThreeLayers(), Choice(PsdModeBlendWithBackground, {0, 1, 2}, false)).finished);
    EXPECT_EQ(list_.Count(), 2);  // the background alone is left out
}

TEST_F(PsdImportTest, TheBackgroundIsRedrawnOverTheUnclearedCompositeInMode2) {
    // A half-transparent background: the layers drawn earlier show through it.
    PsdLayout layout;
    layout.width = layout.height = 1;
    layout.layers = {SolidLayer(0, 0, 1, 1, {0, 0, 200}, 255, 128),
                     SolidLayer(0, 0, 1, 1, {0, 255, 0}), SolidLayer(0, 0, 1, 1, {255, 0, 0}, 0)};
    ASSERT_TRUE(Import(layout, Choice(PsdModeBlendWithBackground, {0, 1, 2})).finished);
    ASSERT_EQ(list_.Count(), 2);
    // Step 1: background (alpha 128, red 200) then opaque green on top.
    EXPECT_EQ(PixelAt(*list_.Item(0), 0, 0), (Color{0, 255, 0, 255}));
    // Step 2: the background over the green of step 1 (u = 128), then a fully
    // transparent layer: red = (0*255 + 200*128 - 0) / 255 = 100, green = (255*255 -
    // 128*255*255/255) / 255 = 127.
    EXPECT_EQ(PixelAt(*list_.Item(1), 0, 0), (Color{0, 127, 100, 255}));
}

TEST_F(PsdImportTest, MergesIntoOneImageOfTheBackgroundsSize) {
    PsdLayout layout = ThreeLayers();
    layout.layers[0] = SolidLayer(1, 1, 4, 4, {0, 0, 255});  // background 3 x 3 at (1, 1)
    ASSERT_TRUE(Import(layout, Choice(PsdModeMerged, {2, 1, 0, 1, 9})).finished);
    ASSERT_EQ(list_.Count(), 1);
    const tagILVITEM& item = *list_.Item(0);
    EXPECT_EQ(item.header->biWidth, 3);
    EXPECT_EQ(item.header->biHeight, 3);
    EXPECT_EQ(PixelAt(item, 0, 0), kGreen);
    EXPECT_EQ(PixelAt(item, 1, 1), kBlue);
    EXPECT_EQ(PixelAt(item, 2, 0), kRed);
}

TEST_F(PsdImportTest, AppliesTheLayerOpacity) {
    PsdLayout layout;
    layout.width = layout.height = 1;
    layout.layers = {SolidLayer(0, 0, 1, 1, {10, 100, 255}, -1, 128)};
    ASSERT_TRUE(Import(layout, Choice(PsdModeMerged, {0})).finished);
    // colour x 128 / 255 onto black
    EXPECT_EQ(PixelAt(*list_.Item(0), 0, 0), (Color{5, 50, 128}));
}

TEST_F(PsdImportTest, SeparateLayersWithTheThreePositionChoices) {
    PsdLayout layout;
    layout.width = layout.height = 4;
    layout.layers = {SolidLayer(-10, -5, -7, -3, {0, 0, 255}),  // wholly outside
                     SolidLayer(-1, 2, 2, 6, {0, 255, 0}, 200, 128)};

    PsdImportChoice choice = Choice(PsdModeSeparate, {0, 1});
    choice.topLeftAsPosition = true;
    ASSERT_TRUE(Import(layout, choice).finished);
    ASSERT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.Item(0)->x, 0);  // (-10, -5) becomes (0, 0), uncropped
    EXPECT_EQ(list_.Item(0)->y, 0);
    EXPECT_EQ(list_.Item(0)->header->biWidth, 3);
    EXPECT_EQ(list_.Item(1)->x, 0);
    EXPECT_EQ(list_.Item(1)->y, 2);
    EXPECT_EQ(PixelAt(*list_.Item(1), 0, 0), (Color{0, 255, 0, 200}));  // no opacity applied

    list_.RemoveAllItems();
    choice.topLeftAsPosition = false;
    choice.maintainCoordinates = true;
    ASSERT_TRUE(Import(layout, choice).finished);
    ASSERT_EQ(list_.Count(), 1);  // the layer outside the document adds nothing
    const tagILVITEM& canvas = *list_.Item(0);
    EXPECT_EQ(canvas.header->biWidth, 4);
    EXPECT_EQ(canvas.header->biHeight, 4);
    EXPECT_EQ(canvas.header->biBitCount, 32);
    EXPECT_EQ(PixelAt(canvas, 0, 2), (Color{0, 255, 0, 100}));  // u = 128 x 200 / 255
    EXPECT_EQ(PixelAt(canvas, 2, 2), (Color{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(canvas, 0, 1), (Color{0, 0, 0, 0}));

    list_.RemoveAllItems();
    choice.maintainCoordinates = false;
    ASSERT_TRUE(Import(layout, choice).finished);
    ASSERT_EQ(list_.Count(), 2);
    EXPECT_EQ(list_.Item(1)->y, 0);
}

TEST_F(PsdImportTest, AnIndexedDocumentBecomesACopyOfItsMergedImage) {
    PsdLayout layout;
    layout.mode = 2;
    layout.channels = 1;
    layout.width = 2;
    layout.height = 1;
    layout.colorModeData.assign(768, 0);
    layout.colorModeData[1] = 0xAA;
    layout.merged = {1, 0};
    Parse(layout);
    const PsdImportOutcome outcome = ImportPsdMergedImage(parser_, list_);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.added, 1);
    ASSERT_EQ(list_.Count(), 1);
    const tagILVITEM& item = *list_.Item(0);
    EXPECT_EQ(item.header->biBitCount, 8);
    EXPECT_EQ(DibColorTable(item.header)[1].rgbRed, 0xAA);
    EXPECT_EQ(item.bits[0], 1);
    EXPECT_NE(item.bits, parser_.MergedBits());  // a copy
}
