#include "app/view_commands.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/commands.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

TEST(ZoomControl, StepsSkipTheGapAndStopAtTheEnds) {
    struct Case {
        double from;
        double in;
        double out;
    };
    const Case cases[] = {{12.5, 25, 12.5}, {50, 100, 25}, {100, 200, 50}, {800, 800, 700}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const int p = ZoomPositionOf(c.from);
        EXPECT_EQ(kZoomTable[ZoomInPosition(p)], c.in);
        EXPECT_EQ(kZoomTable[ZoomOutPosition(p)], c.out);
    }
    // A value that is no position lands on the last one.
    EXPECT_EQ(ZoomPositionOf(150), 14);
}

TEST(ZoomControl, TheTrackSnapsOutOfTheGapAndTheLabelShowsTheValue) {
    EXPECT_EQ(SnapZoomPosition(4, ZoomPositionOf(50)), ZoomPositionOf(50));
    EXPECT_EQ(SnapZoomPosition(5, ZoomPositionOf(100)), ZoomPositionOf(100));
    EXPECT_EQ(SnapZoomPosition(9, 7), 9);
    EXPECT_EQ(ZoomLabel(12.5), "12.5%");
    EXPECT_EQ(ZoomLabel(100), "100%");
    EXPECT_EQ(ZoomLabel(800), "800%");
}

struct ViewListener : AppListener {
    void OnViewChanged() override { ++changes; }
    int changes = 0;
};

class ViewCommands : public testing::Test {
protected:
    ViewCommands() { app.SetListener(&listener); }
    ScriptedInteraction ui;
    ViewListener listener;
    CIconmillApp app{ui};
};

TEST_F(ViewCommands, ZoomCommandsMoveTheControlTheViewAndTheMark) {
    ZoomOut(app);
    EXPECT_EQ(app.view.zoom, 0.5);
    EXPECT_EQ(app.view.zoomMark, kCmdZoom50);
    SetZoomLevel(app, kCmdZoom800);
    ZoomIn(app);  // at the end: nothing
    EXPECT_EQ(app.view.zoom, 8.0);
    EXPECT_EQ(app.view.zoomMark, kCmdZoom800);
    EXPECT_EQ(listener.changes, 2);

    // The view zoomed itself to a value the control does not hold: the control
    // goes to its last position, whose value the view then takes, and the mark
    // follows that exact match.
    OnViewZoomed(app, 1.5);
    EXPECT_EQ(app.view.zoomPosition, 14);
    EXPECT_EQ(app.view.zoomMark, kCmdZoom800);
}

TEST_F(ViewCommands, BackgroundsAndTheCustomColour) {
    EXPECT_FALSE(ChooseCustomBackground(app));  // cancelled: nothing changes
    EXPECT_EQ(app.settings.background, ViewBackgroundWindow);
    EXPECT_EQ(listener.changes, 0);

    struct PickingUi : ScriptedInteraction {
        std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override {
            opened = initial;
            return 0x00336699;
        }
        std::uint32_t opened = 1;
    } picking;
    CIconmillApp other(picking);
    EXPECT_TRUE(ChooseCustomBackground(other));
    EXPECT_EQ(picking.opened, 0u);
    EXPECT_EQ(other.settings.background, ViewBackgroundCustom);
    EXPECT_EQ(other.settings.customBackground, 0x00336699);
    EXPECT_EQ(other.view.customColor, 0x00336699u);

    SetBackground(other, ViewBackgroundGray);
    EXPECT_EQ(other.settings.background, ViewBackgroundGray);
    EXPECT_EQ(other.view.customColor, 0u);
    EXPECT_EQ(other.settings.customBackground, 0x00336699);  // the setting keeps the choice
}

TEST_F(ViewCommands, SortFollowsTheOrderAndClearsTheSelection) {
    AddPicture(app.Items(), 2, 2);
    AddPicture(app.Items(), 5, 5);
    AddPicture(app.Items(), 3, 3);
    app.Items().SetSelected(1, true);
    SetSortAscending(app, false);
    SortItemsBy(app, SortKey::Width);
    const CItemList& list = app.Items();
    EXPECT_EQ(list.Item(0)->header->biWidth, 5);
    EXPECT_EQ(list.Item(2)->header->biWidth, 2);
    EXPECT_TRUE(list.IsSelectionEmpty());
    EXPECT_TRUE(app.IsModified());
}

TEST_F(ViewCommands, TogglesFlipTheirFlags) {
    ToggleBoundingBox(app);
    ToggleQuickInfo(app);
    TogglePreview(app, kPreviewMask);
    ToggleToolbar(app, kCmdToolbarType);
    EXPECT_EQ(app.settings.showBoundingBox, 1);
    EXPECT_EQ(app.settings.displayQuickInfo, 0);
    EXPECT_EQ(app.view.previewFlags, kPreviewAlpha);
    EXPECT_FALSE(app.view.typeToolbar);
    EXPECT_TRUE(app.view.standardToolbar);
    EXPECT_EQ(listener.changes, 4);
}

}  // namespace
