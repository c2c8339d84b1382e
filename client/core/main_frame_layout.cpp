// The frame's layout: the bars at the top and bottom, the docked panes in
// rows along the edges and the record view in the room left between them.
#include "client/core/main_frame.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "client/model/dock_layout.h"

void CMainFrame::ShowPane(CSizingControlBar& pane, bool show) {
    if (!pane.hwnd() || pane.Shown() == show) return;
    ShowWindow(pane.hwnd(), show ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

int CMainFrame::LayoutEdge(std::initializer_list<CSizingControlBar*> panes,
                           CSizingControlBar::Dock dock, const RECT& room) {
    using Dock = CSizingControlBar::Dock;
    const bool column = dock == Dock::Right;
    std::vector<tovan::DockPane> sizes;
    for (const CSizingControlBar* p : panes) {
        tovan::DockPane d;
        d.visible = p->Shown();
        const SIZE& size = column ? p->vertSize : p->horzSize;
        const SIZE& min = column ? p->vertMin : p->horzMin;
        d.length = column ? size.cy : size.cx;
        d.thickness = column ? size.cx : size.cy;
        d.minLength = column ? min.cy : min.cx;
        sizes.push_back(d);
    }
    const int rowLength = column ? room.bottom - room.top : room.right - room.left;
    // A pane never reaches past the room left in the frame's middle.
    const int depthRoom = column ? room.right - room.left : room.bottom - room.top;
    const tovan::DockEdgeLayout layout = tovan::LayoutDockEdge(sizes, rowLength);
    std::size_t i = 0;
    for (CSizingControlBar* p : panes) {
        const tovan::DockSlot& slot = layout.slots[i];
        SIZE& size = column ? p->vertSize : p->horzSize;
        (column ? size.cy : size.cx) = sizes[i].length;
        (column ? size.cx : size.cy) = sizes[i].thickness;
        ++i;
        if (!slot.placed) continue;
        p->SetSizableEdges(slot.edges);
        const int thickness = std::max(0, std::min(slot.thickness, depthRoom - slot.inward));
        RECT r = {};
        switch (dock) {
        case Dock::Top:
            r = {room.left + slot.along, room.top + slot.inward, 0, 0};
            r.right = r.left + slot.length;
            r.bottom = r.top + thickness;
            break;
        case Dock::Bottom:
            r = {room.left + slot.along, 0, 0, room.bottom - slot.inward};
            r.right = r.left + slot.length;
            r.top = r.bottom - thickness;
            break;
        case Dock::Right:
            r = {0, room.top + slot.along, room.right - slot.inward, 0};
            r.bottom = r.top + slot.length;
            r.left = r.right - thickness;
            break;
        }
        MoveWindow(p->hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    return std::min(layout.depth, depthRoom);
}

// Toolbar at the top, status bar at the bottom; the top and bottom panes
// across the whole width, the right panes in columns between them, the view
// in the rest.
void CMainFrame::RecalcLayout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    RECT room = client;
    if (toolbar_.hwnd()) room.top = toolbar_.AutoSizedHeight();
    if (statusBar_.hwnd()) {
        SendMessageA(statusBar_, WM_SIZE, 0, 0);
        RECT r;
        GetWindowRect(statusBar_, &r);
        room.bottom -= r.bottom - r.top;
    }
    room.bottom = std::max(room.bottom, room.top);
    using Dock = CSizingControlBar::Dock;
    if (topWebPane_.hwnd()) room.top += LayoutEdge({&topWebPane_}, Dock::Top, room);
    room.top = std::min(room.top, room.bottom);
    if (searchPane_.hwnd()) {
        // A drag of its edge may take the view's whole height.
        searchPane_.maxThickness = room.bottom - room.top;
        room.bottom -= LayoutEdge({&searchPane_}, Dock::Bottom, room);
    }
    if (areaTreePane_.hwnd() && rightWebPane_.hwnd()) {
        room.right -= LayoutEdge({&areaTreePane_, &rightWebPane_}, Dock::Right, room);
    }
    room.right = std::max(room.right, room.left);
    if (view_.hwnd()) {
        MoveWindow(view_.hwnd(), room.left, room.top, room.right - room.left, room.bottom - room.top, TRUE);
    }
}
