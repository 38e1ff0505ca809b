// Saving and exporting through the editor's real dialogs: every save target
// gives the bytes the command-line tool writes with the same options, and an
// export stopped with ESC leaves the file that was there.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <sstream>

#include "cli/cli.h"
#include "support/bmp_bytes.h"
#include "support/test_files.h"
#include "ui/animation_options_dialogs.h"
#include "ui/array_options_dialog.h"
#include "ui/editor.h"
#include "ui/png_options_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/settings_store.h"
#include "ui_test_support.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

int Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    EXPECT_EQ(code, 0) << err.str();
    return code;
}

class SaveThroughDialogs : public testing::Test {
protected:
    SaveThroughDialogs() {
        SettingsStore().clear();
        WriteBytes(dir.File("a.bmp"), MakeBmp24(5, 3, 10, 200, 30));
        WriteBytes(dir.File("b.bmp"), MakeBmp24(4, 6, 90, 40, 250));
        Cli({"convert", dir.File("a.bmp"), dir.File("b.bmp"), "-o", input, "--as", "ico"});
    }
    ~SaveThroughDialogs() override {
        if (!editor.Started()) return;
        editor.App().ClearModified();
        editor.Window().close();
    }

    // Save As through the save dialog: file type `filter`, the file `path`.
    void SaveAs(int filter, const std::string& path, bool askForEach = false) {
        WhenModalOpens<CSaveFileDialog>(
            [=](CSaveFileDialog* dialog) {
                dialog->selectNameFilter(dialog->nameFilters()[filter]);
                if (askForEach) dialog->AskEachButton()->click();
                dialog->selectFile(Q(path));
                dialog->accept();
            },
            QStringLiteral("saveFileDialog"));
        editor.Window().Run(kCmdSaveAs);
    }

    // Arranges for the next PNG Options dialog to confirm every non-default value.
    static void ExpectPngOptions() {
        WhenModalOpens<CPNGOptionsDialog>([](CPNGOptionsDialog* dialog) {
            dialog->GrayscaleBox()->click();
            dialog->InterlacedBox()->click();
            dialog->FilterList()->setCurrentIndex(2);
            dialog->CompressionList()->setCurrentIndex(3);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    }

    ScratchDir dir;
    std::string input = dir.File("input.ico");
    CEditor editor;
};

TEST_F(SaveThroughDialogs, EveryTargetWritesTheBytesOfTheCommandLineTool) {
    const std::vector<std::string> png = {
        "--png-grayscale", "--png-interlaced", "--png-filter", "up", "--png-compression", "best"};
    struct Case {
        int filter;
        const char* as;
        const char* extension;
        bool pngOptions;
        bool series;
    };
    const Case cases[] = {
        {0, "bmp", "bmp", false, true},  {1, "png", "png", true, true},
        {2, "apng", "png", true, false}, {3, "ico", "ico", false, false},
        {4, "cur", "cur", false, false}, {5, "ani", "ani", false, false},
    };
    editor.Start({Q(input)});
    ASSERT_EQ(editor.App().Items().Count(), 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.as);
        const std::string gui = dir.File(std::string("gui-") + c.as + "." + c.extension);
        const std::string cli = dir.File(std::string("cli-") + c.as + "." + c.extension);
        std::vector<std::string> args = {"convert", input, "-o", cli, "--as", c.as};
        if (c.pngOptions) {
            args.insert(args.end(), png.begin(), png.end());
            ExpectPngOptions();
        }
        Cli(args);
        if (c.filter == 5)
            WhenModalOpens<CAniOptionsDialog>([](CAniOptionsDialog* dialog) {
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
        SaveAs(c.filter, gui);
        EXPECT_EQ(ReadBytes(gui), ReadBytes(cli));
        if (c.series) {
            const std::string second = std::string("002.") + c.extension;
            EXPECT_EQ(ReadBytes(dir.File(std::string("gui-") + c.as + second)),
                      ReadBytes(dir.File(std::string("cli-") + c.as + second)));
        }
    }
}

TEST_F(SaveThroughDialogs, AskForEachItemNamesTheFurtherFilesInThePerItemDialog) {
    editor.Start({Q(input)});
    const std::string next = dir.File("chosen.bmp");
    QString remaining, initialName;
    WhenModalOpens<CSaveFileDialog>(
        [&](CSaveFileDialog* dialog) {
            remaining = dialog->findChild<QLabel*>("remainingText")->text();
            initialName = dialog->selectedFiles().value(0);
            dialog->selectFile(Q(next));
            dialog->accept();
        },
        QStringLiteral("seriesItemDialog"));
    SaveAs(0, dir.File("first.bmp"), true);
    Cli({"convert", input, "-o", dir.File("cli.bmp"), "--as", "bmp"});
    EXPECT_EQ(remaining, QStringLiteral("Final item"));
    EXPECT_TRUE(initialName.contains(QStringLiteral("/4x6,24-bit"))) << initialName.toStdString();
    EXPECT_EQ(ReadBytes(dir.File("first.bmp")), ReadBytes(dir.File("cli.bmp")));
    EXPECT_EQ(ReadBytes(next), ReadBytes(dir.File("cli002.bmp")));
}

// Runs Export Bitmap Bits of the first item to `path` as raw data or as C
// source (Array Options confirmed as they open), answering the replace question.
void Export(CEditor& editor, const std::string& path, bool source) {
    editor.App().Items().SetSelected(0, true);
    editor.App().NotifySelectionChanged();
    WhenModalOpens<QFileDialog>([=](QFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters()[source ? 0 : 1]);
        dialog->selectFile(Q(path));
        static_cast<QDialog*>(dialog)->accept();
    });
    if (source)
        WhenModalOpens<CArrayOptionsDialog>([](CArrayOptionsDialog* dialog) {
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    AnswerNextMessageBox(QMessageBox::Yes);
    editor.Window().Run(kCmdExportBits);
}

TEST_F(SaveThroughDialogs, ExportShowsItsProgressAndEscLeavesTheFileThatWasThere) {
    const std::string big = dir.File("big.bmp");
    WriteBytes(big, MakeBmp24(300, 200, 1, 2, 3));
    editor.Start({Q(big)});
    CMainFrame& window = editor.Window();
    QLabel* progressText = window.findChild<QLabel*>("progressText");
    ASSERT_NE(progressText, nullptr);

    for (bool source : {false, true}) {
        SCOPED_TRACE(source);
        const std::string target = dir.File(source ? "old.cpp" : "old.raw");
        WriteBytes(target, {'o', 'l', 'd'});
        // ESC once the export shows its progress.
        QString shown;
        auto* escape = new QTimer;
        escape->setInterval(1);
        QObject::connect(escape, &QTimer::timeout, [&, escape] {
            if (!window.IsBusy() || progressText->text().isEmpty()) return;
            shown = progressText->text();
            escape->stop();
            escape->deleteLater();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&window, &press);
        });
        escape->start();
        Export(editor, target, source);
        EXPECT_FALSE(window.IsBusy());
        EXPECT_TRUE(shown.endsWith('%')) << shown.toStdString();
        EXPECT_EQ(ReadBytes(target), std::vector<std::uint8_t>({'o', 'l', 'd'}));
        EXPECT_EQ(window.MessagePane()->text(), QStringLiteral("Ready"));
        EXPECT_TRUE(progressText->text().isEmpty());
    }

    // Not stopped, the export replaces the file with the picture's rows.
    const std::string target = dir.File("old.raw");
    Export(editor, target, false);
    EXPECT_EQ(ReadBytes(target).size(), std::size_t{300 * 3 * 200});
}

}  // namespace
