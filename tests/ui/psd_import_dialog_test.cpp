// PSD Import Options: the layer list, the preview, the modes and their
// enabling, the refusal of an empty choice, and the choice remembered from one
// import to the next.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTreeWidget>

#include "app/open_flows.h"
#include "core/dib.h"
#include "formats/psd/psd_import.h"
#include "support/psd_bytes.h"
#include "support/test_files.h"
#include "support/test_items.h"
#include "ui/editor.h"
#include "ui/image_ctrl.h"
#include "ui/psd_import_dialog.h"
#include "ui/settings_store.h"
#include "ui_test_support.h"

namespace {

// Three layers: a 4 x 3 opaque background, a 2 x 2 half-transparent one with
// alpha at (1, 1), and a 3 x 1 one partly outside the document at (-1, 2).
struct Layers {
    NewItem background = MakePictureItem(4, 3, 24, 10);
    NewItem middle = MakePictureItem(2, 2, 32, 20);
    NewItem strip = MakePictureItem(3, 1, 24, 30);

    PsdImportRequest Request(std::int32_t code) const {
        PsdImportRequest request;
        request.width = 4;
        request.height = 3;
        request.colorMode = 3;
        request.depth = 8;
        request.initial = PsdChoiceFromSelectionCode(code);
        request.layers = {
            {"Background", 0, 0, 4, 3, false, 255, background.header.get(), background.bits.get()},
            {"Half", 1, 1, 3, 3, true, 128, middle.header.get(), middle.bits.get()},
            {"Strip", -1, 2, 2, 3, false, 0, strip.header.get(), strip.bits.get()},
        };
        return request;
    }
};

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST(PsdImportDialog, ListsTheLayersWithTheirFiveColumnsAndPreviewsTheSelectedOne) {
    const Layers layers;
    const PsdImportRequest request = layers.Request(0);
    CPSDImportOptionsDialog dialog(request);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("PSD Import Options"));
    EXPECT_EQ(dialog.DocumentLine()->text(), QStringLiteral("4x3 px, RGB/8 Bits per Channel"));
    QTreeWidget* list = dialog.LayerList();
    const QStringList headers = {"Name", "Dimensions", "Rectangle (L, T, R, B)", "Alpha Ch.",
                                 "Opacity"};
    const int widths[] = {160, 75, 140, 65, 55};
    ASSERT_EQ(list->columnCount(), 5);
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list->headerItem()->text(column), headers[column]);
        EXPECT_EQ(list->columnWidth(column), widths[column]);
    }
    const QStringList rows[] = {{"Background", "4x3", "0, 0, 4, 3", "No", "100%"},
                                {"Half", "2x2", "1, 1, 3, 3", "Yes", "50%"},
                                {"Strip", "3x1", "-1, 2, 2, 3", "No", "0%"}};
    ASSERT_EQ(list->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QTreeWidgetItem* row = list->topLevelItem(i);
        for (int column = 0; column < 5; ++column) EXPECT_EQ(row->text(column), rows[i][column]);
        EXPECT_EQ(row->checkState(0), Qt::Unchecked);
        EXPECT_EQ(row->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(row->textAlignment(4) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));

    CImageCtrl* preview = dialog.Preview();
    EXPECT_EQ(preview->ViewMode(), 4);
    EXPECT_EQ(preview->Overlays(), kOverlayCoordinates | kOverlayZoom);
    ASSERT_TRUE(preview->Canvas()->HasImage());
    EXPECT_EQ(preview->Canvas()->Header()->biWidth, 4);
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(preview->Canvas()->Header()->biWidth, 2);
    EXPECT_EQ(preview->Canvas()->Header()->biBitCount, 32);

    dialog.SelectAllButton()->click();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list->topLevelItem(i)->checkState(0), Qt::Checked);
}

TEST(PsdImportDialog, OpensOnTheRememberedChoiceWithTheButtonsEnabledAsItAllows) {
    const Layers layers;
    // Checked and enabled, in the order merged, separated, blend background,
    // keep, blend previous, not blend, maintain, top-left, none.
    struct Case {
        std::int32_t code;
        const char* checked;
        const char* enabled;
    };
    const Case cases[] = {
        {0, "100101001", "110000000"}, {2, "011000001", "111111000"},
        {3, "011100001", "111111000"}, {4, "010010001", "111011000"},
        {6, "010001100", "111011111"}, {7, "010001010", "111011111"},
        {8, "010001001", "111011111"}, {99, "100101001", "110000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const PsdImportRequest request = layers.Request(c.code);
        CPSDImportOptionsDialog dialog(request);
        const QAbstractButton* buttons[] = {
            dialog.MergedButton(),          dialog.SeparatedButton(),
            dialog.BlendBackgroundButton(), dialog.KeepBackgroundBox(),
            dialog.BlendPreviousButton(),   dialog.NotBlendButton(),
            dialog.MaintainButton(),        dialog.TopLeftButton(),
            dialog.NoPositionButton()};
        QString checked, enabled;
        for (const QAbstractButton* button : buttons) {
            checked += button->isChecked() ? '1' : '0';
            enabled += button->isEnabled() ? '1' : '0';
        }
        EXPECT_EQ(checked, QString::fromUtf8(c.checked));
        EXPECT_EQ(enabled, QString::fromUtf8(c.enabled));
    }

    // Clicking moves the enabling along.
    const PsdImportRequest request = layers.Request(0);
    CPSDImportOptionsDialog dialog(request);
    dialog.SeparatedButton()->click();
    EXPECT_TRUE(dialog.NotBlendButton()->isEnabled());
    EXPECT_TRUE(dialog.TopLeftButton()->isEnabled());
    EXPECT_FALSE(dialog.KeepBackgroundBox()->isEnabled());
    dialog.BlendBackgroundButton()->click();
    EXPECT_TRUE(dialog.KeepBackgroundBox()->isEnabled());
    EXPECT_FALSE(dialog.TopLeftButton()->isEnabled());
    dialog.MergedButton()->click();
    EXPECT_FALSE(dialog.KeepBackgroundBox()->isEnabled());
    EXPECT_FALSE(dialog.BlendBackgroundButton()->isEnabled());
}

TEST(PsdImportDialog, OkNeedsACheckedLayerAndGivesTheCheckedOnesInListOrder) {
    const Layers layers;
    const PsdImportRequest request = layers.Request(0);
    CPSDImportOptionsDialog dialog(request);
    dialog.show();
    QString message;
    AnswerNextMessageBox(QMessageBox::Ok, &message);
    PressOk(&dialog);
    EXPECT_EQ(message, QStringLiteral("No layer is selected."));
    EXPECT_TRUE(dialog.isVisible());

    dialog.LayerList()->topLevelItem(2)->setCheckState(0, Qt::Checked);
    dialog.LayerList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    dialog.SeparatedButton()->click();
    dialog.BlendBackgroundButton()->click();
    dialog.KeepBackgroundBox()->setChecked(false);
    PressOk(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice().layers, std::vector<int>({0, 2}));
    EXPECT_EQ(dialog.Choice().mode, PsdModeBlendWithBackground);
    EXPECT_FALSE(dialog.Choice().keepBackground);
    EXPECT_EQ(PsdSelectionCodeFromChoice(dialog.Choice()), 2);
}

// A document of two 2 x 2 layers, the second at (1, 0).
PsdLayout TwoLayers() {
    PsdLayout layout;
    layout.width = layout.height = 2;
    PsdLayerSpec a;
    a.right = a.bottom = 2;
    a.name = "Back";
    a.channels = {UniformChannel(0, 4, 10), UniformChannel(1, 4, 20), UniformChannel(2, 4, 30)};
    PsdLayerSpec b = a;
    b.left = 1;
    b.name = "Front";
    b.channels = {UniformChannel(0, 2, 1), UniformChannel(1, 2, 2), UniformChannel(2, 2, 3)};
    layout.layers = {a, b};
    return layout;
}

TEST(PsdImportDialog, TheChoiceIsRememberedFromOneImportToTheNext) {
    SettingsStore().clear();
    ScratchDir dir;
    const std::string path = dir.File("two.psd");
    WriteBytes(path, MakePsd(TwoLayers()));
    CEditor editor;
    editor.Start({});

    WhenModalOpens<CPSDImportOptionsDialog>([](CPSDImportOptionsDialog* dialog) {
        EXPECT_TRUE(dialog->MergedButton()->isChecked());
        dialog->SelectAllButton()->click();
        dialog->SeparatedButton()->click();
        dialog->NotBlendButton()->click();
        dialog->TopLeftButton()->click();
        PressOk(dialog);
    });
    ASSERT_TRUE(ReadImageFile(editor.App(), path.c_str()).read);
    EXPECT_EQ(editor.App().settings.psdImportSelection, 7);
    ASSERT_EQ(editor.App().Items().Count(), 2);
    EXPECT_EQ(editor.App().Items().Item(1)->x, 1);

    bool remembered = false;
    WhenModalOpens<CPSDImportOptionsDialog>([&](CPSDImportOptionsDialog* dialog) {
        remembered = dialog->SeparatedButton()->isChecked() &&
                     dialog->NotBlendButton()->isChecked() && dialog->TopLeftButton()->isChecked();
        dialog->reject();
    });
    ReadImageFile(editor.App(), path.c_str());
    EXPECT_TRUE(remembered);
    EXPECT_EQ(editor.App().Items().Count(), 2);  // Cancel adds nothing
    editor.Finish();
    EXPECT_EQ(SettingsStore().value("2.0/Settings/PSD Import Dialog Selection").toInt(), 7);
    editor.App().ClearModified();
    editor.Window().close();
}

}  // namespace
