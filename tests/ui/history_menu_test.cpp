// Edit > Undo and Redo through the window's real actions, and File > Recent
// Files across a restart of the editor.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <filesystem>

#include "app/open_flows.h"
#include "support/bmp_bytes.h"
#include "support/test_files.h"
#include "ui/editor.h"
#include "ui/settings_store.h"
#include "ui_test_support.h"

namespace {

class HistoryMenu : public testing::Test {
protected:
    HistoryMenu() {
        SettingsStore().clear();
        WriteBytes(small, MakeBmp24(2, 3, 1, 2, 3));
        WriteBytes(wide, MakeBmp24(7, 2, 9, 8, 7));
    }

    static void Close(CEditor& session) {
        session.App().ClearModified();
        session.Window().close();
    }

    static QMenu* TopMenu(CMainFrame& window, const QString& title) {
        for (QAction* action : window.menuBar()->actions())
            if (action->text() == title) return action->menu();
        return nullptr;
    }

    static QStringList RecentEntries(CMainFrame& window) {
        QStringList texts;
        for (QAction* action : window.RecentFilesMenu()->actions()) texts << action->text();
        return texts;
    }

    ScratchDir dir;
    std::string small = dir.File("small.bmp");
    std::string wide = dir.File("wide.bmp");
};

TEST_F(HistoryMenu, UndoAndRedoNameTheCommandAndFollowTheHistory) {
    CEditor editor;
    editor.Start({QString::fromStdString(small)});
    CMainFrame& window = editor.Window();
    CIconmillApp& app = editor.App();
    QAction* undo = window.Action(kCmdUndo);
    QAction* redo = window.Action(kCmdRedo);

    // At the top of the Edit menu, on the Standard toolbar and in both context menus.
    QMenu* edit = TopMenu(window, QStringLiteral("&Edit"));
    ASSERT_NE(edit, nullptr);
    ASSERT_GE(edit->actions().size(), 3);
    EXPECT_EQ(edit->actions()[0], undo);
    EXPECT_EQ(edit->actions()[1], redo);
    EXPECT_TRUE(edit->actions()[2]->isSeparator());
    EXPECT_TRUE(window.Toolbar(kCmdToolbarStandard)->actions().contains(undo));
    EXPECT_TRUE(window.Toolbar(kCmdToolbarStandard)->actions().contains(redo));
    for (QMenu* menu : {window.ListContextMenu(), window.ItemContextMenu()}) {
        EXPECT_TRUE(menu->actions().contains(undo));
        EXPECT_TRUE(menu->actions().contains(redo));
    }
    EXPECT_EQ(undo->shortcuts(), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z)});
    const QList<QKeySequence> redoKeys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                          QKeySequence(Qt::CTRL | Qt::Key_Y)};
    EXPECT_EQ(redo->shortcuts(), redoKeys);

    // Nothing to undo after opening.
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo"));

    app.Items().SetSelected(0, true);
    app.NotifySelectionChanged();
    window.Action(kCmdRotateClockwise)->trigger();
    EXPECT_EQ(app.Items().Item(0)->header->biWidth, 3);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QString::fromUtf8("&Undo Rotate 90° Clockwise"));
    EXPECT_EQ(undo->toolTip(), QString::fromUtf8("Undo Rotate 90° Clockwise"));
    EXPECT_TRUE(window.Action(kCmdSave)->isEnabled());

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.Items().Item(0)->header->biWidth, 2);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo"));
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), QString::fromUtf8("&Redo Rotate 90° Clockwise"));
    EXPECT_FALSE(app.IsModified()) << "back at the opened state";
    EXPECT_FALSE(window.Action(kCmdSave)->isEnabled());

    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(app.Items().Item(0)->header->biWidth, 3);
    EXPECT_TRUE(app.IsModified());
    EXPECT_FALSE(redo->isEnabled());

    window.Action(kCmdDelete)->trigger();
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Delete"));
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.Items().Count(), 1);
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app.Items().Item(0)->header->biWidth, 3);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Delete"));

    // A new compilation starts a new history.
    AnswerNextMessageBox(QMessageBox::No);  // do not save the changes
    window.Action(kCmdNewCompilation)->trigger();
    EXPECT_EQ(app.Items().Count(), 0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    Close(editor);
}

TEST_F(HistoryMenu, RecentFilesSurviveARestartAndAMissingOneIsReportedAndRemoved) {
    {
        CEditor first;
        first.Start({QString::fromStdString(wide)});
        EXPECT_EQ(RecentEntries(first.Window()),
                  QStringList{QStringLiteral("&1 ") + QString::fromStdString(wide)});
        Close(first);
    }
    CEditor second;
    second.Start({QString::fromStdString(small)});
    CMainFrame& window = second.Window();
    const QString smallPath = QString::fromStdString(small);
    const QString widePath = QString::fromStdString(wide);
    EXPECT_EQ(RecentEntries(window),
              (QStringList{QStringLiteral("&1 ") + smallPath, QStringLiteral("&2 ") + widePath}));

    // Opening from the list: the file comes first.
    window.RecentFilesMenu()->actions()[1]->trigger();
    EXPECT_EQ(second.App().Items().Count(), 1);
    EXPECT_EQ(second.App().Items().Item(0)->header->biWidth, 7);
    EXPECT_EQ(RecentEntries(window),
              (QStringList{QStringLiteral("&1 ") + widePath, QStringLiteral("&2 ") + smallPath}));

    // A file gone since: the cannot-read message, and it leaves the list (and the settings).
    std::filesystem::remove(small);
    QString message;
    AnswerNextMessageBox(QMessageBox::Ok, &message);
    window.RecentFilesMenu()->actions()[1]->trigger();
    EXPECT_TRUE(message.startsWith(smallPath)) << message.toStdString();
    EXPECT_EQ(second.App().Items().Item(0)->header->biWidth, 7) << "the list stays";
    QCoreApplication::processEvents();
    EXPECT_EQ(RecentEntries(window), QStringList{QStringLiteral("&1 ") + widePath});
    EXPECT_EQ(ReadRecentFiles(SettingsStore()), std::vector<std::string>{wide});
    Close(second);

    // Four at most, newest first.
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(dir.File("f" + std::to_string(i) + ".bmp"));
        WriteBytes(paths.back(), MakeBmp24(2, 2));
    }
    CEditor third;
    third.Start({});
    for (const std::string& path : paths) OpenRecentFile(third.App(), path);
    third.Window().RefreshCommandStates();
    EXPECT_EQ(ReadRecentFiles(SettingsStore()),
              (std::vector<std::string>{paths[5], paths[4], paths[3], paths[2]}));
    Close(third);
}

}  // namespace
