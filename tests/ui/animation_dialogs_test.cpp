// Animation Timing with its playback thread, Frame Properties, Set Hot Spot,
// Animation Options and Animated Cursor Options, driven through their widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <system_error>

#include "anim/frame_edit.h"
#include "app/application.h"
#include "support/test_items.h"
#include "ui/animation_options_dialogs.h"
#include "ui/animation_timing_dialog.h"
#include "ui/canvas_wnd.h"
#include "ui/editor.h"
#include "ui/frame_properties_dialogs.h"
#include "ui/image_ctrl.h"
#include "ui/qt_interaction.h"
#include "ui/up_down_edit.h"
#include "ui_test_support.h"

namespace {

const QString kInteger = QStringLiteral("Please enter an integer value.");

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

// Waits until `done` holds, up to `ms`, letting events through.
template <class F>
bool WaitFor(F done, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QTest::qWait(2);
    }
    return true;
}

// An application with items of distinct colours: the frames of the tests.
class AnimationDialogs : public testing::Test {
protected:
    void AddFrames(int count, std::uint32_t delay = kDefaultFrameDelay) {
        for (int i = 0; i < count; ++i) {
            const int index = AddPicture(app.Items(), 4, 3, 24, static_cast<std::uint8_t>(20 + 40 * i));
            app.Items().Item(index)->frameInfo.delay = delay;
        }
        app.ClearModified();
    }
    std::vector<std::uint32_t> Delays() const {
        std::vector<std::uint32_t> delays;
        for (int i = 0; i < app.Items().Count(); ++i)
            delays.push_back(app.Items().Item(i)->frameInfo.delay);
        return delays;
    }
    std::unique_ptr<CAnimationTimingDialog> OpenTiming() {
        std::optional<AnimationTiming> timing = OpenAnimationTiming(app);
        if (!timing) return nullptr;
        auto dialog = std::make_unique<CAnimationTimingDialog>(app, std::move(*timing));
        dialog->show();
        return dialog;
    }
    // SET with a method, value and step.
    static void Set(CAnimationTimingDialog& dialog, TimingMethod method, const QString& value,
                    const QString& step = QStringLiteral("25")) {
        dialog.MethodList()->setCurrentIndex(static_cast<int>(method));
        dialog.ValueEdit()->setText(value);
        dialog.StepEdit()->setText(step);
        dialog.SetButton()->click();
    }

    QtInteraction door{nullptr, nullptr};
    CIconmillApp app{door};
};

// ---- Animation Timing --------------------------------------------------------

TEST_F(AnimationDialogs, TimingOpensOnFrameOneWithItsTextsAndControls) {
    AddFrames(5, 1250);
    auto dialog = OpenTiming();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Animation Timing"));
    EXPECT_EQ(dialog->CounterText()->text(), QStringLiteral("1/5"));
    EXPECT_EQ(dialog->TimesText()->text(), QStringLiteral("00:01.25/00:06.25"));
    EXPECT_EQ(dialog->ValueEdit()->text(), QStringLiteral("125"));
    EXPECT_EQ(dialog->ValueEdit()->maxLength(), 4);
    EXPECT_EQ(dialog->StepEdit()->maxLength(), 4);
    EXPECT_EQ(dialog->StepEdit()->text(), QStringLiteral("25"));
    EXPECT_EQ(dialog->TrackBar()->minimum(), 1);
    EXPECT_EQ(dialog->TrackBar()->maximum(), 5);
    EXPECT_EQ(dialog->TrackBar()->value(), 1);
    QStringList methods;
    for (int i = 0; i < dialog->MethodList()->count(); ++i) methods << dialog->MethodList()->itemText(i);
    EXPECT_EQ(methods, QStringList({"Distinct", "Linear", "Ease-in", "Ease-out", "Ease-in-out"}));
    EXPECT_EQ(dialog->MethodList()->currentIndex(), 0);
    EXPECT_FALSE(dialog->LimitBox()->isEnabled());  // nothing selected
    EXPECT_EQ(dialog->LimitBox()->text(), QStringLiteral("&Limit to selected items"));
    EXPECT_EQ(dialog->SetButton()->text(), QStringLiteral("&SET"));
    EXPECT_EQ(dialog->StepLabel()->text(), QStringLiteral("S&tep:"));
    EXPECT_EQ(dialog->Preview()->Canvas()->Label(), QStringLiteral("Animation bounding: 4x3"));
    EXPECT_EQ(dialog->Preview()->ViewMode(), 4);
    EXPECT_EQ(dialog->Preview()->Background(), 1);
    EXPECT_EQ(dialog->Preview()->Overlays(), kOverlayZoom | kOverlayLabel);
    const struct {
        QAction* action;
        const char* tip;
    } actions[] = {{dialog->FirstAction(), "First"}, {dialog->PreviousAction(), "Previous"},
                   {dialog->PlayAction(), "Play"},   {dialog->NextAction(), "Next"},
                   {dialog->LastAction(), "Last"}};
    QList<QAction*> order;
    for (const auto& a : actions) {
        SCOPED_TRACE(a.tip);
        EXPECT_EQ(a.action->toolTip(), QString::fromLatin1(a.tip));
        EXPECT_EQ(dialog->NavigationBar()->widgetForAction(a.action)->accessibleName(),
                  QString::fromLatin1(a.tip));
        order << a.action;
    }
    EXPECT_EQ(dialog->NavigationBar()->actions(), order);
    EXPECT_EQ(dialog->CounterText()->toolTip(), QStringLiteral("Current frame/Total frames"));
    EXPECT_EQ(dialog->TimesText()->toolTip(), QStringLiteral("Frame length/Total length"));
    EXPECT_EQ(dialog->MethodList()->toolTip(), QStringLiteral("Timing method"));
    EXPECT_EQ(dialog->OptionsButton()->toolTip(), QStringLiteral("Options"));
    EXPECT_EQ(dialog->LimitBox()->toolTip(),
              QStringLiteral("If checked, only animates the selected items"));

    app.Items().SetSelected(1, true);
    EXPECT_TRUE(OpenTiming()->LimitBox()->isEnabled());
}

TEST_F(AnimationDialogs, NavigationAndTheTrackBarShowTheirFrames) {
    AddFrames(4);
    for (int i = 0; i < 4; ++i) app.Items().Item(i)->frameInfo.delay = 100 * (i + 1);
    auto dialog = OpenTiming();
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* counter;
        const char* value;
    };
    const Step steps[] = {
        {"Previous at the first", [&] { dialog->PreviousAction()->trigger(); }, "1/4", "10"},
        {"Next", [&] { dialog->NextAction()->trigger(); }, "2/4", "20"},
        {"Last", [&] { dialog->LastAction()->trigger(); }, "4/4", "40"},
        {"Next at the last", [&] { dialog->NextAction()->trigger(); }, "4/4", "40"},
        {"Previous", [&] { dialog->PreviousAction()->trigger(); }, "3/4", "30"},
        {"First", [&] { dialog->FirstAction()->trigger(); }, "1/4", "10"},
        {"track bar", [&] { dialog->TrackBar()->setValue(3); }, "3/4", "30"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(dialog->CounterText()->text(), QString::fromLatin1(s.counter));
        EXPECT_EQ(dialog->ValueEdit()->text(), QString::fromLatin1(s.value));
        EXPECT_EQ(dialog->TrackBar()->value(), QString::fromLatin1(s.counter).left(1).toInt());
    }
    EXPECT_EQ(dialog->TimesText()->text(), QStringLiteral("00:00.30/00:01.00"));
}

TEST_F(AnimationDialogs, ThePreviewComposesTheFramesOverItsBackground) {
    AddFrames(3);
    // A frame smaller than the animation, drawn at an offset, clears its own
    // rectangle only; a background change clears the whole canvas.
    const int small = AddPicture(app.Items(), 2, 2, 24, 200);
    app.Items().Item(small)->x = 5;
    app.Items().Item(small)->y = 1;
    auto dialog = OpenTiming();
    EXPECT_EQ(dialog->Preview()->Canvas()->Label(), QStringLiteral("Animation bounding: 7x3"));
    const auto pixel = [&](int x, int y) {
        const std::optional<RasterImage> canvas = dialog->Preview()->Canvas()->CanvasImage();
        EXPECT_TRUE(canvas);
        if (!canvas) return -1;
        const int row = canvas->topDown ? y : canvas->height - 1 - y;
        return int(canvas->bits[row * canvas->stride + 3 * x]);
    };
    EXPECT_EQ(pixel(0, 0), 20);   // frame 0
    EXPECT_EQ(pixel(6, 0), 255);  // the white background beside it
    for (int i = 0; i < 3; ++i) dialog->NextAction()->trigger();
    EXPECT_EQ(pixel(5, 1), 200);
    EXPECT_EQ(pixel(0, 0), 100);  // frame 2 stays under the small frame
    EXPECT_EQ(pixel(6, 0), 255);
    emit dialog->Preview()->BackgroundList()->activated(0);  // Black
    EXPECT_EQ(dialog->Preview()->Background(), 0);
    EXPECT_EQ(pixel(0, 0), 0);  // cleared to black, then the frame again
    EXPECT_EQ(pixel(5, 1), 200);
}

TEST_F(AnimationDialogs, StepIsEnabledForTheRampsOnly) {
    AddFrames(2);
    auto dialog = OpenTiming();
    const bool expected[] = {false, false, true, true, true};
    for (int method = 0; method < 5; ++method) {
        SCOPED_TRACE(method);
        dialog->MethodList()->setCurrentIndex(method);
        EXPECT_EQ(dialog->StepEdit()->isEnabled(), expected[method]);
        EXPECT_EQ(dialog->StepLabel()->isEnabled(), expected[method]);
    }
}

TEST_F(AnimationDialogs, SetRefusesAMissingValueOrStepAndFocusesIt) {
    AddFrames(3);
    auto dialog = OpenTiming();
    struct Case {
        TimingMethod method;
        const char* value;
        const char* step;
        bool valueRefused;
    };
    const Case cases[] = {{TimingMethod::Distinct, "", "25", true},
                          {TimingMethod::EaseIn, "", "", true},
                          {TimingMethod::EaseOut, "5", "", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.method));
        QString text;
        AnswerNextMessageBox(QMessageBox::Ok, &text);
        Set(*dialog, c.method, QString::fromLatin1(c.value), QString::fromLatin1(c.step));
        EXPECT_EQ(text, kInteger);
        QLineEdit* refused = c.valueRefused ? dialog->ValueEdit() : dialog->StepEdit();
        EXPECT_EQ(dialog->focusWidget(), refused);
        EXPECT_EQ(refused->selectedText(), refused->text());
        EXPECT_FALSE(dialog->Timing().Changed());
        EXPECT_EQ(dialog->Timing().FrameDelay(0), kDefaultFrameDelay);
    }
    // Linear takes no step: an empty Step does not matter.
    Set(*dialog, TimingMethod::Linear, QStringLiteral("3"), QString());
    EXPECT_EQ(dialog->TimesText()->text(), QStringLiteral("00:00.03/00:00.09"));
}

TEST_F(AnimationDialogs, OkWritesTheListsDelaysOnlyAfterSet) {
    AddFrames(5);
    struct Case {
        const char* name;
        std::function<void(CAnimationTimingDialog&)> act;
        bool ok;
        std::vector<std::uint32_t> delays;
        bool modified;
    };
    const std::vector<std::uint32_t> untouched(5, kDefaultFrameDelay);
    const Case cases[] = {
        {"Ease-in on the middle frame",
         [](CAnimationTimingDialog& d) {
             d.TrackBar()->setValue(3);
             Set(d, TimingMethod::EaseIn, QStringLiteral("10"), QStringLiteral("3"));
         },
         true,
         {160, 130, 100, 70, 40},
         true},
        {"Ease-in running out after the current frame",
         [](CAnimationTimingDialog& d) {
             d.TrackBar()->setValue(3);
             Set(d, TimingMethod::EaseIn, QStringLiteral("5"), QStringLiteral("3"));
         },
         true,
         {110, 80, 50, 20, 0},
         true},
        {"Ease-out on frame 0",
         [](CAnimationTimingDialog& d) {
             Set(d, TimingMethod::EaseOut, QStringLiteral("10"), QStringLiteral("3"));
         },
         true,
         {100, 130, 160, 190, 220},
         true},
        {"OK without SET", [](CAnimationTimingDialog& d) { d.NextAction()->trigger(); }, true,
         untouched, false},
        {"Cancel after SET",
         [](CAnimationTimingDialog& d) { Set(d, TimingMethod::Linear, QStringLiteral("1")); },
         false, untouched, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 5; ++i) app.Items().Item(i)->frameInfo.delay = kDefaultFrameDelay;
        app.ClearModified();
        WhenModalOpens<CAnimationTimingDialog>([&](CAnimationTimingDialog* d) {
            c.act(*d);
            (c.ok ? d->OkButton() : d->CancelButton())->click();
        });
        RunAnimationTiming(app, nullptr);
        EXPECT_EQ(Delays(), c.delays);
        EXPECT_EQ(app.IsModified(), c.modified);
    }
}

TEST_F(AnimationDialogs, TheExcludedFirstFrameAndItemsOutsideTheListKeepTheirDelays) {
    AddFrames(4);
    app.Compilation().firstFrameExcluded = true;
    app.Items().SetSelected(1, true);
    app.Items().SetSelected(3, true);
    WhenModalOpens<CAnimationTimingDialog>([&](CAnimationTimingDialog* d) {
        EXPECT_EQ(d->CounterText()->text(), QStringLiteral("1/3"));
        Set(*d, TimingMethod::Linear, QStringLiteral("2"));
        EXPECT_EQ(d->TimesText()->text(), QStringLiteral("00:00.02/00:00.06"));
        // Limited to the selected items, the first of them is the excluded one.
        d->LimitBox()->click();
        EXPECT_EQ(d->CounterText()->text(), QStringLiteral("1/1"));
        EXPECT_EQ(d->TrackBar()->maximum(), 1);
        Set(*d, TimingMethod::Distinct, QStringLiteral("9"));
        d->OkButton()->click();
    });
    RunAnimationTiming(app, nullptr);
        // Only the frames of the list as it was at OK are written.
    EXPECT_EQ(Delays(), (std::vector<std::uint32_t>{kDefaultFrameDelay, kDefaultFrameDelay,
                                                    kDefaultFrameDelay, 90}));
}

TEST_F(AnimationDialogs, AnEmptyFrameListIsRefusedBeforeTheDialogOpens) {
    AddFrames(1);
    app.Compilation().firstFrameExcluded = true;
    QString text;
    AnswerNextMessageBox(QMessageBox::Ok, &text);
    RunAnimationTiming(app, nullptr);
    EXPECT_EQ(text, QStringLiteral("Encountered an improper argument."));
    EXPECT_FALSE(app.IsModified());
}

TEST_F(AnimationDialogs, OptionsRebuildsTheListWhenTheFirstFrameFlagChanged) {
    AddFrames(3);
    app.Compilation().numPlays = 2;
    auto dialog = OpenTiming();
    dialog->NextAction()->trigger();
    WhenModalOpens<CAnimationOptionsDialog>([](CAnimationOptionsDialog* options) {
        EXPECT_EQ(options->PlaysEdit()->text(), QStringLiteral("2"));
        options->ExcludeBox()->click();
        PressOk(options);
    });
    dialog->OptionsButton()->click();
    EXPECT_TRUE(app.Compilation().firstFrameExcluded);
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(dialog->CounterText()->text(), QStringLiteral("1/2"));
    // Unchanged flag: the frame shown stays.
    dialog->NextAction()->trigger();
    WhenModalOpens<CAnimationOptionsDialog>(&PressOk);
    dialog->OptionsButton()->click();
    EXPECT_EQ(dialog->CounterText()->text(), QStringLiteral("2/2"));
}

TEST_F(AnimationDialogs, TheLayoutFollowsTheSizeAndStopsAtItsMinimum) {
    AddFrames(2);
    auto dialog = OpenTiming();
    EXPECT_EQ(dialog->size(), QSize(407, 470));
    EXPECT_EQ(dialog->minimumSize(), QSize(407, 407));
    dialog->resize(600, 520);
    QTest::qWait(1);
    const int w = 600, h = 520;
    EXPECT_EQ(dialog->Preview()->geometry(), QRect(11, 11, w - 22, h - 200));
    EXPECT_EQ(dialog->TrackBar()->geometry(), QRect(11, h - 179, w - 22, 28));
    const QRect bar = dialog->NavigationBar()->geometry();
    EXPECT_EQ(bar.left(), (w - bar.width()) / 2);
    EXPECT_EQ(bar.top(), h - 149);
    EXPECT_EQ(dialog->CounterText()->geometry(), QRect(bar.left() - 127, h - 149, 120, bar.height()));
    EXPECT_EQ(dialog->ValueEdit()->geometry(),
              QRect(bar.left(), bar.bottom() + 8, bar.width(), bar.height()));
    EXPECT_EQ(dialog->OkButton()->pos(), QPoint(w - 184, h - 44));
    EXPECT_EQ(dialog->CancelButton()->pos(), QPoint(w - 94, h - 44));
    EXPECT_EQ(dialog->LimitBox()->pos(), QPoint(11, h - 36));
}

// ---- Playback ------------------------------------------------------------------

TEST_F(AnimationDialogs, PlaybackWrapsStepsPausesAndLocksTheMethodControls) {
    AddFrames(3, 10);
    auto dialog = OpenTiming();
    dialog->PlayAction()->trigger();
    ASSERT_TRUE(dialog->IsPlaying());
    EXPECT_EQ(dialog->PlayAction()->toolTip(), QStringLiteral("Pause"));
    EXPECT_FALSE(dialog->MethodList()->isEnabled());
    EXPECT_FALSE(dialog->ValueEdit()->isEnabled());
    EXPECT_FALSE(dialog->SetButton()->isEnabled());
    EXPECT_TRUE(dialog->NavigationBar()->isEnabled());
    EXPECT_TRUE(dialog->OptionsButton()->isEnabled());
    // Every frame comes, the first again after the last.
    std::vector<int> seen;
    QObject::connect(dialog->TrackBar(), &QSlider::valueChanged, dialog.get(),
                     [&](int position) { seen.push_back(position); });
    EXPECT_TRUE(WaitFor([&] { return seen.size() >= 5; }));
    for (std::size_t i = 1; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i], seen[i - 1] % 3 + 1);
    }
    // The user's navigation goes on while playing.
    dialog->LastAction()->trigger();
    dialog->PlayAction()->trigger();  // Pause
    EXPECT_FALSE(dialog->IsPlaying());
    EXPECT_EQ(dialog->PlayAction()->toolTip(), QStringLiteral("Play"));
    EXPECT_TRUE(dialog->MethodList()->isEnabled());
    EXPECT_TRUE(dialog->ValueEdit()->isEnabled());
    EXPECT_TRUE(dialog->SetButton()->isEnabled());
    // Frames posted before the pause are not shown after it.
    const QString paused = dialog->CounterText()->text();
    QTest::qWait(50);
    EXPECT_EQ(dialog->CounterText()->text(), paused);
}

TEST_F(AnimationDialogs, OneFrameIsShownAgainAndAgain) {
    // A half-transparent black frame blended over what is there, never
    // disposed: each showing halves the white of the canvas.
    const int index = AddPicture(app.Items(), 2, 2, 32, 0);
    tagILVITEM& item = *app.Items().Item(index);
    for (int pixel = 0; pixel < 4; ++pixel) item.bits[4 * pixel + 3] = 128;
    item.frameInfo = {10, 1, 0, 0, 0};
    auto dialog = OpenTiming();
    const auto red = [&] {
        const std::optional<RasterImage> canvas = dialog->Preview()->Canvas()->CanvasImage();
        return canvas ? int(canvas->bits[2]) : -1;
    };
    const int first = red();
    EXPECT_GT(first, 100);
    dialog->PlayAction()->trigger();
    EXPECT_TRUE(WaitFor([&] { return red() < first / 4; })) << red();  // two showings more
    EXPECT_EQ(dialog->CounterText()->text(), QStringLiteral("1/1"));
    dialog->PlayAction()->trigger();
}

TEST_F(AnimationDialogs, ClosingWhilePlayingEndsTheThreadWithinASecond) {
    struct Case {
        const char* name;
        std::uint32_t delay;
        std::function<void(CAnimationTimingDialog&)> close;
    };
    const Case cases[] = {
        {"Cancel during a long frame", 60000, [](CAnimationTimingDialog& d) { d.CancelButton()->click(); }},
        {"OK between short frames", 1, [](CAnimationTimingDialog& d) { d.OkButton()->click(); }},
        {"window closed", 5, [](CAnimationTimingDialog& d) { d.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.Items().RemoveAllItems();
        AddFrames(3, c.delay);
        auto dialog = OpenTiming();
        dialog->PlayAction()->trigger();
        QTest::qWait(20);
        QElapsedTimer timer;
        timer.start();
        c.close(*dialog);
        EXPECT_LT(timer.elapsed(), 1000);
        EXPECT_FALSE(dialog->IsPlaying());
        EXPECT_FALSE(dialog->isVisible());
    }
    // Destroyed while playing: the destructor stops the thread first.
    auto dialog = OpenTiming();
    dialog->PlayAction()->trigger();
    QTest::qWait(10);
    dialog.reset();
    QTest::qWait(20);  // frames posted meanwhile went with the dialog
}

TEST_F(AnimationDialogs, AThreadThatCannotStartLeavesTheDialogStopped) {
    AddFrames(2);
    auto dialog = OpenTiming();
    dialog->Player().SetLauncher([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    QString text;
    AnswerNextMessageBox(QMessageBox::Ok, &text);
    dialog->PlayAction()->trigger();
    EXPECT_EQ(text, QStringLiteral("Failed to perform the operation. Some things wrong."));
    EXPECT_FALSE(dialog->IsPlaying());
    EXPECT_EQ(dialog->PlayAction()->toolTip(), QStringLiteral("Play"));
    EXPECT_TRUE(dialog->SetButton()->isEnabled());
}

TEST_F(AnimationDialogs, RebuildingWhilePlayingPlaysTheNewList) {
    AddFrames(4, 5);
    app.Items().SetSelected(2, true);
    app.Items().SetSelected(3, true);
    auto dialog = OpenTiming();
    dialog->PlayAction()->trigger();
    dialog->LimitBox()->click();
    EXPECT_TRUE(dialog->IsPlaying());
    QStringList seen;
    EXPECT_TRUE(WaitFor([&] {
        seen << dialog->CounterText()->text();
        return seen.contains("1/2") && seen.contains("2/2");
    }));
    EXPECT_FALSE(seen.contains("3/4"));
    dialog->PlayAction()->trigger();
}

// ---- Frame Properties ------------------------------------------------------------

TEST_F(AnimationDialogs, FramePropertiesShowsOneItemAndNothingForSeveral) {
    AddFrames(2);
    tagILVITEM& item = *app.Items().Item(0);
    item.x = -5;
    item.y = 7;
    item.frameInfo = {125, 1, 2, 0, 0};
    app.Items().SetSelected(0, true);
    CFramePropertiesDialog one(*FramePropertiesFormOf(app.Items()));
    EXPECT_EQ(one.windowTitle(), QStringLiteral("Frame Properties"));
    EXPECT_EQ(one.XEdit()->text(), QStringLiteral("-5"));
    EXPECT_EQ(one.YEdit()->text(), QStringLiteral("7"));
    EXPECT_EQ(one.DelayEdit()->text(), QStringLiteral("12"));
    EXPECT_EQ(one.BlendList()->currentText(), QStringLiteral("Over"));
    EXPECT_EQ(one.DisposeList()->currentText(), QStringLiteral("Previous"));
    EXPECT_EQ(one.XEdit()->maxLength(), 4);
    QStringList lists;
    for (QComboBox* list : {one.BlendList(), one.DisposeList()})
        for (int i = 0; i < list->count(); ++i) lists << list->itemText(i);
    EXPECT_EQ(lists, QStringList({"Copy", "Over", "None", "Background", "Previous"}));

    app.Items().SetSelected(1, true);
    CFramePropertiesDialog several(*FramePropertiesFormOf(app.Items()));
    for (QLineEdit* edit : {several.XEdit(), several.YEdit(), several.DelayEdit()})
        EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(several.BlendList()->currentIndex(), -1);
    EXPECT_EQ(several.DisposeList()->currentIndex(), -1);
}

TEST_F(AnimationDialogs, FramePropertiesRefusesFieldsInOrderThenSetsEverySelectedItem) {
    AddFrames(3);
    app.Items().Item(0)->x = -5;
    app.Items().SetSelected(0, true);
    app.Items().SetSelected(2, true);
    WhenModalOpens<CFramePropertiesDialog>([&](CFramePropertiesDialog* d) {
        d->DelayEdit()->setText(QStringLiteral("7"));
        struct Step {
            const char* x;
            const char* y;
            QLineEdit* focused;
        };
        const Step steps[] = {{"", "", d->XEdit()}, {"-5", "3", d->XEdit()}, {"2", "", d->YEdit()}};
        for (const Step& s : steps) {
            SCOPED_TRACE(s.x);
            d->XEdit()->setText(QString::fromLatin1(s.x));
            d->YEdit()->setText(QString::fromLatin1(s.y));
            QString text;
            AnswerNextMessageBox(QMessageBox::Ok, &text);
            PressOk(d);
            EXPECT_EQ(text, kInteger);
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(d->focusWidget(), s.focused);
            EXPECT_EQ(s.focused->selectedText(), s.focused->text());
        }
        d->YEdit()->setText(QStringLiteral("3"));
        PressOk(d);
    });
    RunFrameProperties(app, nullptr);
    EXPECT_TRUE(app.IsModified());
    for (int i : {0, 2}) {
        SCOPED_TRACE(i);
        const tagILVITEM& item = *app.Items().Item(i);
        EXPECT_EQ(item.x, 2);
        EXPECT_EQ(item.y, 3);
        EXPECT_EQ(item.frameInfo.delay, 70u);
        EXPECT_EQ(item.frameInfo.blendOp, 0);    // no Blending entry: Copy
        EXPECT_EQ(item.frameInfo.disposeOp, 1);  // no Disposing entry: Background
    }
    EXPECT_EQ(app.Items().Item(1)->frameInfo.delay, kDefaultFrameDelay);
    EXPECT_EQ(app.Items().Item(1)->x, 0);
}

// ---- Set Hot Spot ------------------------------------------------------------------

TEST_F(AnimationDialogs, HotSpotIsPickedOnTheReferenceImageAndStoredInTheDuplicate) {
    AddPicture(app.Items(), 8, -6, 8);
    const int duplicate = AppendDuplicateOf(app.Items(), 0);
    app.Items().Item(duplicate)->frameInfo.hotspotX = 1;
    app.Items().Item(duplicate)->frameInfo.hotspotY = 2;
    app.Items().SetSelected(duplicate, true);
    app.ClearModified();
    struct Case {
        const char* name;
        std::function<void(CHotSpotDialog&)> act;
        const char* label;
        std::pair<int, int> stored;
        bool modified;
    };
    const auto at = [](CHotSpotDialog& d, int x, int y) {
        CCanvasWnd* canvas = d.ImageControl()->Canvas();
        return canvas->PictureRect().topLeft() + QPoint(10 * x + 5, 10 * y + 5);
    };
    const Case cases[] = {
        {"OK without a pick", [](CHotSpotDialog&) {}, "1, 2", {1, 2}, false},
        {"a press outside the image", [&](CHotSpotDialog& d) {
             QTest::mouseClick(d.ImageControl()->Canvas()->viewport(), Qt::LeftButton, {},
                               at(d, 8, 2));
         }, "1, 2", {1, 2}, false},
        {"a press, then a drag", [&](CHotSpotDialog& d) {
             QWidget* viewport = d.ImageControl()->Canvas()->viewport();
             QTest::mousePress(viewport, Qt::LeftButton, {}, at(d, 7, 5));
             QMouseEvent move(QEvent::MouseMove, QPointF(at(d, 2, 2)),
                              viewport->mapToGlobal(QPointF(at(d, 2, 2))), Qt::NoButton,
                              Qt::LeftButton, {});
             QApplication::sendEvent(viewport, &move);
             QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(d, 2, 2));
         }, "7, 5", {7, 5}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WhenModalOpens<CHotSpotDialog>([&](CHotSpotDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Set Hot Spot"));
            EXPECT_EQ(d->ImageControl()->Canvas()->Label(), QStringLiteral("8x-6, 8-bit"));
            EXPECT_EQ(d->ImageControl()->Canvas()->ImageWidth(), 8);
            EXPECT_TRUE(d->ImageControl()->Canvas()->ToolMode());
            d->ImageControl()->SetZoom(10.0f);
            c.act(*d);
            EXPECT_EQ(d->HotSpotLabel()->text(), QString::fromLatin1(c.label));
            PressOk(d);
        });
        RunSetHotSpot(app, nullptr);
        const FrameInfo& frame = app.Items().Item(duplicate)->frameInfo;
        EXPECT_EQ(std::make_pair(int(frame.hotspotX), int(frame.hotspotY)), c.stored);
        EXPECT_EQ(app.IsModified(), c.modified);
        EXPECT_EQ(app.Items().Item(0)->frameInfo.hotspotX, 0);
    }
}

// ---- Animation Options and Animated Cursor Options -----------------------------------

TEST_F(AnimationDialogs, AnimationOptionsTakesPlaysUnlessInfiniteAndRefusesNonNumbers) {
    app.Compilation().numPlays = 3;
    struct Case {
        const char* plays;
        bool infinite;
        bool refused;
        std::uint32_t stored;
    };
    const Case cases[] = {{"abc", false, true, 3}, {"", false, true, 3},
                          {"abc", true, false, 0}, {"12", false, false, 12},
                          {"0", false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plays);
        app.Compilation().numPlays = 3;
        app.ClearModified();
        WhenModalOpens<CAnimationOptionsDialog>([&](CAnimationOptionsDialog* d) {
                EXPECT_EQ(d->windowTitle(), QStringLiteral("Animation Options (APNG only)"));
            EXPECT_EQ(d->PlaysEdit()->text(), QStringLiteral("3"));
            EXPECT_FALSE(d->InfiniteBox()->isChecked());
            EXPECT_TRUE(d->PlaysEdit()->isEnabled());
            d->PlaysEdit()->setText(QString::fromLatin1(c.plays));
            if (c.infinite) d->InfiniteBox()->click();
            EXPECT_EQ(d->PlaysEdit()->isEnabled(), !c.infinite);
            QString text;
            if (c.refused) AnswerNextMessageBox(QMessageBox::Ok, &text);
            PressOk(d);
            if (c.refused) {
                EXPECT_EQ(text, kInteger);
                EXPECT_TRUE(d->isVisible());
                EXPECT_EQ(d->focusWidget(), d->PlaysEdit());
                d->reject();
            }
        });
        RunAnimationOptions(app, nullptr);
        EXPECT_EQ(app.Compilation().numPlays, c.stored);
        EXPECT_EQ(app.IsModified(), !c.refused);
    }
}

TEST_F(AnimationDialogs, AnimatedCursorOptionsKeepsTheCountBetween1And99) {
    AniSaveOptions options;
    options.name = "Walk";
    options.artist = "Someone";
    options.imagesPerDirectory = 4;
    options.individualRates = false;
    struct Case {
        const char* count;
        bool refused;
    };
    for (const Case c : {Case{"0", true}, Case{"00", true}, Case{"", true}, Case{"99", false}}) {
        SCOPED_TRACE(c.count);
        CAniOptionsDialog dialog(options);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Animated Cursor Options"));
        EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Walk"));
        EXPECT_EQ(dialog.ArtistEdit()->text(), QStringLiteral("Someone"));
        EXPECT_EQ(dialog.CountEdit()->Line()->text(), QStringLiteral("4"));
        EXPECT_EQ(dialog.CountEdit()->Line()->maxLength(), 2);
        EXPECT_FALSE(dialog.RatesBox()->isChecked());
        dialog.CountEdit()->Line()->setText(QString::fromLatin1(c.count));
        dialog.NameEdit()->setText(QStringLiteral("Run"));
        dialog.RatesBox()->click();
        QString text;
        if (c.refused) AnswerNextMessageBox(QMessageBox::Ok, &text);
        PressOk(&dialog);
        if (c.refused) {
            EXPECT_EQ(text, QStringLiteral("Please enter a value between 1 and 99."));
            // The up-down control takes the focus for its line.
            EXPECT_TRUE(dialog.focusWidget() == dialog.CountEdit() ||
                        dialog.focusWidget() == dialog.CountEdit()->Line());
            EXPECT_EQ(dialog.CountEdit()->Line()->selectedText(), dialog.CountEdit()->Line()->text());
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.Options().name, "Walk");
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.Options().name, "Run");
            EXPECT_EQ(dialog.Options().imagesPerDirectory, 99);
            EXPECT_TRUE(dialog.Options().individualRates);
        }
    }
}

TEST_F(AnimationDialogs, TheDoorAsksForTheAnimatedCursorOptions) {
    AniSaveOptions options;
    WhenModalOpens<CAniOptionsDialog>([](CAniOptionsDialog* d) {
        d->ArtistEdit()->setText(QStringLiteral("Me"));
        PressOk(d);
    });
    EXPECT_TRUE(door.EditAniOptions(options));
    EXPECT_EQ(options.artist, "Me");
    WhenModalOpens<CAniOptionsDialog>([](CAniOptionsDialog* d) {
        d->ArtistEdit()->setText(QStringLiteral("Other"));
        d->reject();
    });
    EXPECT_FALSE(door.EditAniOptions(options));
    EXPECT_EQ(options.artist, "Me");
}

// ---- Through the main window ---------------------------------------------------------

TEST(AnimationCommandsInTheWindow, EachCommandOpensItsDialog) {
    CEditor editor;
    editor.Start({});
    CIconmillApp& app = editor.App();
    AddPicture(app.Items(), 4, 4);
    AddPicture(app.Items(), 4, 4);
    app.Items().SetSelected(0, true);
    app.NotifySelectionChanged();
    struct Case {
        CommandId id;
        const char* objectName;
    };
    const Case cases[] = {{kCmdAnimationTiming, "animationTimingDialog"},
                          {kCmdFrameProperties, "framePropertiesDialog"},
                          {kCmdSetHotSpot, "hotSpotDialog"},
                          {kCmdAnimationOptions, "animationOptionsDialog"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.objectName);
        QString opened;
        WhenModalOpens<QDialog>([&](QDialog* d) {
            opened = d->objectName();
            d->reject();
        });
        EXPECT_EQ(editor.Window().Run(c.id), CommandOutcome::Done);
        EXPECT_EQ(opened, QString::fromLatin1(c.objectName));
    }
}

}  // namespace
