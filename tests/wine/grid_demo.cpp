// A window with a record grid over sample records, set up as the record view
// sets up its grid, for looking at and for screenshots. Closes itself after
// TOVAN_GRID_DEMO_SECONDS (default 20) seconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/wine/grid_samples.h"
#include "client/core/view_grid.h"

namespace {

// The client model as the record grid reads it: pictures, and the watch's
// keyword and destinations in red.
tovan::ClientModel DemoModel() {
    tovan::ClientModel model;
    model.usePictures = true;
    model.watchMode = 1;
    model.watch.keyword = "冷藏";
    model.watch.destinations = "'北京','上海'";
    return model;
}

class DemoWindow : public fw::Window {
public:
    CViewGrid grid;
    tovan::RecordStore store;
    tovan::ClientModel model = DemoModel();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_SIZE:
                if (grid.hwnd()) Layout(LOWORD(lp), HIWORD(lp));
                return 0;
            case WM_GRID_CELLDBLCLK: {
                char caption[64];
                std::snprintf(caption, sizeof caption, "记录表格  第%d行 第%d列", static_cast<int>(wp),
                              static_cast<int>(lp));
                SetWindowTextA(hwnd(), caption);
                return 0;
            }
            case WM_TIMER:
                DestroyWindow(hwnd());
                return 0;
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
        }
        return DefaultProc(msg, wp, lp);
    }

public:
    // Column widths as the record view sizes them.
    void Layout(int cx, int cy) {
        MoveWindow(grid, 0, 0, cx, cy, TRUE);
        const int w1 = 23 + 4;
        const int w3 = grid.MeasureText("西安").cx + 4;
        const int w4 = 23 + 4;
        grid.SetColumnWidth(2, std::max(cx - (w1 + w3 + w4 + GetSystemMetrics(SM_CXVSCROLL)), 150));
    }
    void SetUpGrid() {
        RECT r = {0, 0, 10, 10};
        grid.Create(hwnd(), 0, r);
        grid.linesPerRow = 3;
        grid.SetFontSize(12);
        grid.SetFaceName("宋体");
        grid.SetFontWeight(400);
        grid.gridTextColor = 0;
        grid.backColor = 16708839;
        grid.SetColumnCount(5);
        grid.SetColumnWidth(0, 0);
        grid.SetColumnWidth(1, 23 + 4);
        grid.SetColumnWidth(3, grid.MeasureText("西安").cx + 4);
        grid.SetColumnWidth(4, 23 + 4);
        grid.model = &model;
        store.Reset(34);
        for (int i = 0; i < 30; ++i) store.Store(i, gridsamples::SampleRecord(i));  // 30-33 not loaded yet
        grid.records = &store;
        grid.ResetRows(store.Size());
        grid.selectedRow = 2;
        RECT c;
        GetClientRect(hwnd(), &c);
        Layout(c.right, c.bottom);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    DemoWindow w;
    w.Create("TovanGridDemo", "记录表格", WS_OVERLAPPEDWINDOW, 0, 0, 0, 1000, 740, nullptr, nullptr);
    w.SetUpGrid();
    ShowWindow(w, show);
    UpdateWindow(w);
    const char* s = std::getenv("TOVAN_GRID_DEMO_SECONDS");
    SetTimer(w, 1, (s ? std::atoi(s) : 20) * 1000, nullptr);
    return fw::RunMessageLoop();
}
