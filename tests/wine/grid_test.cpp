// The owner-drawn grid under Wine: what a paint puts into a memory dc where
// it matters (selection fill, run colours, cells ending where a character
// has no room, bitmaps, the lines of both row modes), and the scrolling,
// selection and row-change rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "client/controls/grid_painter.h"
#include "tests/wine/gui_test_util.h"
#include "client/controls/qgrid.h"
#include "client/model/record_cell.h"
#include "client/core/view_grid.h"

namespace {

using tovan::CCell;
using tovan::CTextInfo;

CTextInfo Text(const std::string& t, int color = -1) {
    CTextInfo r;
    r.text = t;
    if (color >= 0) r.SetTextColor(static_cast<COLORREF>(color));
    return r;
}

// A grid whose cells come from a table of runs.
class TableGrid : public CQGrid {
public:
    std::map<std::pair<int, int>, std::vector<CTextInfo>> content;
    void GetCellText(int row, int column, CCell* cell) override {
        cell->RemoveAllText();
        auto it = content.find({row, column});
        if (it != content.end())
            for (const CTextInfo& r : it->second) cell->AddRun(r);
    }
};

// A hidden top-level window that records the grids' double-click notices.
class Host : public fw::Window {
public:
    std::vector<std::pair<WPARAM, LPARAM>> notices;
    Host() { Create("GridTestHost", "grid", WS_OVERLAPPEDWINDOW, 0, 0, 0, 700, 500, nullptr, nullptr); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_GRID_CELLDBLCLK) notices.emplace_back(wp, lp);
        return DefaultProc(msg, wp, lp);
    }
};

bool IsInk(COLORREF c, COLORREF back) {
    const int d = std::abs(GetRValue(c) - GetRValue(back)) + std::abs(GetGValue(c) - GetGValue(back)) +
                  std::abs(GetBValue(c) - GetBValue(back));
    return d > 120;
}

int Count(const testutil::Canvas& cv, RECT r, const std::function<bool(COLORREF)>& pred) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += pred(cv.At(x, y)) ? 1 : 0;
    return n;
}

constexpr COLORREF kBack = RGB(0xE7, 0xF4, 0xFE);  // the hosts' default 0xFEF4E7

void SetUpLikeTheHosts(CQGrid& g, int lines) {
    g.SetFontSize(12);
    g.SetFaceName("宋体");
    g.backColor = kBack;
    g.gridTextColor = 0;
    g.linesPerRow = lines;
}

struct GridPaintTest : ::testing::Test {
    Host host;
    TableGrid grid;
    int charHeight = 0;
    void SetUp() override {
        ASSERT_TRUE(host.hwnd());
        RECT r = {0, 0, 500, 400};
        ASSERT_TRUE(grid.Create(host, 8110, r));
        SetUpLikeTheHosts(grid, 3);
        grid.SetColumnCount(5);
        const int widths[] = {0, 12, 200, 60, 60};
        for (int c = 0; c < 5; ++c) grid.SetColumnWidth(c, widths[c]);
        charHeight = grid.MeasureText("伸").cy;
        ASSERT_GT(charHeight, 8);
    }
    void PaintInto(testutil::Canvas& cv) {
        grid.EraseBackground(cv.dc());
        grid.Paint(cv.dc());
    }
    // Text rectangle of a cell as the latest paint laid it out.
    RECT TextRect(int row, int column) {
        const CCell* c = grid.PaintedCell(row, column);
        EXPECT_NE(c, nullptr);
        return {c->rect.left + grid.marginX, c->rect.top + grid.marginY, c->rect.right - grid.marginX,
                c->rect.bottom - grid.marginY};
    }
};

TEST_F(GridPaintTest, RunsColoursCellsEndingWhereACharacterHasNoRoomAndBitmaps) {
    // Column 1 is just wide enough for "l" but not for "伸": the first "l"
    // shows at the left edge, and the cell ends at the "伸" after it; the
    // last "l" would fit on the next line but is not drawn.
    const int lWidth = grid.MeasureText("l").cx;
    ASSERT_LT(lWidth + 1, grid.MeasureText("伸").cx);
    grid.SetColumnWidth(1, lWidth + 1 + 2 * grid.marginX);
    grid.content[{0, 1}] = {Text("l伸伸l")};
    grid.content[{0, 2}] = {Text("黑色黑色"), Text("蓝色蓝色", 0xFF0000)};
    CTextInfo picture = Text("not drawn");
    picture.SetImage(197);
    grid.content[{0, 3}] = {picture};
    grid.SetRowCount(2);
    testutil::Canvas cv(500, 400);
    PaintInto(cv);

    const auto ink = [](COLORREF c) { return IsInk(c, kBack); };
    const RECT narrow = TextRect(0, 1);
    const int lineBottom = narrow.top + grid.MeasureText("l").cy;
    ASSERT_LT(lineBottom, narrow.bottom);
    EXPECT_GT(Count(cv, {narrow.left, narrow.top, narrow.left + lWidth, lineBottom}, ink), 0);
    EXPECT_EQ(Count(cv, {narrow.left + lWidth, narrow.top, narrow.right + 2, lineBottom}, ink), 0);
    EXPECT_EQ(Count(cv, {narrow.left, lineBottom, narrow.right + 2, narrow.bottom}, ink), 0);

    const RECT body = TextRect(0, 2);
    const int split = body.left + grid.MeasureText("黑色黑色").cx;
    const auto blue = [](COLORREF c) { return GetBValue(c) > 180 && GetRValue(c) < 100 && GetGValue(c) < 100; };
    const auto black = [](COLORREF c) { return GetBValue(c) < 60 && GetRValue(c) < 60 && GetGValue(c) < 60; };
    RECT first = {body.left, body.top, split, body.top + charHeight};
    RECT second = {split, body.top, split + grid.MeasureText("蓝色蓝色").cx, body.top + charHeight};
    EXPECT_GT(Count(cv, first, black), 10);
    EXPECT_EQ(Count(cv, first, blue), 0);
    EXPECT_GT(Count(cv, second, blue), 10);
    EXPECT_EQ(Count(cv, second, black), 0);

    const RECT pic = TextRect(0, 3);
    EXPECT_EQ(cv.At(pic.left + 11, pic.top + 11), RGB(0xC0, 0x30, 0x10));
    EXPECT_EQ(cv.At(pic.left + 1, pic.top + 1), kBack);  // the bitmap's background is transparent
}

// Pictures are loaded and masked once; every later draw comes from the same
// cached picture and still lets each background show through.
TEST(PictureCache, EachBitmapIsLoadedOnceAndDrawnOnAnyBackground) {
    const CachedPicture* cargo = FindPicture(197);
    ASSERT_NE(cargo, nullptr);
    EXPECT_EQ(FindPicture(197), cargo);
    EXPECT_EQ(FindPicture(0x10000 | 197), cargo) << "the low 16 bits name the bitmap";
    EXPECT_EQ(cargo->width, 23);
    EXPECT_EQ(cargo->height, 23);
    EXPECT_EQ(FindPicture(4242), nullptr);
    EXPECT_EQ(FindPicture(4242), nullptr);

    for (COLORREF back : {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 0)}) {
        testutil::Canvas cv(40, 40);
        HBRUSH brush = CreateSolidBrush(back);
        const RECT all = {0, 0, 40, 40};
        FillRect(cv.dc(), &all, brush);
        DeleteObject(brush);
        ASSERT_TRUE(DrawTransparentBitmap(cv.dc(), 197, 5, 5));
        EXPECT_EQ(cv.At(5 + 11, 5 + 11), RGB(0xC0, 0x30, 0x10));
        EXPECT_EQ(cv.At(5 + 1, 5 + 1), back);
        EXPECT_EQ(cv.At(5 + 22, 5 + 22), back);
        EXPECT_FALSE(DrawTransparentBitmap(cv.dc(), 4242, 5, 5));
    }
}

// The grid draws the characters of a line with one call at the advances it
// measured; the picture must be that of drawing them one at a time.
TEST_F(GridPaintTest, OneCallPerLineDrawsWhatCharacterByCharacterDraws) {
    const std::string text = "货车ABC 电话:139-1234 [08:30]";
    grid.SetColumnWidth(2, 420);
    grid.content[{0, 2}] = {Text(text)};
    grid.SetRowCount(1);
    testutil::Canvas cv(500, 400);
    PaintInto(cv);
    const RECT r = TextRect(0, 2);

    testutil::Canvas ref(500, 400);
    ref.Fill(kBack);
    HFONT f = CreateGridFont(grid.font);
    HGDIOBJ old = SelectObject(ref.dc(), f);
    SetBkMode(ref.dc(), TRANSPARENT);
    SetTextColor(ref.dc(), 0);
    int x = r.left;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = tovan::CharLengthAt(text, i);
        TextOutA(ref.dc(), x, r.top, text.data() + i, static_cast<int>(n));
        SIZE s;
        GetTextExtentPoint32A(ref.dc(), text.data() + i, static_cast<int>(n), &s);
        x += s.cx;
        i += n;
    }
    SelectObject(ref.dc(), old);
    DeleteObject(f);
    ASSERT_LT(x, r.right);  // one line

    int differing = 0, inked = 0;
    for (int py = r.top; py < r.top + charHeight; ++py)
        for (int px = r.left; px < x; ++px) {
            differing += cv.At(px, py) != ref.At(px, py);
            inked += IsInk(ref.At(px, py), kBack);
        }
    EXPECT_GT(inked, 50);
    EXPECT_EQ(differing, 0);
}

// Side-by-side runs of one colour go out joined; colour changes, line
// breaks and pictures between them must not move or recolour a pixel.
TEST_F(GridPaintTest, JoinedRunsDrawWhatCharacterByCharacterDraws) {
    grid.SetColumnWidth(2, 420);
    CTextInfo picture;
    picture.SetImage(197);
    grid.content[{0, 2}] = {Text("货车ABC "), Text("电话:", 0x0000FF), Text("139-1234", 0x0000FF), Text(" 急"),
                            picture,          Text("求车"),            Text("\n第二行", 0x0000FF), Text("X", 0xFF0000),
                            Text("Y", 0xFF0000)};
    grid.content[{1, 2}] = {Text("选中", 0x0000FF), Text("的行")};
    grid.SetRowCount(2);
    grid.selectedRow = 1;
    testutil::Canvas cv(500, 400);
    PaintInto(cv);

    testutil::Canvas ref(500, 400);
    ref.Fill(kBack);
    HFONT f = CreateGridFont(grid.font);
    HGDIOBJ old = SelectObject(ref.dc(), f);
    SetBkMode(ref.dc(), TRANSPARENT);
    CharSizeCache sizes;
    GdiCellMeasurer measurer(ref.dc(), sizes);
    for (int row = 0; row < 2; ++row) {
        const CCell* cell = grid.PaintedCell(row, 2);
        ASSERT_NE(cell, nullptr);
        const RECT t = TextRect(row, 2);
        if (row == 1) FillRect(ref.dc(), &t, GetSysColorBrush(COLOR_HIGHLIGHT));
        const tovan::CellRect text{t.left, t.top, t.right, t.bottom + 1};
        for (const tovan::PlacedPiece& p : tovan::LayoutCellRuns(*cell, text, measurer)) {
            const CTextInfo& run = cell->runs[p.run];
            if (p.image) {
                DrawTransparentBitmap(ref.dc(), run.imageId, p.x, p.y);
                continue;
            }
            SetTextColor(ref.dc(), row == 1 ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                            : run.useGridColor ? grid.gridTextColor : run.textColor);
            int x = p.x;
            for (std::size_t k = 0; k < p.length;) {
                const std::size_t n = tovan::CharLengthAt(run.text, p.begin + k);
                TextOutA(ref.dc(), x, p.y, run.text.data() + p.begin + k, static_cast<int>(n));
                x += p.advances[k];
                k += n;
            }
        }
    }
    SelectObject(ref.dc(), old);
    DeleteObject(f);

    for (int row = 0; row < 2; ++row) {
        const RECT r = TextRect(row, 2);
        int differing = 0, inked = 0;
        for (int py = r.top; py < r.bottom; ++py)
            for (int px = r.left; px < r.right; ++px) {
                differing += cv.At(px, py) != ref.At(px, py);
                inked += IsInk(ref.At(px, py), kBack);
            }
        EXPECT_GT(inked, 50) << "row " << row;
        EXPECT_EQ(differing, 0) << "row " << row;
    }
}

TEST_F(GridPaintTest, SelectedRowIsFilledAndFixedLinesKeepTheirPlace) {
    grid.content[{0, 4}] = {Text("a\nb\nc\nd\ne")};  // two lines more than a row holds
    grid.content[{1, 2}] = {Text("选中")};
    grid.SetRowCount(3);
    testutil::Canvas cv(500, 400);
    PaintInto(cv);

    const int rowPitch = 3 * charHeight + 2 * grid.marginY + 1;
    for (int row = 0; row < 3; ++row) {
        const int lineY = row * rowPitch + rowPitch - 1;
        EXPECT_EQ(cv.At(5, lineY), RGB(0xC8, 0xC8, 0xC8)) << row;
        EXPECT_EQ(cv.At(480, lineY), RGB(0xC8, 0xC8, 0xC8)) << row;
        EXPECT_EQ(cv.At(480, lineY - 2), kBack) << row;
    }
    // "d" and "e" are cut off, nothing spills into the next row.
    const RECT below = TextRect(1, 4);
    EXPECT_EQ(Count(cv, below, [](COLORREF c) { return IsInk(c, kBack); }), 0);

    // Click row 1: the button-up selects it; its fill is the highlight except
    // the top and bottom pixel rows that fixed-line mode leaves alone.
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(300, rowPitch + 5));
    EXPECT_EQ(grid.selectedRow, 1);
    PaintInto(cv);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(cv.At(300, rowPitch + 5), highlight);
    EXPECT_EQ(cv.At(480, rowPitch + 5), highlight);  // right of the last column too
    EXPECT_EQ(cv.At(300, rowPitch), kBack);
    EXPECT_EQ(cv.At(300, 5), kBack);
    const RECT selectedText = TextRect(1, 2);
    const COLORREF light = GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(Count(cv, selectedText, [&](COLORREF c) { return !IsInk(c, light); }), 10);
    EXPECT_EQ(Count(cv, selectedText, [&](COLORREF c) { return !IsInk(c, RGB(0, 0, 0)); }), 0);

    // A click below the last row changes nothing.
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(300, 3 * rowPitch + 20));
    EXPECT_EQ(grid.selectedRow, 1);
}

TEST_F(GridPaintTest, ContentRowsGrowWithTheirLines) {
    grid.linesPerRow = 0;
    grid.content[{1, 2}] = {Text("一\n二\n三")};
    grid.SetRowCount(2);
    testutil::Canvas cv(500, 400);
    PaintInto(cv);
    const COLORREF line = RGB(0xC8, 0xC8, 0xC8);
    EXPECT_EQ(cv.At(250, 24), line);  // an empty row: 20 + margins
    const int second = 25 + std::max(20, 3 * charHeight) + 4;
    EXPECT_EQ(cv.At(250, second), line);
    EXPECT_EQ(cv.At(250, second + 3), kBack);
    EXPECT_EQ(cv.At(250, second - 1), kBack);
}

// Scrolling repaints without erasing, over the old picture; the result must be
// the picture a fresh paint gives, in both row modes.
TEST_F(GridPaintTest, ScrolledPaintWithoutEraseEqualsAFreshPaint) {
    for (int row = 0; row < 14; ++row) {
        grid.content[{row, 2}] = {Text("第" + std::to_string(row) + "行 " + std::string(row % 4 * 9, 'x')),
                                  Text(" 电话:5551234", 0x0000FF)};
        grid.content[{row, 3}] = {Text(std::to_string(row * 7))};
    }
    for (int lines : {3, 0}) {
        grid.linesPerRow = lines;
        grid.SetRowCount(14);
        grid.selectedRow = 2;
        testutil::Canvas scrolled(500, 400), fresh(500, 400);
        PaintInto(scrolled);
        SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
        grid.Paint(scrolled.dc());
        PaintInto(fresh);
        int differing = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 500; ++x) differing += scrolled.At(x, y) != fresh.At(x, y);
        EXPECT_EQ(differing, 0) << "lines per row " << lines;
    }
}

TEST_F(GridPaintTest, WithoutRowsOnlyTheEraseDraws) {
    grid.SetRowCount(0);
    testutil::Canvas cv(500, 400);
    cv.Fill(RGB(1, 2, 3));
    grid.Paint(cv.dc());
    EXPECT_EQ(cv.At(100, 100), RGB(1, 2, 3));
    grid.EraseBackground(cv.dc());
    grid.Paint(cv.dc());
    EXPECT_EQ(cv.At(100, 100), kBack);
    EXPECT_EQ(cv.At(499, 399), kBack);
}

// On the screen, deleting the last rows leaves nothing of them: first the
// last of two rows, then the only one left.
TEST_F(GridPaintTest, DeletedLastRowsLeaveTheBackgroundOnTheScreen) {
    for (int row = 0; row < 2; ++row) grid.content[{row, 2}] = {Text("第" + std::to_string(row) + "行 有车")};
    grid.SetRowCount(2);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    UpdateWindow(host);
    testutil::Pump(200);
    const RECT rows[] = {TextRect(0, 2), TextRect(1, 2)};
    const auto ink = [](COLORREF c) { return IsInk(c, kBack); };
    testutil::Canvas cv(500, 400);
    cv.CopyFromWindow(grid);
    ASSERT_GT(Count(cv, rows[0], ink), 0);
    ASSERT_GT(Count(cv, rows[1], ink), 0);
    for (int left : {1, 0}) {
        grid.DeleteRow(left);
        UpdateWindow(grid);
        testutil::Pump(100);
        cv.CopyFromWindow(grid);
        EXPECT_EQ(Count(cv, rows[left], ink), 0) << "rows left " << left;
        EXPECT_EQ(cv.At(rows[left].left + 5, rows[left].top + 2), kBack) << "rows left " << left;
        if (left == 1) {
            EXPECT_GT(Count(cv, rows[0], ink), 0);  // the row above stays
        }
    }
}

// A list of numbered records the way the record handlers keep it.
struct RecordGridTest : ::testing::Test {
    Host host;
    CViewGrid grid;
    tovan::RecordStore store;

    static tovan::MsgInfo Record(int id, const char* body = "有车", int status = 0) {
        tovan::MsgInfo m;
        std::memset(&m, 0, sizeof m);
        std::snprintf(m.ID, sizeof m.ID, "%d", id);
        std::strcpy(m.Class, "车");
        std::strcpy(m.BodyIs, body);
        std::strcpy(m.AddTime, "10:00");
        std::strcpy(m.xian, "西安");
        m.Status = status;
        m.loaded = 1;
        return m;
    }
    void SetUp() override {
        RECT r = {0, 0, 500, 300};
        ASSERT_TRUE(grid.Create(host, 0, r));
        SetUpLikeTheHosts(grid, 3);
        grid.SetColumnCount(5);
        grid.SetColumnWidth(0, 0);
        grid.SetColumnWidth(2, 300);
        store.Reset(50);
        for (int i = 0; i < 50; ++i) store.Store(i, Record(i));
        grid.records = &store;
        grid.ResetRows(store.Size());
        Repaint();
    }
    void Repaint() {
        testutil::Canvas cv(500, 300);
        grid.Paint(cv.dc());
    }
    // Hidden windows collect no update region; the paints of showing are let run.
    void ShowOnScreen() {
        ShowWindow(host, SW_SHOWNOACTIVATE);
        UpdateWindow(host);
        testutil::Pump(300);
    }
    std::string IdShownAt(int row) {
        const CCell* c = grid.PaintedCell(row, 0);
        return c && !c->runs.empty() ? c->runs[0].text : "";
    }
};

TEST_F(RecordGridTest, InsertAtTopWhileScrolledKeepsTheSameRecordsOnScreen) {
    for (int i = 0; i < 3; ++i) SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
    Repaint();
    ASSERT_EQ(grid.FirstVisibleRow(), 3);
    const int last = grid.lastPaintedRow;
    ASSERT_GT(last, 3);

    store.InsertTop(Record(100));
    grid.InsertTopRow();
    Repaint();
    EXPECT_EQ(grid.FirstVisibleRow(), 4);
    EXPECT_EQ(IdShownAt(4), "3");
    EXPECT_EQ(grid.lastPaintedRow, last + 1);

    // Also at the bottom of the list, where the thumb must follow past the old end.
    SendMessageA(grid, WM_VSCROLL, SB_BOTTOM, 0);
    store.InsertTop(Record(102));
    grid.InsertTopRow();
    EXPECT_EQ(grid.FirstVisibleRow(), grid.rowCount - 1);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), grid.rowCount - 1);

    // At the top, an inserted record is shown and the rest move down.
    SendMessageA(grid, WM_VSCROLL, SB_TOP, 0);
    store.InsertTop(Record(101));
    grid.InsertTopRow();
    Repaint();
    EXPECT_EQ(grid.FirstVisibleRow(), 0);
    EXPECT_EQ(IdShownAt(0), "101");
}

TEST_F(RecordGridTest, SelectionFollowsInsertionsAndDeletions) {
    grid.selectedRow = 5;
    grid.InsertRow(5);
    EXPECT_EQ(grid.selectedRow, 6);
    grid.InsertRow(7);
    EXPECT_EQ(grid.selectedRow, 6);
    grid.DeleteRow(2);
    EXPECT_EQ(grid.selectedRow, 5);
    grid.DeleteRow(5);
    EXPECT_EQ(grid.selectedRow, -1);
    grid.DeleteRow(grid.rowCount + 3);  // outside the list: nothing
    EXPECT_EQ(grid.rowCount, 50);

    // A deletion above the screen keeps the same records on it, thumb included.
    for (int i = 0; i < 10; ++i) SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
    grid.DeleteRow(0);
    EXPECT_EQ(grid.firstVisibleRow, 9);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 9);
}

// A count reply rebinds the grid: the new list is seen from its top, with
// nothing selected and no request of the old list still pending.
TEST_F(RecordGridTest, ResetStartsOverFromTheTop) {
    for (int i = 0; i < 5; ++i) SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
    grid.selectedRow = 7;
    grid.pending.Append(3, 50);
    grid.ResetRows(20);
    EXPECT_EQ(grid.rowCount, 20);
    EXPECT_EQ(grid.firstVisibleRow, 0);
    EXPECT_EQ(grid.selectedRow, -1);
    EXPECT_EQ(grid.pending.Size(), 0u);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 0);
    int low = -1, high = -1;
    GetScrollRange(grid, SB_VERT, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 19);
}

// A row whose data arrived repaints from its top to the bottom of the window,
// without erase; a row the last paint did not draw repaints nothing.
TEST_F(RecordGridTest, RedrawRowInvalidatesFromTheRowDown) {
    ShowOnScreen();
    Repaint();
    ValidateRect(grid, nullptr);
    grid.RedrawRow(grid.lastPaintedRow + 1);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(grid, &dirty, FALSE));

    grid.RedrawRow(2);
    ASSERT_TRUE(GetUpdateRect(grid, &dirty, FALSE));
    RECT client;
    GetClientRect(grid, &client);
    EXPECT_EQ(dirty.top, grid.PaintedCell(2, 0)->rect.top);
    EXPECT_EQ(dirty.bottom, client.bottom);
    EXPECT_EQ(dirty.left, 0);
    EXPECT_EQ(dirty.right, client.right);
    ShowWindow(host, SW_HIDE);
}

// While held, row changes keep the grid's own state current but leave the
// scroll bar and the repaint for the last release, which does both once and
// draws at once, ahead of other windows' paints waiting in the queue.
TEST_F(RecordGridTest, HeldWindowUpdatesAreMadeOnceAtTheLastRelease) {
    ShowOnScreen();
    for (int i = 0; i < 3; ++i) SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
    Repaint();
    ValidateRect(grid, nullptr);
    RECT dirty;
    int low = -1, high = -1;

    grid.HoldWindowUpdates();
    grid.HoldWindowUpdates();  // holds nest
    for (int i = 0; i < 4; ++i) {
        store.InsertTop(Record(200 + i));
        grid.InsertTopRow();
    }
    store.Remove(40);
    grid.DeleteRow(40);
    grid.RedrawRow(7);  // the first row on the screen
    EXPECT_EQ(grid.rowCount, 53);
    EXPECT_EQ(grid.firstVisibleRow, 7);
    grid.ReleaseWindowUpdates();
    GetScrollRange(grid, SB_VERT, &low, &high);
    EXPECT_EQ(high, 49) << "the scroll bar waits for the last release";
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 3);
    EXPECT_FALSE(GetUpdateRect(grid, &dirty, FALSE));

    // A colour the grid never draws over the whole window: what the release
    // draws again replaces it, from the first row on the screen down.
    const COLORREF scribble = RGB(1, 2, 3);
    RECT client;
    GetClientRect(grid, &client);
    HDC dc = GetDC(grid);
    HBRUSH brush = CreateSolidBrush(scribble);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    const int rowTop = grid.PaintedCell(7, 0)->rect.top;
    ASSERT_EQ(GetPixel(dc, client.right / 2, rowTop + 1), scribble);
    grid.ReleaseWindowUpdates();
    GetScrollRange(grid, SB_VERT, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 52);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 7);
    EXPECT_FALSE(GetUpdateRect(grid, &dirty, FALSE)) << "drawn by the release itself";
    EXPECT_NE(GetPixel(dc, client.right / 2, rowTop + 1), scribble);
    EXPECT_NE(GetPixel(dc, client.right / 2, client.bottom - 2), scribble);
    ReleaseDC(grid, dc);
    EXPECT_EQ(IdShownAt(7), "3") << "the same records stay on the screen";

    // Without a hold every change reaches the window at once.
    grid.ReleaseWindowUpdates();  // one too many: nothing
    store.InsertTop(Record(300));
    grid.InsertTopRow();
    GetScrollRange(grid, SB_VERT, &low, &high);
    EXPECT_EQ(high, 53);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 8);
    ShowWindow(host, SW_HIDE);
}

TEST_F(RecordGridTest, ScrollRequests) {
    auto scroll = [&](int request) { SendMessageA(grid, WM_VSCROLL, request, 0); };
    ShowOnScreen();
    ValidateRect(grid, nullptr);
    scroll(SB_LINEUP);  // at the first row: nothing at all
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(grid, &dirty, FALSE));
    EXPECT_EQ(grid.firstVisibleRow, 0);
    scroll(SB_LINEDOWN);  // any other move repaints
    EXPECT_TRUE(GetUpdateRect(grid, &dirty, FALSE));
    scroll(SB_LINEUP);
    ShowWindow(host, SW_HIDE);

    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
    EXPECT_EQ(grid.firstVisibleRow, 1);
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, 480), 0);
    EXPECT_EQ(grid.firstVisibleRow, 0);

    scroll(SB_BOTTOM);
    EXPECT_EQ(grid.firstVisibleRow, 49);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 49);
    Repaint();
    EXPECT_EQ(IdShownAt(49), "49");
    EXPECT_EQ(grid.lastPaintedRow, 49);
    scroll(SB_LINEDOWN);
    EXPECT_EQ(grid.firstVisibleRow, 49);

    scroll(SB_TOP);
    Repaint();
    const int shown = grid.lastPaintedRow + 1;
    scroll(SB_PAGEDOWN);
    EXPECT_EQ(grid.firstVisibleRow, shown);
    Repaint();
    scroll(SB_PAGEUP);
    EXPECT_EQ(grid.firstVisibleRow, 0);
    SendMessageA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(grid.firstVisibleRow, 30);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 30);
}

TEST_F(RecordGridTest, DoubleClickTellsTheParentRowAndColumn) {
    SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
    Repaint();
    const CCell* chat = grid.PaintedCell(2, 4);
    ASSERT_NE(chat, nullptr);
    SendMessageA(grid, WM_LBUTTONDBLCLK, 0, MAKELPARAM(chat->rect.left + 3, chat->rect.top + 3));
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].first, 2u);
    EXPECT_EQ(host.notices[0].second, 4);
}

TEST_F(RecordGridTest, MouseOverTakesTheFocusOnlyWhileItsWindowIsActive) {
    ShowWindow(host, SW_SHOW);
    // Another window of the program, the user typing in it (a chat window).
    HWND other = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 720, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    SetForegroundWindow(other);
    SetFocus(other);
    testutil::Pump(50);
    ASSERT_EQ(GetActiveWindow(), other);

    SendMessageA(grid, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    testutil::Pump(30);
    EXPECT_EQ(GetFocus(), other) << "the keystrokes stay where the user types";
    EXPECT_EQ(GetActiveWindow(), other);

    // Over the grid of the active window the wheel goes to the grid.
    SetForegroundWindow(host);
    SetFocus(host);
    testutil::Pump(50);
    ASSERT_EQ(GetActiveWindow(), host.hwnd());
    SendMessageA(grid, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(GetFocus(), grid.hwnd());
    DestroyWindow(other);
}

TEST_F(RecordGridTest, CellsComeFromTheRecordsAndTheSettingsFile) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string ini = std::string(dir) + "grid_test_dmr.ini";
    WritePrivateProfileStringA("Display", "PhoneColor", "65280", ini.c_str());
    grid.profileFile = ini;
    store.Store(1, Record(1, "电话:5551234 冷藏", 1));
    tovan::MsgInfo unloaded = {};
    store.Store(2, unloaded);
    tovan::MsgInfo cut = Record(4);
    std::strcpy(cut.xian, "a乌鲁木齐市米东");  // 12 bytes end inside a character
    store.Store(4, cut);
    Repaint();
    EXPECT_EQ(grid.PaintedCell(4, tovan::kPlaceColumn)->runs.at(0).text.size(), 12u);

    const CCell* body = grid.PaintedCell(1, tovan::kBodyColumn);
    ASSERT_NE(body, nullptr);
    ASSERT_EQ(body->runs.size(), 3u);
    EXPECT_EQ(body->runs[1].text, "5551234");
    EXPECT_EQ(body->runs[1].textColor, 0x00FF00u);
    EXPECT_EQ(body->runs[2].textColor, tovan::kClosedDealColor);
    EXPECT_EQ(grid.PaintedCell(2, tovan::kChatColumn)->runs.at(0).text, "");
    EXPECT_EQ(grid.PaintedCell(3, tovan::kChatColumn)->runs.at(0).text, "交谈");

    grid.maskDigits = 1;
    EXPECT_EQ(grid.MaskText("手机:13912345678", 0), "手机:***********");
    grid.maskDigits = 0;
    grid.limitedRights = 1;
    EXPECT_EQ(grid.MaskText("手机:13912345678", 0), "手机:13912345678");
    EXPECT_EQ(grid.MaskText("手机:13912345678", 1), "手机:***********");
    DeleteFileA(ini.c_str());
}

}  // namespace
