#include "ui/qt_clipboard.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "app/application.h"
#include "app/edit_commands.h"
#include "core/dib.h"
#include "platform/door/memory_clipboard.h"
#include "platform/door/string_table.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// A picture "another program" copies: 3 x 2, every pixel its own colour.
QImage OtherProgramsImage() {
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) image.setPixel(x, y, qRgb(40 * x + 10, 100 * y + 20, 77));
    return image;
}

class QtClipboardTest : public testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    void Offer(std::initializer_list<std::pair<const char*, QByteArray>> formats) {
        auto* mime = new QMimeData;
        for (const auto& [type, bytes] : formats) mime->setData(type, bytes);
        QGuiApplication::clipboard()->setMimeData(mime);
    }
    void ExpectPastedOtherProgramsImage() {
        ASSERT_EQ(app.Items().Count(), 1);
        const tagILVITEM& item = *app.Items().Item(0);
        ASSERT_EQ(item.header->biWidth, 3);
        ASSERT_EQ(DibAbsHeight(item.header), 2u);
        const QImage image = OtherProgramsImage();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(DibGetPixel(item.header, item.bits, x, y) & 0xFFFFFF,
                          image.pixel(x, y) & 0xFFFFFF)
                    << x << "," << y;
        EXPECT_TRUE(app.IsModified());
        EXPECT_TRUE(ui.messages.empty());
    }

    ScriptedInteraction ui;
    CIconmillApp app{ui};
    QtClipboard clipboard;
};

}  // namespace

TEST_F(QtClipboardTest, CopyOffersOurItemsAndThePictureAsPngAndBmp) {
    AddPicture(app.Items(), 4, 3, 24, 0x3C, true);
    AddPicture(app.Items(), 2, 2, 8, 5);
    app.Items().SelectAll();
    QSignalSpy changed(&clipboard, &QtClipboard::Changed);
    ASSERT_TRUE(CopyItemsToClipboard(app, clipboard));
    EXPECT_GE(changed.count(), 1);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(kItemsMimeType));
    EXPECT_TRUE(mime->hasFormat(kPngMimeType));
    EXPECT_TRUE(mime->hasFormat(kBmpMimeType));
    // Our items are the very bytes the in-memory clipboard holds.
    MemoryClipboard memory;
    ASSERT_TRUE(CopyItemsToClipboard(app, memory));
    const std::vector<std::uint8_t>& items = memory.formats[std::string(kItemClipboardFormat)];
    EXPECT_EQ(mime->data(kItemsMimeType),
              QByteArray(reinterpret_cast<const char*>(items.data()), qsizetype(items.size())));
    // Other programs read the first picture from either image type.
    for (const char* type : {"PNG", "BMP"}) {
        SCOPED_TRACE(type);
        const QImage image = QImage::fromData(
            mime->data(type == std::string("PNG") ? kPngMimeType : kBmpMimeType), type);
        ASSERT_EQ(image.size(), QSize(4, 3));
        EXPECT_EQ(image.pixel(3, 2) & 0xFFFFFF, 0x3C3C3Cu);
    }
    EXPECT_TRUE(clipboard.IsFormatAvailable(kItemClipboardFormat));
    EXPECT_TRUE(clipboard.IsFormatAvailable(kDibClipboardFormat));

    // Pasting brings both items back with their masks.
    ScriptedInteraction otherUi;
    CIconmillApp other(otherUi);
    ASSERT_TRUE(PasteItems(other, clipboard));
    ASSERT_EQ(other.Items().Count(), 2);
    EXPECT_NE(other.Items().Item(0)->mask, nullptr);
    EXPECT_EQ(other.Items().Item(1)->header->biBitCount, 8);
}

TEST_F(QtClipboardTest, PasteTakesAPictureAnotherProgramOffers) {
    struct Case {
        const char* name;
        const char* type;
        QByteArray bytes;
    };
    const QByteArray bmp = Encode(OtherProgramsImage(), "BMP");
    // The same file with its pixels further on, as some writers place them.
    QByteArray spaced = bmp;
    spaced.insert(54, QByteArray(6, '\x7F'));
    spaced[10] = static_cast<char>(54 + 6);
    const Case cases[] = {
        {"PNG", kPngMimeType, Encode(OtherProgramsImage(), "PNG")},
        {"BMP", kBmpMimeType, bmp},
        {"BMP with a gap before the pixels", kBmpMimeType, spaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.isEmpty());
        Offer({{c.type, c.bytes}});
        EXPECT_FALSE(clipboard.IsFormatAvailable(kItemClipboardFormat));
        EXPECT_TRUE(clipboard.IsFormatAvailable(kDibClipboardFormat));
        app.Items().RemoveAllItems();
        ui.messages.clear();
        ASSERT_TRUE(PasteItems(app, clipboard));
        ExpectPastedOtherProgramsImage();
    }
}

TEST_F(QtClipboardTest, PngIsPreferredAndABrokenOneFallsBackToBmp) {
    QImage black(3, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    Offer({{kPngMimeType, Encode(OtherProgramsImage(), "PNG")},
           {kBmpMimeType, Encode(black, "BMP")}});
    ASSERT_TRUE(PasteItems(app, clipboard));
    ExpectPastedOtherProgramsImage();

    QByteArray cut = Encode(black, "PNG");
    cut.chop(20);
    Offer({{kPngMimeType, cut}, {kBmpMimeType, Encode(OtherProgramsImage(), "BMP")}});
    app.Items().RemoveAllItems();
    ASSERT_TRUE(PasteItems(app, clipboard));
    ExpectPastedOtherProgramsImage();
}

TEST_F(QtClipboardTest, UnreadablePicturesAndLyingItemsAreRefused) {
    // Rows that run past the file.
    QByteArray bmp = Encode(OtherProgramsImage(), "BMP");
    bmp.chop(4);
    Offer({{kBmpMimeType, bmp}});
    ClipboardBlock block;
    EXPECT_FALSE(clipboard.GetData(kDibClipboardFormat, &block));
    EXPECT_FALSE(PasteItems(app, clipboard));
    EXPECT_EQ(app.Items().Count(), 0);

    // Items data whose count promises a second record it does not hold.
    AddPicture(app.Items(), 2, 2, 24, 1);
    app.Items().SelectAll();
    MemoryClipboard memory;
    ASSERT_TRUE(CopyItemsToClipboard(app, memory));
    std::vector<std::uint8_t> items = memory.formats[std::string(kItemClipboardFormat)];
    items[0] = 2;
    Offer({{kItemsMimeType,
            QByteArray(reinterpret_cast<const char*>(items.data()), qsizetype(items.size()))}});
    ScriptedInteraction otherUi;
    CIconmillApp other(otherUi);
    EXPECT_FALSE(PasteItems(other, clipboard));
    EXPECT_EQ(other.Items().Count(), 1);
    ASSERT_EQ(otherUi.messages.size(), 1u);
    EXPECT_EQ(otherUi.messages[0].id, kStrGenericFailure);
}

TEST_F(QtClipboardTest, NothingUsableMeansNoPaste) {
    Offer({{"text/plain", "hello"}});
    EXPECT_FALSE(clipboard.IsFormatAvailable(kItemClipboardFormat));
    EXPECT_FALSE(clipboard.IsFormatAvailable(kDibClipboardFormat));
    EXPECT_FALSE(PasteItems(app, clipboard));
    EXPECT_TRUE(ui.messages.empty());
}
