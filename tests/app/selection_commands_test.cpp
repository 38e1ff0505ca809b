#include "app/selection_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "support/scripted_interaction.h"
#include "support/test_items.h"

namespace {

struct SelectionListener : AppListener {
    void OnSelectionChanged() override { ++changes; }
    int changes = 0;
};

class SelectionCommands : public testing::Test {
protected:
    SelectionCommands() { app.SetListener(&listener); }

    // "1" for a selected item, "0" for an unselected one, in list order.
    std::string Marks() const {
        std::string marks;
        for (int i = 0; i < app.Items().Count(); ++i)
            marks += app.Items().Item(i)->IsSelected() ? '1' : '0';
        return marks;
    }
    void Select(const std::string& marks) {
        for (int i = 0; i < static_cast<int>(marks.size()); ++i)
            app.Items().SetSelected(i, marks[i] == '1');
    }

    ScriptedInteraction ui;
    SelectionListener listener;
    CIconmillApp app{ui};
};

TEST_F(SelectionCommands, AllNoneAndInvert) {
    for (int i = 0; i < 3; ++i) AddPicture(app.Items(), 2, 2);
    Select("010");
    InvertSelection(app);
    EXPECT_EQ(Marks(), "101");
    SelectAllItems(app);
    EXPECT_EQ(Marks(), "111");
    SelectNoItems(app);
    EXPECT_EQ(Marks(), "000");
    EXPECT_EQ(listener.changes, 3);
}

TEST_F(SelectionCommands, ReferenceAndDuplications) {
    AddPicture(app.Items(), 2, 2);                   // 0
    AddPicture(app.Items(), 3, 3);                   // 1
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 0);  // 2
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 1);  // 3
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 0);  // 4

    Select("00001");
    SelectReference(app);
    EXPECT_EQ(Marks(), "10000");
    SelectDuplications(app);
    EXPECT_EQ(Marks(), "00101");

    // Neither applies to two selected items, nor Duplications to a duplicate.
    const int before = listener.changes;
    SelectReference(app);
    EXPECT_EQ(Marks(), "00101");
    Select("00010");
    SelectDuplications(app);
    EXPECT_EQ(Marks(), "00010");
    EXPECT_EQ(listener.changes, before);
}

TEST_F(SelectionCommands, AllSamesComparesSizeAndWithShiftTheBitCount) {
    AddPicture(app.Items(), 32, 32, 8);                // 0: the base
    AddPicture(app.Items(), 32, -32, 8);               // 1: top-down, same size
    AddPicture(app.Items(), 32, 32, 24);               // 2: other depth
    AddPicture(app.Items(), 16, 32, 8);                // 3: other width
    app.Items().AddDuplicate(FrameInfo{}, 0, 0, 2);  // 4: shows item 2

    struct Case {
        bool shift;
        const char* expected;
    };
    for (const Case& c : {Case{true, "11000"}, Case{false, "11101"}}) {
        SCOPED_TRACE(c.shift ? "Shift+F3" : "F3");
        Select("10000");
        SelectAllSames(app, c.shift);
        EXPECT_EQ(Marks(), c.expected);
    }

    Select("00000");
    SelectAllSames(app, false);
    EXPECT_EQ(Marks(), "00000");
}

}  // namespace
