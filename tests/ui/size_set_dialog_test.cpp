// The Create Size Set dialog and the SVG size dialog, driven as a user would.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <cstdlib>

#include "core/item.h"
#include "formats/svg/svg_import.h"
#include "support/test_items.h"
#include "ui/canvas_wnd.h"
#include "ui/image_ctrl.h"
#include "ui/qt_interaction.h"
#include "ui/size_set_dialog.h"
#include "ui/svg_size_dialog.h"
#include "ui_test_support.h"

namespace {

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
}

// A 100 x 100 32-bit picture, every byte 0x80.
struct Source {
    NewItem blocks = MakePictureItem(100, 100, 32, 0x80);
    tagILVITEM item;
    Source() {
        item.header = blocks.header.get();
        item.bits = blocks.bits.get();
    }
};

// Saves the dialog's picture where ICONMILL_SCREENSHOTS points, for the README.
void SaveScreenshot(QWidget* widget, const char* name) {
    if (const char* folder = std::getenv("ICONMILL_SCREENSHOTS"))
        widget->grab().save(QString::fromUtf8(folder) + '/' + QString::fromUtf8(name));
}

}  // namespace

TEST(SizeSetDialog, OpensOnThePresetWithAPreviewOfTheSize) {
    Source source;
    CSizeSetDialog dialog(source.item, SizeSetPreset::Cursor);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Create Size Set"));
    EXPECT_EQ(dialog.PresetList()->currentIndex(), 1);
    EXPECT_EQ(dialog.PresetList()->accessibleName(), QStringLiteral("Sizes"));
    EXPECT_FALSE(dialog.CustomEdit()->isEnabled());
    EXPECT_FALSE(dialog.Depth8Box()->isChecked());
    EXPECT_FALSE(dialog.KeepBox()->isChecked());
    EXPECT_EQ(Rows(dialog.SizeList()),
              QStringList({"32 × 32", "48 × 48", "64 × 64", "96 × 96", "128 × 128"}));
    // The preview opens on 48 and follows the list.
    EXPECT_EQ(dialog.SizeList()->currentRow(), 1);
    EXPECT_EQ(dialog.Preview()->Canvas()->ImageWidth(), 48);
    dialog.SizeList()->setCurrentRow(4);
    EXPECT_EQ(dialog.Preview()->Canvas()->ImageWidth(), 128);

    // A size the new preset holds stays chosen; otherwise the preview goes back to 48.
    dialog.SizeList()->setCurrentRow(2);
    dialog.PresetList()->setCurrentIndex(0);
    EXPECT_EQ(dialog.SizeList()->count(), 8);
    EXPECT_EQ(dialog.SizeList()->currentItem()->text(), QStringLiteral("64 × 64"));
    dialog.PresetList()->setCurrentIndex(2);
    EXPECT_EQ(dialog.SizeList()->currentItem()->text(), QStringLiteral("48 × 48"));
}

TEST(SizeSetDialog, CustomListsDepthsAndKeepReachTheOptions) {
    Source source;
    CSizeSetDialog dialog(source.item, SizeSetPreset::Icon);
    dialog.show();
    dialog.PresetList()->setCurrentIndex(3);
    EXPECT_TRUE(dialog.CustomEdit()->isEnabled());
    dialog.CustomEdit()->setText(QStringLiteral("48, 16 ,16"));
    EXPECT_EQ(Rows(dialog.SizeList()), QStringList({"16 × 16", "48 × 48"}));
    dialog.Depth8Box()->click();
    dialog.Depth4Box()->click();
    dialog.KeepBox()->click();
    PressOk(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Options().sizes, (std::vector<int>{16, 48}));
    EXPECT_EQ(dialog.Options().depths, (std::vector<int>{32, 8, 4}));
    EXPECT_TRUE(dialog.Options().keepSource);
}

TEST(SizeSetDialog, ABadCustomListKeepsTheDialogOpenWithItsReason) {
    Source source;
    for (const char* text : {"", "16,,32", "0", "2000", "x"}) {
        SCOPED_TRACE(text);
        CSizeSetDialog dialog(source.item, SizeSetPreset::Custom);
        dialog.show();
        dialog.CustomEdit()->setText(QString::fromUtf8(text));
        EXPECT_EQ(dialog.SizeList()->count(), 0);
        EXPECT_FALSE(dialog.Preview()->Canvas()->HasImage());
        PressOk(&dialog);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(dialog.ProblemLabel()->isVisible());
        EXPECT_EQ(dialog.ProblemLabel()->text(),
                  QStringLiteral("Please enter sizes from 1 to 1024 pixels, separated by commas."));
        // Typing again hides the reason.
        dialog.CustomEdit()->setText(QStringLiteral("24"));
        EXPECT_FALSE(dialog.ProblemLabel()->isVisible());
    }
}

TEST(SizeSetDialog, Screenshot) {
    // A drawing with soft edges, to show the smooth scaling.
    const std::string drawing =
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 64 64'>"
        "<defs><radialGradient id='g' cx='0.35' cy='0.3' r='0.8'>"
        "<stop offset='0' stop-color='#ffe36e'/><stop offset='1' stop-color='#e0571b'/>"
        "</radialGradient></defs>"
        "<circle cx='32' cy='32' r='28' fill='url(#g)' stroke='#7a2a08' stroke-width='3'/>"
        "<path d='M20 38 q12 12 24 0' fill='none' stroke='#7a2a08' stroke-width='4'/>"
        "<circle cx='24' cy='26' r='4' fill='#7a2a08'/><circle cx='40' cy='26' r='4' "
        "fill='#7a2a08'/></svg>";
    std::unique_ptr<SvgDocument> document;
    ASSERT_EQ(SvgDocument::Load({reinterpret_cast<const std::uint8_t*>(drawing.data()),
                                 drawing.size()},
                                &document),
              SvgOk);
    HeaderBlock header;
    Block bits;
    ASSERT_EQ(document->Render(512, 512, &header, &bits), SvgOk);
    tagILVITEM item;
    item.header = header.get();
    item.bits = bits.get();
    CSizeSetDialog dialog(item, SizeSetPreset::Icon);
    dialog.Depth8Box()->setChecked(true);
    dialog.show();
    dialog.resize(dialog.sizeHint());
    SaveScreenshot(&dialog, "size-set-dialog.png");
    EXPECT_FALSE(dialog.grab().isNull());
}

TEST(SvgSizeDialog, OffersTheOwnSizeThePresetsAndAnyOther) {
    const struct {
        int initial;
        QString row;
        bool otherEnabled;
        int side;
    } cases[] = {
        {0, QStringLiteral("Document size (24 × 16)"), false, 0},
        {48, QStringLiteral("48 × 48"), false, 48},
        {300, QStringLiteral("Other"), true, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.initial);
        CSvgSizeDialog dialog(SvgSizeRequest{"a.svg", 24, 16, c.initial});
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SVG Import - a.svg"));
        EXPECT_EQ(dialog.SizeList()->currentText(), c.row);
        EXPECT_EQ(dialog.OtherEdit()->isEnabled(), c.otherEnabled);
        EXPECT_EQ(dialog.Side(), c.side);
        EXPECT_EQ(dialog.SizeList()->accessibleName(), QStringLiteral("Render size"));
    }

    QtInteraction door(nullptr, nullptr);
    WhenModalOpens<CSvgSizeDialog>([](CSvgSizeDialog* dialog) {
        dialog->SizeList()->setCurrentIndex(dialog->SizeList()->count() - 1);
        EXPECT_TRUE(dialog->OtherEdit()->isEnabled());
        dialog->OtherEdit()->setValue(77);
        PressOk(dialog);
    });
    EXPECT_EQ(door.ChooseSvgSize(SvgSizeRequest{"b.svg", 10, 10, 0}), 77);
    WhenModalOpens<CSvgSizeDialog>([](CSvgSizeDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(door.ChooseSvgSize(SvgSizeRequest{"b.svg", 10, 10, 0}), std::nullopt);
}
