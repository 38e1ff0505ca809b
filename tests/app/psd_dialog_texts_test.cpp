// The PSD Import Options dialog's texts: the document line and a layer's row.
#include "app/psd_dialog_texts.h"

#include <gtest/gtest.h>

TEST(PsdDialogTexts, TheDocumentLineNamesTheModeOrLeavesItEmpty) {
    const struct {
        int mode;
        const char* line;
    } cases[] = {{3, "640x480 px, RGB/8 Bits per Channel"},
                 {9, "640x480 px, Lab/8 Bits per Channel"},
                 {5, "640x480 px, /8 Bits per Channel"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        PsdImportRequest request;
        request.width = 640;
        request.height = 480;
        request.colorMode = c.mode;
        request.depth = 8;
        EXPECT_EQ(PsdDocumentLine(request), c.line);
    }
}

TEST(PsdDialogTexts, ALayerRowTruncatesTheOpacityAndTakesSidesFromItsRectangle) {
    const struct {
        std::uint8_t opacity;
        const char* percent;
    } cases[] = {{255, "100%"}, {254, "99%"}, {128, "50%"}, {127, "49%"}, {1, "0%"}, {0, "0%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.opacity));
        PsdLayerEntry layer;
        layer.name = "Layer 1";
        layer.left = -10;
        layer.top = -5;
        layer.right = 2147483647;
        layer.bottom = 20;
        layer.hasAlpha = c.opacity % 2 == 0;
        layer.opacity = c.opacity;
        const std::array<std::string, 5> row = PsdLayerRow(layer);
        EXPECT_EQ(row[0], "Layer 1");
        EXPECT_EQ(row[1], "2147483657x25");
        EXPECT_EQ(row[2], "-10, -5, 2147483647, 20");
        EXPECT_EQ(row[3], layer.hasAlpha ? "Yes" : "No");
        EXPECT_EQ(row[4], c.percent);
    }
}
