// Paints a full screen of the record grid (40 rows, five columns, three lines
// a row) into a memory dc as the client paints it on the NT family, class and
// chat columns as pictures, and times it beside the cheapest way to put the
// same texts there: one ExtTextOut per cell. The same grid without pictures
// is timed too. Run by hand under Wine, from the release tree:
//   cmake --preset win64-bench && cmake --build --preset win64-bench --target bench_grid_paint
//   scripts/wine-run build/win64-bench/tests/wine/bench_grid_paint.exe [repeats]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "client/controls/grid_painter.h"
#include "tests/wine/grid_samples.h"
#include "client/core/view_grid.h"

namespace {

constexpr int kRows = 40;

class Host : public fw::Window {};

// The client model as the record grid reads it: pictures on (or off), no watch.
tovan::ClientModel BenchModel() {
    tovan::ClientModel model;
    model.usePictures = true;
    return model;
}

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 100;

    tovan::RecordStore store;
    store.Reset(kRows);
    for (int i = 0; i < kRows; ++i) store.Store(i, gridsamples::SampleRecord(i));

    Host host;
    host.Create("BenchGridHost", "bench", WS_POPUP, 0, 0, 0, 1000, 100, nullptr, nullptr);
    CViewGrid grid;
    RECT r = {0, 0, 1000, 100};
    grid.Create(host, 1, r);
    grid.SetFontSize(12);
    grid.SetFaceName("宋体");
    grid.backColor = 0xFEF4E7;
    grid.linesPerRow = 3;
    grid.SetColumnCount(5);
    const int widths[] = {0, 30, 560, 60, 60};
    for (int c = 0; c < 5; ++c) grid.SetColumnWidth(c, widths[c]);
    const int rowPitch = 3 * grid.MeasureText("伸").cy + 2 * grid.marginY + 1;
    const int height = kRows * rowPitch;
    SetWindowPos(host, nullptr, 0, 0, 1000, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(grid, nullptr, 0, 0, 1000, height, SWP_NOZORDER | SWP_NOACTIVATE);
    grid.records = &store;
    tovan::ClientModel model = BenchModel();
    grid.model = &model;
    grid.ResetRows(kRows);

    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 1000, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);

    // One warm-up paint; its cells give the baseline the same texts and places.
    grid.EraseBackground(mem);
    grid.Paint(mem);
    if (grid.lastPaintedRow != kRows - 1) {
        std::printf("only %d rows painted\n", grid.lastPaintedRow + 1);
        return 1;
    }
    struct Piece {
        RECT cell;
        std::string text;
    };
    std::vector<Piece> cells;
    int pictures = 0;
    for (int row = 0; row < kRows; ++row)
        for (int c = 0; c < 5; ++c) {
            const tovan::CCell* cell = grid.PaintedCell(row, c);
            Piece p;
            p.cell = {cell->rect.left, cell->rect.top, cell->rect.right, cell->rect.bottom};
            for (const tovan::CTextInfo& run : cell->runs) {
                if (!run.isImage) p.text += run.text;
                if (!run.isImage) continue;
                if (HBITMAP image = LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(run.imageId))) {
                    DeleteObject(image);
                    ++pictures;
                }
            }
            cells.push_back(p);
        }
    if (pictures != 2 * kRows) {
        std::printf("only %d pictures drawn (the bitmaps are not linked?)\n", pictures);
        return 1;
    }

    CharSizeCache sizes;
    const RECT all = {0, 0, 1000, height};
    auto gridPaint = [&] {
        grid.EraseBackground(mem);
        grid.Paint(mem);
    };
    // Baseline: the same erase, then every cell's text in one call, clipped to the cell.
    auto baseline = [&] {
        HBRUSH back = CreateSolidBrush(grid.backColor);
        FillRect(mem, &all, back);
        DeleteObject(back);
        HFONT f = CreateGridFont(grid.font);
        HGDIOBJ oldFont = SelectObject(mem, f);
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, 0);
        for (const Piece& p : cells)
            ExtTextOutA(mem, p.cell.left + grid.marginX, p.cell.top + grid.marginY, ETO_CLIPPED, &p.cell,
                        p.text.data(), static_cast<UINT>(p.text.size()), nullptr);
        SelectObject(mem, oldFont);
        DeleteObject(f);
    };
    // For comparison: the grid's layout drawn one character per call, or one
    // call per piece of text (the least the grid's own glyphs cost).
    auto layoutDrawn = [&](bool wholePieces) {
        HBRUSH back = CreateSolidBrush(grid.backColor);
        FillRect(mem, &all, back);
        DeleteObject(back);
        HFONT f = CreateGridFont(grid.font);
        HGDIOBJ oldFont = SelectObject(mem, f);
        {
            GdiCellMeasurer measurer(mem, sizes);
            for (int row = 0; row < kRows; ++row)
                for (int c = 0; c < 5; ++c) {
                    const tovan::CCell* cell = grid.PaintedCell(row, c);
                    const tovan::CellRect& cr = cell->rect;
                    const tovan::CellRect text{cr.left + grid.marginX, cr.top + grid.marginY, cr.right - grid.marginX,
                                               cr.bottom - grid.marginY + 1};
                    for (const tovan::PlacedPiece& p : tovan::LayoutCellRuns(*cell, text, measurer)) {
                        if (p.image) continue;
                        if (wholePieces) {
                            ExtTextOutA(mem, p.x, p.y, 0, nullptr, cell->runs[p.run].text.data() + p.begin,
                                        static_cast<UINT>(p.length), nullptr);
                            continue;
                        }
                        int x = p.x;
                        for (std::size_t k = 0; k < p.length;) {
                            const std::size_t n = p.advances.size() > k + 1 && p.advances[k + 1] == 0 ? 2 : 1;
                            ExtTextOutA(mem, x, p.y, 0, nullptr, cell->runs[p.run].text.data() + p.begin + k,
                                        static_cast<UINT>(n), nullptr);
                            x += p.advances[k];
                            k += n;
                        }
                    }
                }
        }
        SelectObject(mem, oldFont);
        DeleteObject(f);
    };
    // Each way in a loop of its own (interleaved, one way's GDI work moved
    // the next one's time), three rounds in turn; the best round counts.
    auto perScreen = [&](const std::function<void()>& draw) {
        const double t0 = Now();
        for (int i = 0; i < repeats; ++i) draw();
        GdiFlush();
        return (Now() - t0) / repeats * 1000;
    };
    auto charByChar = [&] { layoutDrawn(false); };
    auto pieceByPiece = [&] { layoutDrawn(true); };
    double g = 1e9, b = 1e9, t = 1e9, ch = 1e9, pc = 1e9;
    for (int round = 0; round < 3; ++round) {
        b = std::min(b, perScreen(baseline));
        g = std::min(g, perScreen(gridPaint));
        model.usePictures = false;
        t = std::min(t, perScreen(gridPaint));
        model.usePictures = true;
        ch = std::min(ch, perScreen(charByChar));
        pc = std::min(pc, perScreen(pieceByPiece));
    }
    std::printf("screens painted: %d (40 rows x 5 columns, 3 lines a row, %dx%d pixels, %d pictures)\n", repeats,
                1000, height, pictures);
    std::printf("grid paint with pictures:       %8.3f ms per screen\n", g);
    std::printf("baseline, ExtTextOut per cell:  %8.3f ms per screen\n", b);
    std::printf("ratio grid / baseline:          %8.2f\n", g / b);
    std::printf("grid paint, texts for pictures: %8.3f ms per screen (ratio %.2f)\n", t, t / b);
    std::printf("for comparison, the same layout one character per call (text only): %.3f ms\n", ch);
    std::printf("for comparison, the same layout one piece per call (text only):     %.3f ms (ratio %.2f)\n", pc,
                pc / b);

    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    return 0;
}
