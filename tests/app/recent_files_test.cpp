#include "app/recent_files.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstEachOnceFourAtMost) {
    CRecentFiles recent;
    for (const char* path : {"a", "b", "c", "", "d", "e"}) recent.Add(path);
    EXPECT_EQ(recent.Paths(), (Paths{"e", "d", "c", "b"}));
    recent.Add("c");  // opened again: moves to the front
    EXPECT_EQ(recent.Paths(), (Paths{"c", "e", "d", "b"}));
    recent.Remove("e");
    recent.Remove("missing");
    EXPECT_EQ(recent.Paths(), (Paths{"c", "d", "b"}));

    // A stored list edited by hand: empty names and repeats are skipped.
    recent.Assign({"x", "", "y", "x", "z", "w", "v"});
    EXPECT_EQ(recent.Paths(), (Paths{"x", "y", "z", "w"}));
}

}  // namespace
