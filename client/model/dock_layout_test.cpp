#include "client/model/dock_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovan {
namespace {

// The right edge as the frame docks it: the area tree (two thirds of a 700
// pixel frame, at least half of it, 130 wide) over the right web pane.
std::vector<DockPane> TreeOverWebPane() {
    DockPane tree;
    tree.length = 466;
    tree.minLength = 350;
    tree.thickness = 130;
    DockPane web;  // no sizes of its own
    return {tree, web};
}

TEST(DockLayout, RowRoomIsSharedPixelByPixelAboveTheMinimums) {
    struct Case {
        int rowLength;
        int tree, web;
    } cases[] = {
        {565, 506, 59},  // 79 more: shared in turns, the first pane one pixel ahead
        {486, 466, 20},  // exactly the wanted lengths
        {400, 380, 20},  // 86 less: the web pane is at its minimum, the tree gives it all
        {370, 350, 20},  // both at their minimums
    };
    for (const Case& c : cases) {
        std::vector<DockPane> panes = TreeOverWebPane();
        const DockEdgeLayout l = LayoutDockEdge(panes, c.rowLength);
        EXPECT_EQ(panes[0].length, c.tree) << c.rowLength;
        EXPECT_EQ(panes[1].length, c.web) << c.rowLength;
        ASSERT_TRUE(l.slots[0].placed && l.slots[1].placed);
        EXPECT_EQ(l.slots[0].along, 0);
        EXPECT_EQ(l.slots[1].along, c.tree);  // the web pane right under the tree
        EXPECT_EQ(l.slots[1].inward, 0);
        // The row's largest thickness for both.
        EXPECT_EQ(l.slots[1].thickness, 130);
        EXPECT_EQ(l.depth, 130);
        // Upper pane: bottom and inner edges; lower pane: top and inner edges.
        EXPECT_EQ(l.slots[0].edges, kEdgeTrailing | kEdgeInterior);
        EXPECT_EQ(l.slots[1].edges, kEdgeLeading | kEdgeInterior);
    }
}

TEST(DockLayout, APaneThatDoesNotFitAtItsMinimumOpensANewRow) {
    std::vector<DockPane> panes = TreeOverWebPane();
    const DockEdgeLayout l = LayoutDockEdge(panes, 360);
    EXPECT_EQ(panes[0].length, 360);
    EXPECT_EQ(panes[1].length, 360);
    EXPECT_EQ(l.slots[1].along, 0);
    EXPECT_EQ(l.slots[1].inward, 130);
    EXPECT_EQ(l.depth, 150);
    EXPECT_EQ(l.slots[0].edges, kEdgeInterior);

    // With room again both share one row.
    const DockEdgeLayout wide = LayoutDockEdge(panes, 600);
    EXPECT_EQ(wide.slots[1].inward, 0);
    EXPECT_EQ(panes[0].length + panes[1].length, 600);
}

TEST(DockLayout, HiddenPanesTakeNoRoomAndAloneAPaneFillsItsRow) {
    std::vector<DockPane> panes = TreeOverWebPane();
    panes[0].visible = false;
    DockEdgeLayout l = LayoutDockEdge(panes, 565);
    EXPECT_FALSE(l.slots[0].placed);
    EXPECT_EQ(l.slots[1].along, 0);
    EXPECT_EQ(l.slots[1].length, 565);
    EXPECT_EQ(l.depth, 20);

    panes[1].visible = false;
    EXPECT_EQ(LayoutDockEdge(panes, 565).depth, 0);

    // Too short even for its minimum: it keeps the minimum.
    std::vector<DockPane> one = {TreeOverWebPane()[0]};
    EXPECT_EQ(LayoutDockEdge(one, 100).slots[0].length, 350);
}

TEST(DockLayout, KeptAndFixedPanesAreLeftOutOfTheSharing) {
    std::vector<DockPane> panes = TreeOverWebPane();
    panes[0].keepSize = true;
    LayoutDockEdge(panes, 565);
    EXPECT_EQ(panes[0].length, 466);
    EXPECT_EQ(panes[1].length, 99);
    EXPECT_FALSE(panes[0].keepSize);  // only once

    DockPane fixed;
    fixed.sizing = false;
    fixed.length = 100;
    fixed.thickness = 40;
    std::vector<DockPane> row = {fixed, TreeOverWebPane()[1]};
    const DockEdgeLayout l = LayoutDockEdge(row, 500);
    EXPECT_EQ(row[0].length, 100);
    EXPECT_EQ(row[1].length, 400);
    EXPECT_EQ(row[1].thickness, 40);
    EXPECT_EQ(l.slots[0].edges, 0u);
    EXPECT_EQ(l.slots[1].edges, kEdgeInterior);
}

}  // namespace
}  // namespace tovan
