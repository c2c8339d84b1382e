// How an offer record becomes the cells of a record grid row: the offer text
// with its time and closed-deal mark, masked digits, telephone numbers in
// their own colour, search or watch keywords in red, and pictures or words for
// the class and chat columns.
#pragma once

#include <string>
#include <string_view>

#include "client/model/grid_cell.h"
#include "client/model/msg_info.h"

namespace tovan {

constexpr Colorref kClosedDealColor = 0xFF0000;  // blue
constexpr Colorref kKeywordColor = 0x0000FF;     // red
constexpr Colorref kDefaultPhoneColor = 255;     // red
constexpr Colorref kHintColor = 0x3232C8;

// Bitmaps of the program (23 x 23, background 0xFFF8E8 drawn transparent).
constexpr int kCargoClassBitmap = 197;
constexpr int kOtherClassBitmap = 198;
constexpr int kChatBitmap = 182;

enum RecordColumn { kIdColumn = 0, kClassColumn = 1, kBodyColumn = 2, kPlaceColumn = 3, kChatColumn = 4 };

// Copies source, masking it when the user's switch is on, or when the account
// lacks full rights and applyLimited is set: runs of 6 or more ASCII digits
// and a 0x02 ... 0x03 span become "*" of the same length.
std::string MaskText(const std::string& source, bool maskDigits, bool limitedRights, bool applyLimited);

// The offer column's text before colouring: masked as the list shows it,
// without any "*", with " [time]" and " (已成交)" appended.
std::string ComposeRecordText(const MsgInfo& record, bool maskDigits, bool limitedRights);

// Appends the runs of text with telephone numbers (after "电话:" and "手机:")
// in phoneColor; the rest is blue for a closed deal, else in the grid colour.
void BuildRuns(const std::string& text, int status, Colorref phoneColor, const GridFont& font, CCell* cell);

// As BuildRuns, and every occurrence of the free keyword and of each item of
// the quoted, comma-separated destination list is red.
void BuildRunsHighlight(const std::string& text, int status, Colorref phoneColor, std::string_view keyword,
                        std::string_view destinations, const GridFont& font, CCell* cell);

struct RecordCellOptions {
    GridFont font;             // the grid's font, copied into the runs
    bool pictures = false;     // class and chat columns as bitmaps
    bool highlight = false;    // search grid, or the view in watch mode
    // Both point into the criteria they come from, which outlive the fill.
    std::string_view keyword;       // free keyword to highlight
    std::string_view destinations;  // destination list to highlight
    bool maskDigits = false;
    bool limitedRights = false;
    Colorref phoneColor = kDefaultPhoneColor;
};

// Fills cell (emptied first) with the runs of one column of the record.
void FillRecordCell(const MsgInfo& record, int column, const RecordCellOptions& options, CCell* cell);

}  // namespace tovan
