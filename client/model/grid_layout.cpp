#include "client/model/grid_layout.h"

#include <algorithm>

#include "text/gbk.h"

namespace tovan {

std::size_t CharLengthAt(const std::string& text, std::size_t i) {
    // A lead byte before a NUL stands alone.
    if (GbkCharLength(text, i) == 2 && text[i + 1] != '\0') return 2;
    return 1;
}

int ContentCellHeight(const CCell& cell, int available, CellMeasurer& measurer) {
    int lineWidth = 0, finished = 0, lineHeight = 0;
    // False for an item wider than the cell: the layout stops there, and so
    // does the height.
    auto place = [&](int w, int h, bool strict) {
        if (w > available) return false;
        if (strict ? lineWidth + w < available : lineWidth + w <= available) {
            lineWidth += w;
            lineHeight = std::max(lineHeight, h);
        } else {
            finished += lineHeight;
            lineWidth = w;
            lineHeight = h;
        }
        return true;
    };
    for (const CTextInfo& run : cell.runs) {
        if (run.isImage) {
            TextExtent size;
            if (measurer.ImageSize(run.imageId & 0xFFFF, &size) && !place(size.cx, size.cy, true))
                return finished + lineHeight;
            continue;
        }
        const std::string& t = run.text;
        for (std::size_t i = 0; i < t.size();) {
            const std::size_t n = CharLengthAt(t, i);
            if (t[i] == '\n') {
                finished += lineHeight;
                lineWidth = 0;
                lineHeight = 0;
            } else {
                const TextExtent size = measurer.MeasureChar(t.data() + i, n);
                if (!place(size.cx, size.cy, false)) return finished + lineHeight;
            }
            i += n;
        }
    }
    return finished + lineHeight;
}

int ContentRowHeight(const std::vector<CCell>& cells, const std::vector<int>& widths, int marginX,
                     CellMeasurer& measurer) {
    int height = kMinRowHeight;
    const std::size_t n = std::min(cells.size(), widths.size());
    for (std::size_t c = 0; c < n; ++c)
        height = std::max(height, ContentCellHeight(cells[c], widths[c] - 2 * marginX, measurer));
    return height;
}

int FixedRowHeight(int linesPerRow, CellMeasurer& measurer) {
    static const char kSample[] = "伸";
    return linesPerRow * measurer.MeasureChar(kSample, sizeof kSample - 1).cy;
}

std::vector<PlacedPiece> LayoutCellRuns(const CCell& cell, const CellRect& r, CellMeasurer& measurer) {
    std::vector<PlacedPiece> pieces;
    int x = r.left, y = r.top, lineHeight = 0;

    // Where the item of size (w, h) goes: false when it has no room. A new line
    // starts when it does not fit on the current one but below it.
    auto place = [&](int w, int h, int* atX, int* atY, bool* newLine) {
        *newLine = false;
        if (r.left + w > r.right) return false;
        if (x + w <= r.right && y + h <= r.bottom) {
            *atX = x;
            *atY = y;
            x += w;
            lineHeight = std::max(lineHeight, h);
            return true;
        }
        if (y + lineHeight + h <= r.bottom) {
            y += lineHeight;
            *atX = r.left;
            *atY = y;
            x = r.left + w;
            lineHeight = h;
            *newLine = true;
            return true;
        }
        return false;
    };

    for (std::size_t ri = 0; ri < cell.runs.size(); ++ri) {
        const CTextInfo& run = cell.runs[ri];
        if (run.isImage) {
            TextExtent size;
            if (!measurer.ImageSize(run.imageId & 0xFFFF, &size)) continue;
            PlacedPiece p;
            bool newLine;
            // Nothing after an item that has no room is drawn: later, narrower
            // items would splice the text.
            if (!place(size.cx, size.cy, &p.x, &p.y, &newLine)) return pieces;
            p.run = ri;
            p.image = true;
            pieces.push_back(std::move(p));
            continue;
        }
        // A piece grows while characters land right after each other on its line.
        bool open = false;
        const std::string& t = run.text;
        for (std::size_t i = 0; i < t.size();) {
            const std::size_t n = CharLengthAt(t, i);
            if (t[i] == '\n') {
                y += lineHeight;
                x = r.left;
                lineHeight = 0;
                open = false;
                i += n;
                continue;
            }
            const TextExtent size = measurer.MeasureChar(t.data() + i, n);
            int atX, atY;
            bool newLine;
            if (!place(size.cx, size.cy, &atX, &atY, &newLine)) return pieces;
            // A lead byte without its second byte stands alone, so that no
            // piece but a one-byte one ends in a lead byte.
            const bool loneLead = n == 1 && static_cast<unsigned char>(t[i]) >= 0x81;
            if (!open || newLine || loneLead) {
                PlacedPiece p;
                p.run = ri;
                p.x = atX;
                p.y = atY;
                p.begin = i;
                p.advances.reserve(t.size() - i);
                pieces.push_back(std::move(p));
                open = true;
            }
            PlacedPiece& p = pieces.back();
            p.length += n;
            p.advances.push_back(size.cx);
            if (n == 2) p.advances.push_back(0);
            if (loneLead) open = false;
            i += n;
        }
    }
    return pieces;
}

}  // namespace tovan
