#include "app/frame_dialogs.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/frame_commands.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

TEST(FrameDialogs, FramePropertiesOpenFromOneItemAndEmptyForSeveral) {
    CItemList list;
    AddPicture(list, 4, 4);
    AddPicture(list, 4, 4);
    EXPECT_FALSE(FramePropertiesFormOf(list));

    tagILVITEM& item = *list.Item(0);
    item.x = -3;
    item.y = 12;
    item.frameInfo = {125, 1, 7};
    list.SetSelected(0, true);
    std::optional<FramePropertiesForm> form = FramePropertiesFormOf(list);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->x, "-3");
    EXPECT_EQ(form->y, "12");
    EXPECT_EQ(form->delay, "12");
    EXPECT_EQ(form->blendIndex, 1);
    EXPECT_EQ(form->disposeIndex, -1);  // 7 is in no list

    list.SetSelected(1, true);
    form = FramePropertiesFormOf(list);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->x, "");
    EXPECT_EQ(form->delay, "");
    EXPECT_EQ(form->blendIndex, -1);
    EXPECT_EQ(form->disposeIndex, -1);
}

TEST(FrameDialogs, FramePropertiesOkReadsXYDelayInOrder) {
    struct Case {
        FramePropertiesForm form;
        FramePropertiesField field;
        std::int32_t blend = 0;
        std::int32_t dispose = 0;
    };
    const Case cases[] = {
        {{"1", "2", "7", 0, 0}, FramePropertiesField::None, 0, 0},
        {{"1", "2", "7", 1, 2}, FramePropertiesField::None, 1, 2},
        // No selection: copy, background.
        {{"1", "2", "7", -1, -1}, FramePropertiesField::None, 0, 1},
        {{"1", "2", "7", 0, 1}, FramePropertiesField::None, 0, 1},
        {{"-3", "2", "7", 0, 0}, FramePropertiesField::X},
        {{"", "", "7", 0, 0}, FramePropertiesField::X},
        {{"1", "", "", 0, 0}, FramePropertiesField::Y},
        {{"1", "2147483648", "7", 0, 0}, FramePropertiesField::Y},
        {{"1", "2", "", 0, 0}, FramePropertiesField::Delay},
        {{"1", "2", "429496730", 0, 0}, FramePropertiesField::Delay},  // x 10 overflows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << '"' << c.form.x << "\" \"" << c.form.y << "\" \"" << c.form.delay << '"');
        ScriptedInteraction ui;
        FrameEdit edit;
        edit.hotSpot = FrameEdit::HotSpot{1, 1};
        EXPECT_EQ(AcceptFrameProperties(ui, c.form, &edit), c.field);
        if (c.field != FramePropertiesField::None) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].id, kStrIntegerValue);
            EXPECT_FALSE(edit.delay);
            continue;
        }
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_TRUE(edit.position && edit.delay && edit.blendOp && edit.disposeOp);
        EXPECT_FALSE(edit.hotSpot);
        EXPECT_EQ(edit.position->x, 1);
        EXPECT_EQ(edit.position->y, 2);
        EXPECT_EQ(*edit.delay, 70u);
        EXPECT_EQ(*edit.blendOp, c.blend);
        EXPECT_EQ(*edit.disposeOp, c.dispose);
    }
}

TEST(FrameDialogs, SeveralItemsGetTheSameValues) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    AddPicture(app.Items(), 4, 4);
    AddPicture(app.Items(), 8, 2);
    app.Items().SelectAll();
    app.ClearModified();
    FramePropertiesForm form = *FramePropertiesFormOf(app.Items());
    form.delay = "7";
    FrameEdit edit;
    ASSERT_EQ(AcceptFrameProperties(ui, form, &edit), FramePropertiesField::X);
    form.x = "5";
    form.y = "6";
    ASSERT_EQ(AcceptFrameProperties(ui, form, &edit), FramePropertiesField::None);
    ASSERT_TRUE(ApplyFrameProperties(app, edit));
    EXPECT_TRUE(app.IsModified());
    for (int i = 0; i < 2; ++i) {
        const tagILVITEM& item = *app.Items().Item(i);
        EXPECT_EQ(item.x, 5);
        EXPECT_EQ(item.y, 6);
        EXPECT_EQ(item.frameInfo.delay, 70u);
        EXPECT_EQ(item.frameInfo.disposeOp, 1);
    }
    EXPECT_EQ(app.Items().BoundingWidth(), 13);
}

TEST(FrameDialogs, APointMapsToAPixelOfThePicture) {
    struct Case {
        CanvasView view;
        int x;
        int y;
        std::optional<std::pair<int, int>> pixel;
    };
    // A 10 x 6 image at zoom 2 in a 100 x 100 canvas is drawn at (40, 44).
    const CanvasView centred{100, 100, 2.0f, 0, 0, 10, 6};
    // A 100 x 100 image at zoom 2 in a 50 x 50 canvas, scrolled to (30, 10).
    const CanvasView scrolled{50, 50, 2.0f, 30, 10, 100, 100};
    const Case cases[] = {
        {centred, 40, 44, std::pair{0, 0}},
        {centred, 59, 55, std::pair{9, 5}},
        {centred, 41, 47, std::pair{0, 1}},
        {centred, 39, 44, std::nullopt},
        {centred, 60, 44, std::nullopt},
        {centred, 45, 56, std::nullopt},
        {scrolled, 0, 0, std::pair{30, 10}},
        {scrolled, 49, 49, std::pair{54, 34}},
        {scrolled, 50, 0, std::nullopt},
        {CanvasView{50, 50, 2.0f, 90, 0, 100, 100}, 30, 0, std::nullopt},  // past the image
        {CanvasView{50, 50, 0.0f, 0, 0, 10, 10}, 1, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " scroll " << c.view.scrollX);
        const std::optional<CanvasPixel> pixel = CanvasPixelAt(c.view, c.x, c.y);
        ASSERT_EQ(pixel.has_value(), c.pixel.has_value());
        if (!pixel) continue;
        EXPECT_EQ(pixel->x, c.pixel->first);
        EXPECT_EQ(pixel->y, c.pixel->second);
    }
}

TEST(FrameDialogs, SetHotSpotStoresAPickInTheDuplicatesOwnFrame) {
    ScriptedInteraction ui;
    CIconmillApp app(ui);
    AddPicture(app.Items(), 10, -6);
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 0);
    app.Items().Item(1)->frameInfo.hotspotX = 2;
    app.Items().Item(1)->frameInfo.hotspotY = 3;
    EXPECT_FALSE(OpenHotSpot(app));
    app.Items().SetSelected(1, true);
    app.ClearModified();

    std::optional<HotSpotState> state = OpenHotSpot(app);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->item, 1);
    EXPECT_EQ(HotSpotText(*state), "2, 3");
    EXPECT_EQ(HotSpotImageLabel(*app.Items().Item(1)->Image().header), "10x-6, 24-bit");
    EXPECT_FALSE(ApplyHotSpot(app, *state));  // no pick: nothing changes
    EXPECT_FALSE(app.IsModified());

    const CanvasView view{100, 100, 2.0f, 0, 0, 10, 6};
    EXPECT_FALSE(PickHotSpot(&*state, view, 5, 5));
    EXPECT_FALSE(state->picked);
    ASSERT_TRUE(PickHotSpot(&*state, view, 59, 55));
    EXPECT_EQ(HotSpotText(*state), "9, 5");
    ASSERT_TRUE(ApplyHotSpot(app, *state));
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(app.Items().Item(1)->frameInfo.hotspotX, 9);
    EXPECT_EQ(app.Items().Item(1)->frameInfo.hotspotY, 5);
    EXPECT_EQ(app.Items().Item(0)->frameInfo.hotspotX, 0);

    // A pixel beyond what a hot spot holds is not picked.
    HotSpotState wide{0, {}, false};
    EXPECT_FALSE(PickHotSpot(&wide, CanvasView{100, 100, 1.0f, 32760, 0, 40000, 10}, 50, 5));
    EXPECT_FALSE(wide.picked);
}
