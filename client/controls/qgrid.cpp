#include "client/controls/qgrid.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "client/model/grid_layout.h"
#include "client/controls/grid_painter.h"
#include "fw/scoped_gdi.h"

namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

}  // namespace

bool CQGrid::Create(HWND parent, int id, const RECT& r) {
    return fw::Window::Create(kClassName, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                              reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)),
                              LoadCursor(nullptr, IDC_ARROW));
}

void CQGrid::GetCellText(int, int, tovan::CCell*) {}
void CQGrid::OnCellDblClk(int, int, tovan::CCell*) {}

void CQGrid::SetColumnCount(int n) {
    columnCount = std::max(n, 0);
    columnWidths_.assign(columnCount, 50);
    cells_.clear();
    firstVisibleRow = 0;
    lastPaintedRow = 0;
    selectedRow = -1;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CQGrid::SetRowCount(int n) {
    rowCount = std::max(n, 0);
    cells_.clear();
    firstVisibleRow = 0;
    lastPaintedRow = 0;
    selectedRow = -1;
    if (!hwnd()) return;
    SyncScrollBar(true);
    InvalidateRows(nullptr, true);
}

void CQGrid::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount) return;
    columnWidths_[column] = width;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

int CQGrid::ColumnWidth(int column) const {
    return column >= 0 && column < columnCount ? columnWidths_[column] : 0;
}

void CQGrid::SetFontSize(int points) {
    font.height = -MulDiv(points, GetDeviceCaps(fw::gdi::WindowDc(nullptr), LOGPIXELSY), 72);
}

void CQGrid::SetFaceName(const std::string& name) {
    std::size_t n = 0;
    while (n < name.size()) {
        const std::size_t len = tovan::CharLengthAt(name, n);
        if (n + len > sizeof font.faceName - 1) break;
        n += len;
    }
    std::memset(font.faceName, 0, sizeof font.faceName);
    std::memcpy(font.faceName, name.data(), n);
}

void CQGrid::SetFontWeight(int weight) { font.weight = weight; }

SIZE CQGrid::MeasureText(const std::string& text) {
    SIZE size = {};
    const fw::gdi::WindowDc dc(hwnd());
    const fw::gdi::SavedState save(dc);
    const fw::gdi::Font f(CreateGridFont(font));
    const fw::gdi::Selection use(dc, f);
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

std::vector<tovan::CCell>* CQGrid::CachedRow(int row) {
    const long i = static_cast<long>(row) - cellsFirstRow_;
    return i >= 0 && i < static_cast<long>(cells_.size()) ? &cells_[i] : nullptr;
}

const std::vector<tovan::CCell>* CQGrid::CachedRow(int row) const {
    return const_cast<CQGrid*>(this)->CachedRow(row);
}

const tovan::CCell* CQGrid::PaintedCell(int row, int column) const {
    const std::vector<tovan::CCell>* cells = CachedRow(row);
    return cells && column >= 0 && column < static_cast<int>(cells->size()) ? &(*cells)[column] : nullptr;
}

void CQGrid::SetScrollRangeForRows() {
    SetScrollRange(hwnd(), SB_VERT, 0, std::max(rowCount - 1, 0), TRUE);
}

void CQGrid::SyncScrollBar(bool moveThumb) {
    if (holds_ > 0) {
        heldScroll_ = true;
        return;
    }
    SetScrollRangeForRows();  // first, or a thumb at the old end could not follow
    if (moveThumb) SetScrollPos(hwnd(), SB_VERT, firstVisibleRow, TRUE);
}

void CQGrid::InvalidateRows(const RECT* area, bool erase) {
    if (holds_ == 0) {
        InvalidateRect(hwnd(), area, erase ? TRUE : FALSE);
        return;
    }
    RECT r;
    if (area) {
        r = *area;
    } else {
        GetClientRect(hwnd(), &r);
    }
    if (heldInvalid_) {
        UnionRect(&heldArea_, &heldArea_, &r);
    } else {
        heldArea_ = r;
    }
    heldInvalid_ = true;
    heldErase_ = heldErase_ || erase;
}

void CQGrid::ReleaseWindowUpdates() {
    if (holds_ == 0 || --holds_ > 0) return;
    if (hwnd() && heldScroll_) {
        // Range and thumb in one call; the thumb always stands at the first
        // visible row.
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_POS;
        si.nMin = 0;
        si.nMax = std::max(rowCount - 1, 0);
        si.nPos = firstVisibleRow;
        SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    }
    if (hwnd() && heldInvalid_) {
        InvalidateRect(hwnd(), &heldArea_, heldErase_ ? TRUE : FALSE);
        // Drawn now: left to the queue, the rows would wait for every other
        // window's paint (after a logon reply the toolbar, tree and panes).
        UpdateWindow(hwnd());
    }
    heldScroll_ = heldInvalid_ = heldErase_ = false;
}

void CQGrid::InsertRow(int n, const tovan::CCell* cells) {
    if (n < 0 || n > rowCount) return;
    ++rowCount;
    const long at = static_cast<long>(n) - cellsFirstRow_;
    if (at < 0) {
        ++cellsFirstRow_;
    } else if (at <= static_cast<long>(cells_.size()) && !cells_.empty()) {
        std::vector<tovan::CCell> row(columnCount);
        if (cells)
            for (int c = 0; c < columnCount; ++c) row[c] = cells[c];
        cells_.insert(cells_.begin() + at, std::move(row));
    }
    if (n <= selectedRow) ++selectedRow;
    if (!hwnd()) {
        if (n < firstVisibleRow) ++firstVisibleRow;
        return;
    }
    if (n >= firstVisibleRow && n <= lastPaintedRow) InvalidateRows(nullptr, false);
    const bool above = n < firstVisibleRow;
    if (above) ++firstVisibleRow;  // the same records stay on the screen
    SyncScrollBar(above);
}

void CQGrid::DeleteRow(int n) {
    if (rowCount == 0 || n < 0 || n >= rowCount) return;
    --rowCount;
    const long at = static_cast<long>(n) - cellsFirstRow_;
    if (at < 0)
        --cellsFirstRow_;
    else if (at < static_cast<long>(cells_.size()))
        cells_.erase(cells_.begin() + at);
    if (n < selectedRow)
        --selectedRow;
    else if (n == selectedRow)
        selectedRow = -1;
    const int firstBefore = firstVisibleRow;
    if (firstVisibleRow == rowCount) firstVisibleRow = rowCount - 1;
    if (firstVisibleRow < 0) firstVisibleRow = 0;
    // With the end of the list on the screen the rows now stop higher up, or
    // there are none and the paint draws nothing: only an erase clears the
    // band the deleted row leaves.
    const bool endOnScreen = lastPaintedRow >= rowCount;
    if (hwnd() && n >= firstVisibleRow && n <= lastPaintedRow) InvalidateRows(nullptr, endOnScreen);
    if (n < firstVisibleRow) --firstVisibleRow;
    if (!hwnd()) return;
    SyncScrollBar(firstVisibleRow != firstBefore);  // the thumb stays with the rows
}

void CQGrid::InvalidateBand(int row, bool erase) {
    const std::vector<tovan::CCell>* cells = CachedRow(row);
    if (!cells || cells->empty()) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const RECT band = {0, (*cells)[0].rect.top, client.right, (*cells)[0].rect.bottom};
    InvalidateRect(hwnd(), &band, erase);
}

void CQGrid::InvalidateRow(int row) {
    if (!hwnd() || rowCount < 1 || row < firstVisibleRow || row > lastPaintedRow) return;
    RECT r;
    GetClientRect(hwnd(), &r);
    const std::vector<tovan::CCell>* cells = CachedRow(row);
    if (cells && !cells->empty()) r.top = (*cells)[0].rect.top;
    InvalidateRows(&r, false);
}

void CQGrid::DrawCell(const tovan::CCell& cell, const RECT& text, const CellColors& colors, GridTextDrawer& drawer,
                      tovan::CellMeasurer& measurer) {
    const tovan::CellRect r{text.left, text.top, text.right, text.bottom};
    for (const tovan::PlacedPiece& p : tovan::LayoutCellRuns(cell, r, measurer)) {
        const tovan::CTextInfo& run = cell.runs[p.run];
        if (p.image) {
            drawer.Flush();
            DrawTransparentBitmap(colors.dc, run.imageId, p.x, p.y);
            continue;
        }
        const COLORREF color = colors.selected ? colors.highlightText : run.useGridColor ? gridTextColor : run.textColor;
        // Characters the layout placed side by side go out at the advances it
        // measured, so the picture equals drawing them one by one.
        drawer.Add(p.x, p.y, color, run.text.data() + p.begin, p.length, p.advances.data());
    }
    // The next row's fill may cover what overhangs this cell: nothing waits past it.
    drawer.Flush();
}

void CQGrid::Paint(HDC dc) {
    const fw::gdi::SavedState save(dc);
    if (!hwnd() || firstVisibleRow > rowCount - 1) {
        erasedDc_ = nullptr;
        return;
    }
    RECT client;
    GetClientRect(hwnd(), &client);

    lastPaintedRow = firstVisibleRow;
    SetBkMode(dc, TRANSPARENT);
    // Objects before their selections: put back before they are deleted.
    const fw::gdi::Font gridFont(CreateGridFont(font));
    const fw::gdi::Pen pen(CreatePen(PS_SOLID, 1, lineColor));
    const fw::gdi::Selection useFont(dc, gridFont);
    const fw::gdi::Selection usePen(dc, pen);
    {
        const fw::gdi::Brush back(CreateSolidBrush(backColor));
        HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
        if (!SameFont(font, charSizesFont_)) {
            charSizes_.Clear();
            charSizesFont_ = font;
        }
        GdiCellMeasurer measurer(dc, charSizes_);
        GridTextDrawer drawer(dc);
        CellColors colors{dc, false, GetSysColor(COLOR_HIGHLIGHTTEXT)};
        BeginCellFills();
        cells_.clear();
        cellsFirstRow_ = firstVisibleRow;

        int y = 0;
        for (int i = firstVisibleRow; i < rowCount && y < client.bottom; ++i) {
            cells_.emplace_back(columnCount);
            std::vector<tovan::CCell>& cells = cells_.back();
            for (int c = 0; c < columnCount; ++c) GetCellText(i, c, &cells[c]);
            const int h = linesPerRow > 0 ? tovan::FixedRowHeight(linesPerRow, measurer)
                                          : tovan::ContentRowHeight(cells, columnWidths_, marginX, measurer);
            const bool selected = i == selectedRow;
            HBRUSH fill = selected ? highlight : static_cast<HBRUSH>(back);
            const int bottom = y + h + 2 * marginY;
            int x = 0;
            for (int j = 0; j < columnCount; ++j) {
                cells[j].rect = {x, y, x + columnWidths_[j], bottom};
                x += columnWidths_[j] + 1;
            }
            // The cells and the band right of them in one fill (two in
            // fixed-line mode, whose cells leave their top and bottom pixel
            // rows to the horizontal lines). That also covers the vertical
            // lines between the cells, so they are drawn again below.
            const int cellsRight = x - 1;  // the band starts here, when there is room for it
            const bool band = x < client.right;
            const bool erased = !selected && erasedDc_ == dc && erasedColor_ == backColor &&
                                erasedBox_.left <= 0 && erasedBox_.right >= client.right &&
                                erasedBox_.top <= y && erasedBox_.bottom >= bottom;
            if (erased) {
                // the erase has filled the row already
            } else if (linesPerRow != 0) {
                Fill(dc, 0, y + 1, cellsRight, bottom - 1, fill);
                if (band) Fill(dc, cellsRight, y, client.right, bottom, fill);
            } else {
                Fill(dc, 0, y, band ? client.right : cellsRight, bottom, fill);
            }
            for (int j = 0; j < columnCount; ++j) {
                const tovan::CellRect& c = cells[j].rect;
                const RECT text = {c.left + marginX, y + marginY, c.right - marginX, y + marginY + h + 1};
                colors.selected = selected;
                DrawCell(cells[j], text, colors, drawer, measurer);
            }
            y = bottom;
            if (!(linesPerRow != 0 && linesOnScreen && rowsFillClient)) {
                MoveToEx(dc, 0, y, nullptr);
                LineTo(dc, client.right, y);
            }
            lastPaintedRow = i;
            y += 1;
        }

        EndCellFills();

        // Vertical lines, on every paint since the row fills cover them.
        int x = 0;
        for (int j = 0; j + 1 < columnCount; ++j) {
            x += columnWidths_[j] + (j > 0 ? 1 : 0);
            MoveToEx(dc, x, 0, nullptr);
            LineTo(dc, x, j == 0 ? client.bottom : y);
        }
        linesOnScreen = 1;
        rowsFillClient = 1;
        if (y < client.bottom) {
            Fill(dc, client.left + 1, y, client.right, client.bottom, back);
            rowsFillClient = 0;
        }
        erasedDc_ = nullptr;
    }
}

void CQGrid::EraseBackground(HDC dc) {
    RECT clip;
    GetClipBox(dc, &clip);
    FillRect(dc, &clip, fw::gdi::Brush(CreateSolidBrush(backColor)));
    linesOnScreen = 0;
    erasedDc_ = dc;
    erasedBox_ = clip;
    erasedColor_ = backColor;
}

void CQGrid::OnLButtonUp(int x, int y) {
    if (rowCount < 1) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const int last = std::min(lastPaintedRow, rowCount - 1);
    for (int i = firstVisibleRow; i <= last; ++i) {
        const tovan::CCell* first = PaintedCell(i, 0);
        if (!first || x < 0 || x >= client.right || y < first->rect.top || y >= first->rect.bottom) continue;
        if (selectedRow >= firstVisibleRow && selectedRow <= last) InvalidateBand(selectedRow, true);
        selectedRow = i;
        InvalidateBand(i, true);
        return;
    }
}

void CQGrid::OnLButtonDblClk(int x, int y) {
    if (rowCount < 1) return;
    const int last = std::min(lastPaintedRow, rowCount - 1);
    for (int i = firstVisibleRow; i <= last; ++i) {
        std::vector<tovan::CCell>* cells = CachedRow(i);
        if (!cells) continue;
        for (int j = 0; j < static_cast<int>(cells->size()); ++j) {
            if ((*cells)[j].rect.Contains(x, y)) {
                OnCellDblClk(i, j, &(*cells)[j]);
                return;
            }
        }
    }
}

int CQGrid::ThumbPosition(WPARAM wp) const {
    // The message carries 16 bits; longer lists need the tracking position.
    if (rowCount - 1 <= 0xFFFF) return HIWORD(wp);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd(), SB_VERT, &si);
    return si.nTrackPos;
}

LRESULT CQGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            erasedDc_ = nullptr;  // only an erase done by BeginPaint counts
            Paint(fw::gdi::PaintDc(hwnd()));
            return 0;
        }
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wp));
            return 1;
        case WM_LBUTTONUP:
            OnLButtonUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_VSCROLL: {
            if (rowCount < 1) return 0;
            const int t = firstVisibleRow, n = rowCount;
            int next = t;
            BOOL erase = FALSE;
            switch (LOWORD(wp)) {
                case SB_LINEUP:
                    if (t < 1) return 0;  // at the first row nothing at all happens
                    next = t - 1;
                    break;
                case SB_LINEDOWN: next = std::min(t + 1, n - 1); break;
                case SB_PAGEUP:
                    next = std::max(2 * t - lastPaintedRow - 1, 0);  // back by the rows the last paint drew
                    erase = TRUE;
                    break;
                case SB_PAGEDOWN: next = std::min(lastPaintedRow + 1, n - 1); break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: next = std::clamp(ThumbPosition(wp), 0, n - 1); break;
                case SB_TOP: next = 0; break;
                case SB_BOTTOM: next = n - 1; break;
                default: return DefaultProc(msg, wp, lp);
            }
            firstVisibleRow = next;
            InvalidateRect(hwnd(), nullptr, erase);
            SetScrollPos(hwnd(), SB_VERT, next, TRUE);
            return DefaultProc(msg, wp, lp);
        }
        case WM_MOUSEWHEEL:
            // One row per notification, whatever the delta.
            SendMessageA(hwnd(), WM_VSCROLL, GET_WHEEL_DELTA_WPARAM(wp) < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
            return 0;
        default:
            return DefaultProc(msg, wp, lp);
    }
}
