#include "ui/editor.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "formats/compilation.h"
#include "support/bmp_bytes.h"
#include "support/test_files.h"
#include "support/test_items.h"
#include "ui/image_list_view.h"
#include "ui/settings_store.h"
#include "ui/zoom_control.h"
#include "ui_test_support.h"

namespace {

class Editor : public testing::Test {
protected:
    Editor() {
        SettingsStore().clear();
        WriteBytes(small, MakeBmp24(2, 3, 1, 2, 3));
        WriteBytes(wide, MakeBmp24(7, 2));
        WriteBytes(broken, {'B', 'M', 0, 0});
    }
    ~Editor() override {
        if (!editor.Started()) return;
        editor.App().ClearModified();
        editor.Window().close();
    }

    CMainFrame& Window() { return editor.Window(); }
    CIconmillApp& App() { return editor.App(); }
    bool Enabled(CommandId id) { return Window().Action(id)->isEnabled(); }

    ScratchDir dir;
    std::string small = dir.File("small.bmp");
    std::string wide = dir.File("wide.bmp");
    std::string broken = dir.File("broken.bmp");
    CEditor editor;
};

TEST_F(Editor, StartsEmptyOrWithTheFirstFileOfTheCommandLine) {
    editor.Start({QString::fromStdString(small), QString::fromStdString(wide)});
    EXPECT_EQ(App().Items().Count(), 1);
    EXPECT_FALSE(App().IsModified());
    EXPECT_EQ(Window().ItemCounter()->text(), QStringLiteral("1 item"));
    EXPECT_EQ(Window().ItemView()->CaptionText(0), QStringLiteral("2x3, 24-bit"));
    EXPECT_FALSE(Enabled(kCmdSave));
    EXPECT_TRUE(Enabled(kCmdSaveAs));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Iconmill"));

    CEditor empty;
    empty.Start({QStringLiteral("-Install")});
    EXPECT_EQ(empty.App().Items().Count(), 0);
    EXPECT_EQ(empty.Window().ItemCounter()->text(), QStringLiteral("0 item"));
    EXPECT_FALSE(empty.Window().Action(kCmdSaveAs)->isEnabled());
    empty.Window().close();
}

TEST_F(Editor, SettingsRoundTripAndAnUnknownBackgroundBecomesTheWindowColour) {
    QSettings& store = SettingsStore();
    store.setValue("2.0/Settings/Background", 9);
    store.setValue("2.0/Settings/Show Image Bounding Box", 1);
    store.setValue("2.0/Settings/Alignment", 2);
    editor.Start({});
    EXPECT_EQ(App().settings.background, ViewBackgroundWindow);
    EXPECT_TRUE(Window().Action(kCmdBackgroundWindow)->isChecked());
    EXPECT_TRUE(Window().Action(kCmdShowBoundingBox)->isChecked());
    EXPECT_TRUE(Window().Action(kCmdAlignVertically)->isChecked());
    EXPECT_EQ(App().settings.displayQuickInfo, 1);  // missing: its default

    Window().Action(kCmdShowBoundingBox)->trigger();
    editor.Finish();
    EXPECT_EQ(store.value("2.0/Settings/Background").toInt(), 3);
    EXPECT_EQ(store.value("2.0/Settings/Show Image Bounding Box").toInt(), 0);
    EXPECT_EQ(store.value("2.0/Settings/Alignment").toInt(), 2);
    EXPECT_EQ(store.value("2.0/Settings/Animated Cursor Sequence").toInt(), 0);
}

TEST_F(Editor, PlacementIsRestoredOnAScreenAndIgnoredOffEveryScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* name;
        QRect saved;
        bool maximized;
        bool restored;
    };
    const Case cases[] = {
        {"on the screen", QRect(screen.left() + 40, screen.top() + 30, 500, 400), false, true},
        {"maximised", QRect(screen.left() + 10, screen.top() + 10, 300, 200), true, true},
        {"off every screen", QRect(screen.right() + 5000, screen.bottom() + 5000, 300, 200), false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePlacement(SettingsStore(), {c.saved, c.maximized});
        CEditor placed;
        placed.Start({});
        CMainFrame& window = placed.Window();
        EXPECT_EQ(window.isMaximized(), c.maximized);
        if (c.restored && !c.maximized) {
            EXPECT_EQ(window.pos(), c.saved.topLeft());
            EXPECT_EQ(window.size(), c.saved.size());
        }
        if (!c.restored) {
            EXPECT_NE(window.pos(), c.saved.topLeft());
        }
        window.close();
    }
}

TEST_F(Editor, ClosingSavesThePlacement) {
    editor.Start({});
    Window().move(60, 70);
    Window().resize(640, 480);
    Window().close();
    const std::optional<WindowPlacement> saved = ReadPlacement(SettingsStore());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->rect.size(), QSize(640, 480));
    EXPECT_FALSE(saved->maximized);
}

TEST_F(Editor, ActionsFollowTheEnablingTable) {
    editor.Start({});
    struct Case {
        const char* name;
        int items;
        int selected;
        std::vector<CommandId> enabled;
        std::vector<CommandId> disabled;
    };
    const Case cases[] = {
        {"empty", 0, 0, {kCmdOpen, kCmdNewEmptyBitmap}, {kCmdSaveAs, kCmdSelectAll, kCmdCopy}},
        {"one selected", 2, 1, {kCmdEdit, kCmdCopy, kCmdSplit}, {kCmdMerge, kCmdSave}},
        {"two selected", 2, 2, {kCmdMerge, kCmdDeleteMask}, {kCmdEdit, kCmdSplit}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App().Items().RemoveAllItems();
        for (int i = 0; i < c.items; ++i) AddPicture(App().Items(), 4 + i, 4);
        for (int i = 0; i < c.selected; ++i) App().Items().SetSelected(i, true);
        App().NotifySelectionChanged();
        for (CommandId id : c.enabled) EXPECT_TRUE(Enabled(id)) << id;
        for (CommandId id : c.disabled) EXPECT_FALSE(Enabled(id)) << id;
    }
    // A disabled command does not run from its shortcut either.
    App().Items().RemoveAllItems();
    App().NotifySelectionChanged();
    AddPicture(App().Items(), 4, 4);
    App().NotifySelectionChanged();
    QTest::keyClick(&Window(), Qt::Key_Delete);  // nothing selected
    EXPECT_EQ(App().Items().Count(), 1);
    Window().ItemView()->SetItemSelected(0, true);
    EXPECT_TRUE(Enabled(kCmdDelete));
    Window().Action(kCmdDelete)->trigger();
    EXPECT_EQ(App().Items().Count(), 0);
    EXPECT_EQ(Window().ItemCounter()->text(), QStringLiteral("0 item"));
}

TEST_F(Editor, TheTitleNamesTheCompilationsFileAndType) {
    editor.Start({});
    struct Case {
        CompilationType type;
        const char* path;
        const char* title;
    };
    const Case cases[] = {
        {CompilationIcon, "/x/app.ico", "[Icon: app.ico] - Iconmill"},
        {CompilationCursor, "/x/arrow.cur", "[Cursor: arrow.cur] - Iconmill"},
        {CompilationAnimatedPng, "/x/a.png", "[Animated PNG: a.png] - Iconmill"},
        {CompilationAnimatedCursor, "/x/walk.ani", "[Animated Cursor: walk.ani] - Iconmill"},
        {CompilationNone, "/x/none.bmp", "Iconmill"},
    };
    for (const Case& c : cases) {
        App().ReplaceCompilation(MakeCompilation(c.type, c.path));
        EXPECT_EQ(Window().windowTitle(), QString::fromUtf8(c.title));
    }
}

TEST_F(Editor, TheBusyStateDropsInputAndEscCancels) {
    editor.Start({});
    BusyRequest request;
    request.cancellable = true;
    request.progressRange = 100;
    request.text = "Working";
    Window().BeginBusy(request);
    EXPECT_TRUE(Window().IsBusy());
    EXPECT_EQ(Window().MessagePane()->text(), QStringLiteral("Working"));
    EXPECT_FALSE(Window().ItemCounter()->isVisibleTo(&Window()));
    Window().BeginBusy({});  // nested: nothing at all
    EXPECT_FALSE(Window().PollBusyCancelled());

    // Input is lost, ESC is heard.
    QTest::keyClick(&Window(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_TRUE(Window().PollBusyCancelled());
    EXPECT_EQ(App().Items().Count(), 0);

    Window().EndBusy();  // one end ends it
    EXPECT_FALSE(Window().IsBusy());
    EXPECT_EQ(Window().MessagePane()->text(), QStringLiteral("Ready"));
    EXPECT_TRUE(Window().ItemCounter()->isVisibleTo(&Window()));
}

QMimeData* FileDrop(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    data->setUrls(urls);
    return data;
}

TEST_F(Editor, DroppedFilesAreAddedAskingOnceAfterAFailureThatIsNotTheLast) {
    editor.Start({});
    QString question;
    AnswerNextMessageBox(QMessageBox::Ok);  // the failure itself
    AnswerNextMessageBox(QMessageBox::Yes, &question);
    std::unique_ptr<QMimeData> three(FileDrop({broken, small, wide}));
    Window().DropData(*three);
    EXPECT_EQ(question, QStringLiteral("Do you want to continue reading the remaining files?"));
    EXPECT_EQ(App().Items().Count(), 2);

    // A single unreadable file: its failure only.
    QString failure;
    AnswerNextMessageBox(QMessageBox::Ok, &failure);
    Window().AddDroppedFiles({QString::fromStdString(broken)});
    EXPECT_TRUE(failure.startsWith(QString::fromStdString(broken))) << failure.toStdString();
    EXPECT_EQ(App().Items().Count(), 2);
}

TEST_F(Editor, ClosingWithUnsavedChangesAsks) {
    const std::string saved = dir.File("saved.ico");
    struct Case {
        QMessageBox::StandardButton answer;
        bool closes;
        bool written;
    };
    for (const Case& c : {Case{QMessageBox::Cancel, false, false},
                          Case{QMessageBox::No, true, false}, Case{QMessageBox::Yes, true, true}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        std::filesystem::remove(saved);
        CEditor session;
        session.Start({});
        CIconmillApp& app = session.App();
        app.ReplaceCompilation(MakeCompilation(CompilationIcon, saved));
        AddPicture(app.Items(), 16, 16);
        app.SetModified();
        AnswerNextMessageBox(c.answer);
        EXPECT_EQ(session.Window().close(), c.closes);
        EXPECT_EQ(std::filesystem::exists(saved), c.written);
        if (!c.closes) {
            app.ClearModified();
            session.Window().close();
        }
    }
}

}  // namespace

namespace {

TEST_F(Editor, TheZoomControlAndTheZoomCommandsFollowEachOther) {
    editor.Start({});
    CZoomCtrl* zoom = Window().ZoomControl();
    ASSERT_NE(zoom, nullptr);
    Window().Action(kCmdZoom25)->trigger();
    EXPECT_EQ(zoom->Zoom(), 25.0);
    zoom->ZoomIn();
    EXPECT_EQ(App().view.zoom, 0.5);
    EXPECT_TRUE(Window().Action(kCmdZoom50)->isChecked());
}

TEST_F(Editor, CopyOffersOurItemsAndImagesAndPasteTakesAnotherProgramsImage) {
    editor.Start({QString::fromStdString(small)});
    App().Items().SetSelected(0, true);
    App().NotifySelectionChanged();
    Window().Action(kCmdCopy)->trigger();
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(offered, nullptr);
    EXPECT_TRUE(offered->hasFormat(QStringLiteral("image/png")));
    EXPECT_TRUE(offered->hasFormat(QStringLiteral("image/bmp")));
    const QByteArray png = offered->data(QStringLiteral("image/png"));

    // Someone else puts only a PNG there: Paste follows and adds it.
    auto* theirs = new QMimeData;
    theirs->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(theirs);
    QCoreApplication::processEvents();
    ASSERT_TRUE(Window().Action(kCmdPaste)->isEnabled());
    Window().Action(kCmdPaste)->trigger();
    ASSERT_EQ(App().Items().Count(), 2);
    EXPECT_EQ(App().Items().Item(1)->header->biWidth, 2);

    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Window().Action(kCmdPaste)->isEnabled());
}

}  // namespace
