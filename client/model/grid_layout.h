// How the grid lays a cell's runs out: no word wrapping, a line breaks before
// any character that does not fit, and the cell ends at the first character
// or picture that fits neither on its line nor below it (or is wider than the
// cell), so that no later, narrower character is drawn after a gap. Measuring
// is left to the caller (GDI in the program, a fake in the tests).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "client/model/grid_cell.h"

namespace tovan {

struct TextExtent {
    int cx = 0;
    int cy = 0;
};

class CellMeasurer {
public:
    virtual ~CellMeasurer() = default;
    // Size of one character (one or two GBK bytes) in the grid font.
    virtual TextExtent MeasureChar(const char* text, std::size_t length) = 0;
    // Size of a bitmap of the program; false when there is no such bitmap.
    virtual bool ImageSize(int imageId, TextExtent* size) = 0;
};

// Bytes of the character at i: 2 for a GBK lead byte with a byte after it.
std::size_t CharLengthAt(const std::string& text, std::size_t i);

// A row in content mode is at least this high (without its margins).
constexpr int kMinRowHeight = 20;

// Height the cell's runs need when lines are `available` pixels wide.
int ContentCellHeight(const CCell& cell, int available, CellMeasurer& measurer);

// Row height without margins: the tallest cell, at least kMinRowHeight.
// widths[c] is column c's width; marginX is taken off both sides.
int ContentRowHeight(const std::vector<CCell>& cells, const std::vector<int>& widths, int marginX,
                     CellMeasurer& measurer);

// Row height without margins in fixed-line mode: linesPerRow lines of "伸".
int FixedRowHeight(int linesPerRow, CellMeasurer& measurer);

// One piece to draw: a bitmap, or characters of one run that stand side by
// side on one line, drawn with a single call.
struct PlacedPiece {
    std::size_t run = 0;
    bool image = false;
    int x = 0;
    int y = 0;
    std::size_t begin = 0;   // first byte in the run's text
    std::size_t length = 0;  // bytes
    std::vector<int> advances;  // per byte: a character's width on its first byte, 0 on its second
    // Only a piece of one byte can end in a lead byte (one cut from its
    // second byte): the platform reads two advances for a lead byte.
};

// Places the cell's runs in the text rectangle, character by character, and
// returns the pieces to draw in drawing order.
std::vector<PlacedPiece> LayoutCellRuns(const CCell& cell, const CellRect& text, CellMeasurer& measurer);

}  // namespace tovan
