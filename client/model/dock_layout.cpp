#include "client/model/dock_layout.h"

#include <algorithm>
#include <cstddef>

namespace tovan {

namespace {

// Shares the room left in the row [first, end) among its sizing panes.
void ShareRoom(std::vector<DockPane>& panes, const std::vector<std::size_t>& row, int rowLength) {
    int thickest = 0;
    int used = 0;
    std::vector<std::size_t> sizing;
    for (std::size_t i : row) {
        thickest = std::max(thickest, panes[i].thickness);
        used += panes[i].length;
        if (panes[i].sizing) sizing.push_back(i);
    }
    for (std::size_t i : sizing) panes[i].thickness = thickest;
    int diff = rowLength - used;
    if (sizing.size() == 1) {
        DockPane& p = panes[sizing.front()];
        p.length = std::max(p.minLength, p.length + diff);
        diff = 0;
    }
    const int step = diff > 0 ? 1 : -1;
    while (diff != 0) {
        bool took = false;
        for (std::size_t i : sizing) {
            if (diff == 0) break;
            DockPane& p = panes[i];
            if (p.keepSize || p.length + step < p.minLength) continue;
            p.length += step;
            diff -= step;
            took = true;
        }
        if (!took) break;
    }
    for (std::size_t i : sizing) panes[i].keepSize = false;
}

// Splits the visible panes into rows: a row ends before the pane whose
// minimum would take it past rowLength (a first pane always stays).
std::vector<std::vector<std::size_t>> SplitRows(std::vector<DockPane>& panes, int rowLength) {
    std::vector<std::vector<std::size_t>> rows;
    std::vector<std::size_t> row;
    int total = 0;
    for (std::size_t i = 0; i < panes.size(); ++i) {
        if (!panes[i].visible) continue;
        const int need = panes[i].sizing ? panes[i].minLength : panes[i].length;
        if (!row.empty() && total + need > rowLength) {
            rows.push_back(std::move(row));
            row.clear();
            total = 0;
        }
        row.push_back(i);
        total += need;
    }
    if (!row.empty()) rows.push_back(std::move(row));
    return rows;
}

}  // namespace

DockEdgeLayout LayoutDockEdge(std::vector<DockPane>& panes, int rowLength) {
    DockEdgeLayout layout;
    layout.slots.resize(panes.size());
    rowLength = std::max(rowLength, 0);
    for (const std::vector<std::size_t>& row : SplitRows(panes, rowLength)) {
        const DockPane& first = panes[row.front()];
        if (row.size() == 1 && first.sizing && first.minLength > rowLength) {
            // Alone and too long even at its minimum: it keeps the minimum.
            panes[row.front()].length = first.minLength;
        } else {
            ShareRoom(panes, row, rowLength);
        }
        int along = 0, thickness = 0;
        std::size_t firstSizing = row.size(), lastSizing = 0;
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (!panes[row[k]].sizing) continue;
            firstSizing = std::min(firstSizing, k);
            lastSizing = k;
        }
        for (std::size_t k = 0; k < row.size(); ++k) {
            const DockPane& p = panes[row[k]];
            DockSlot& s = layout.slots[row[k]];
            s.placed = true;
            s.along = along;
            s.inward = layout.depth;
            s.length = p.length;
            s.thickness = p.thickness;
            if (p.sizing) {
                s.edges = kEdgeInterior;
                if (k != firstSizing) s.edges |= kEdgeLeading;
                if (k != lastSizing) s.edges |= kEdgeTrailing;
            }
            along += p.length;
            thickness = std::max(thickness, p.thickness);
        }
        layout.depth += thickness;
    }
    return layout;
}

}  // namespace tovan
