// Placing the docked panes of one frame edge: the panes of an edge stand in
// rows along it (a row of the right edge is a column), rows stacked from the
// edge inward. Each row is fitted to the room along the edge: its panes share
// the length, none below its minimum, and a pane that does not fit even at
// its minimum opens a new row.
#pragma once

#include <vector>

namespace tovan {

// One pane of an edge, in docking order. Lengths run along the edge,
// thicknesses across it.
struct DockPane {
    bool visible = true;
    bool sizing = true;      // a resizable pane; others keep their length
    int length = 20;         // fitted by LayoutDockEdge
    int thickness = 20;
    int minLength = 20;
    bool keepSize = false;   // skipped once when the row's room is shared out
};

// Sizable-edge bits of a placed pane.
enum DockEdge : unsigned {
    kEdgeLeading = 1,    // toward the row's start (the left or the top)
    kEdgeTrailing = 2,   // toward the row's end
    kEdgeInterior = 4,   // toward the frame's middle
};

struct DockSlot {
    bool placed = false;  // false for a hidden pane
    int along = 0;        // offset from the row's start
    int inward = 0;       // offset from the frame's edge
    int length = 0;
    int thickness = 0;
    unsigned edges = 0;
};

struct DockEdgeLayout {
    std::vector<DockSlot> slots;  // one per pane, in the panes' order
    int depth = 0;                // room the edge takes from the frame's middle
};

// Fits the visible panes to rows of rowLength and places them; the panes'
// lengths and thicknesses are updated (the room of a row is shared pixel by
// pixel, in repeated passes, over the sizing panes that can take it; every
// sizing pane of a row gets the row's largest thickness).
DockEdgeLayout LayoutDockEdge(std::vector<DockPane>& panes, int rowLength);

}  // namespace tovan
