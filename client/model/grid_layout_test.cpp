#include "client/model/grid_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovan {
namespace {

// ASCII 6 x 12, double-byte 12 x 14, "W" 100 wide (wider than any test cell);
// bitmap 197 is 23 x 23, no other bitmap exists.
class FakeMeasurer : public CellMeasurer {
public:
    int calls = 0;
    TextExtent MeasureChar(const char* text, std::size_t length) override {
        ++calls;
        if (length == 2) return {12, 14};
        return {text[0] == 'W' ? 100 : 6, 12};
    }
    bool ImageSize(int imageId, TextExtent* size) override {
        if (imageId != 197) return false;
        *size = {23, 23};
        return true;
    }
};

CTextInfo Text(const std::string& t) {
    CTextInfo r;
    r.text = t;
    return r;
}
CTextInfo Image(int id) {
    CTextInfo r;
    r.text = "ignored";
    r.SetImage(id);
    return r;
}
CCell Cell(std::vector<CTextInfo> runs) {
    CCell c;
    c.runs = std::move(runs);
    return c;
}

std::string PieceText(const CCell& c, const PlacedPiece& p) { return c.runs[p.run].text.substr(p.begin, p.length); }

TEST(GridRunModelTest, ColourImageAndCellCopyRules) {
    CTextInfo t = Text("abc");
    EXPECT_EQ(t.useGridColor, 1);
    t.SetTextColor(0xFF0000);
    EXPECT_EQ(t.useGridColor, 0);
    EXPECT_EQ(t.textColor, 0xFF0000u);

    CCell c = Cell({Text("x"), Image(197)});
    c.rect = {1, 2, 3, 4};
    CCell& self = c;
    c = self;
    ASSERT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.runs[0].text, "x");
    EXPECT_EQ(c.runs[1].imageId, 197);

    CCell copy;
    copy = c;
    EXPECT_EQ(copy.rect.bottom, 4);
    c.RemoveAllText();
    EXPECT_TRUE(c.runs.empty());
    EXPECT_EQ(c.runs.capacity(), 0u);
    EXPECT_EQ(copy.runs.size(), 2u);
}

TEST(GridRowHeightTest, ContentModeWrapsAtAnyCharacter) {
    FakeMeasurer m;
    struct Case {
        const char* name;
        std::vector<CTextInfo> runs;
        int available;
        int height;
    } cases[] = {
        {"empty cell", {}, 60, 0},
        {"one line exactly full", {Text("abcdefghij")}, 60, 12},
        {"one byte more wraps", {Text("abcdefghijk")}, 60, 24},
        {"double-byte line is taller", {Text("ab伸伸")}, 60, 14},
        {"line feed ends a line", {Text("ab\ncd")}, 60, 24},
        {"line feed on an empty line adds nothing", {Text("\n\nab")}, 60, 12},
        {"too wide character ends the cell", {Text("aW\nb")}, 60, 12},
        {"image must fit strictly", {Text("abcdef"), Image(197)}, 59, 12 + 23},
        {"image joins when strictly less", {Text("abcdef"), Image(197)}, 60, 23},
        {"missing bitmap is ignored", {Text("ab"), Image(5)}, 60, 12},
        {"runs share lines", {Text("abcde"), Text("fghij"), Text("k")}, 60, 24},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContentCellHeight(Cell(c.runs), c.available, m), c.height) << c.name;

    // The row is the tallest cell, never below 20; margins come off the widths.
    std::vector<CCell> row = {Cell({}), Cell({Text("abcdefghij")})};
    EXPECT_EQ(ContentRowHeight(row, {0, 64}, 2, m), 20);
    row.push_back(Cell({Text("abcdefghijabcdefghijabc")}));
    EXPECT_EQ(ContentRowHeight(row, {0, 64, 64}, 2, m), 36);
}

TEST(GridRowHeightTest, FixedModeIsLinesOfTheSampleCharacter) {
    FakeMeasurer m;
    EXPECT_EQ(FixedRowHeight(3, m), 42);
}

TEST(GridLayoutTest, CharactersOfALineAndRunFormOnePiece) {
    FakeMeasurer m;
    CCell c = Cell({Text("ab伸c"), Text("de")});
    std::vector<PlacedPiece> p = LayoutCellRuns(c, {10, 5, 200, 100}, m);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(PieceText(c, p[0]), "ab伸c");
    EXPECT_EQ(p[0].x, 10);
    EXPECT_EQ(p[0].y, 5);
    EXPECT_EQ(p[0].advances, (std::vector<int>{6, 6, 12, 0, 6}));
    EXPECT_EQ(PieceText(c, p[1]), "de");
    EXPECT_EQ(p[1].x, 10 + 30);
}

TEST(GridLayoutTest, WrapsAndStopsAtTheFirstCharacterThatDoesNotFit) {
    FakeMeasurer m;
    struct Case {
        const char* name;
        std::vector<CTextInfo> runs;
        CellRect rect;
        std::vector<std::string> pieces;
    } cases[] = {
        // 30 pixels wide: five ASCII characters a line; 2 lines of 12 fit in 25.
        {"wraps, then cut off below", {Text("abcdefghij\nklm")}, {0, 0, 30, 25}, {"abcde", "fghij"}},
        // "W" is wider than the cell: nothing after it is drawn.
        {"too wide character", {Text("abcdefgWhij")}, {0, 0, 30, 25}, {"abcde", "fg"}},
        // The second "伸" has no room on the only line; the narrower ":" after
        // it would fit, but a splice "ab伸:" would misread the text.
        {"narrower character after one that did not fit", {Text("ab伸伸:x")}, {0, 0, 30, 14}, {"ab伸"}},
        {"and in the following runs", {Text("ab伸伸"), Text(":")}, {0, 0, 30, 14}, {"ab伸"}},
    };
    for (const Case& c : cases) {
        const CCell cell = Cell(c.runs);
        std::vector<std::string> texts;
        for (const PlacedPiece& p : LayoutCellRuns(cell, c.rect, m)) texts.push_back(PieceText(cell, p));
        EXPECT_EQ(texts, c.pieces) << c.name;
    }
}

TEST(GridLayoutTest, LineFeedRestartsAtTheLeftEdge) {
    FakeMeasurer m;
    CCell c = Cell({Text("ab\nc"), Image(197), Text("d")});
    std::vector<PlacedPiece> p = LayoutCellRuns(c, {4, 0, 100, 100}, m);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(PieceText(c, p[1]), "c");
    EXPECT_EQ(p[1].x, 4);
    EXPECT_EQ(p[1].y, 12);
    EXPECT_TRUE(p[2].image);
    EXPECT_EQ(p[2].x, 10);
    EXPECT_EQ(p[3].x, 33);
    EXPECT_EQ(p[3].y, 12);
}

TEST(GridLayoutTest, ImageThatDoesNotFitBelowEndsTheCell) {
    FakeMeasurer m;
    CCell c = Cell({Text("abcde"), Image(197), Text("f")});
    std::vector<PlacedPiece> p = LayoutCellRuns(c, {0, 0, 40, 30}, m);
    // The image needs a new line at y 12, but 12 + 23 > 30; "f" would fit
    // beside "abcde" but comes after it.
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(PieceText(c, p[0]), "abcde");
}

TEST(GridLayoutTest, LeadByteCutFromItsPairStandsAlone) {
    FakeMeasurer m;
    const std::string place = std::string("乌鲁木齐") .substr(0, 5);  // a cut at a byte count
    EXPECT_EQ(CharLengthAt(place, 4), 1u);
    CCell c = Cell({Text(place)});
    std::vector<PlacedPiece> p = LayoutCellRuns(c, {0, 0, 100, 20}, m);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].length, 4u);
    EXPECT_EQ(p[1].length, 1u);
    EXPECT_EQ(p[1].x, 24);
    EXPECT_EQ(p[1].advances, std::vector<int>{6});
}

}  // namespace
}  // namespace tovan
