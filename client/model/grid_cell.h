// The grid's cell model: a cell holds no data of its own, only the styled runs
// its owner put there for the current paint, each a piece of text in one
// colour or one bitmap from the program's resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovan {

// 0x00BBGGRR, as the platform's COLORREF.
using Colorref = std::uint32_t;

// The platform's font description (LOGFONT with an 8-bit face name), kept
// portable so that the run model can be tested without a window system.
struct GridFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 134;  // GB2312
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 48;
    char faceName[32] = "Arial";
};

// One run of a cell.
class CTextInfo {
public:
    GridFont font;
    Colorref textColor = 0;
    Colorref backColor = 0xFFFFFF;  // kept, never painted: cells take the grid's background
    std::string text;
    int useGridColor = 1;  // 1: drawn in the grid's text colour, 0: in textColor
    int isImage = 0;       // 1: the run is bitmap imageId and text is not drawn
    int imageId = 0;

    // The only way a run gets a colour of its own.
    void SetTextColor(Colorref c) {
        textColor = c;
        useGridColor = 0;
    }
    void SetImage(int id) {
        imageId = id;
        isImage = 1;
    }
};

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

class CCell {
public:
    std::vector<CTextInfo> runs;  // drawn in this order
    Colorref backColor = 0xFFFFFF;  // kept and copied, never painted
    CellRect rect;  // where the cell was drawn by the latest paint (grid client coordinates)

    CCell() = default;
    CCell(const CCell&) = default;
    CCell& operator=(const CCell&) = default;
    virtual ~CCell() = default;

    void AddRun(CTextInfo run) { runs.push_back(std::move(run)); }
    // Drops the runs and their storage: every fill starts from nothing.
    void RemoveAllText() { std::vector<CTextInfo>().swap(runs); }
};

}  // namespace tovan
