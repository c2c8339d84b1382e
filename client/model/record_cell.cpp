#include "client/model/record_cell.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "client/model/grid_layout.h"
#include "text/quote.h"
#include "text/split.h"

namespace tovan {
namespace {

constexpr char kKeywordMark = 0x05;
constexpr char kPhoneMark = 0x06;

template <std::size_t N>
std::string Field(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// starts[i] is true where a character begins. Matches are taken only there,
// so that a run never begins or ends inside a double-byte character.
std::vector<bool> CharStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) starts[i] = true;
    starts[text.size()] = true;
    return starts;
}

std::size_t FindAligned(const std::string& hay, std::string_view needle, std::size_t from,
                        const std::vector<bool>& starts) {
    for (std::size_t p = hay.find(needle, from); p != std::string::npos; p = hay.find(needle, p + 1))
        if (starts[p]) return p;
    return std::string::npos;
}

void MarkAll(std::string* work, std::string_view needle, const std::vector<bool>& starts) {
    if (needle.empty()) return;
    for (std::size_t p = FindAligned(*work, needle, 0, starts); p != std::string::npos;
         p = FindAligned(*work, needle, p + needle.size(), starts))
        std::fill(work->begin() + p, work->begin() + p + needle.size(), kKeywordMark);
}

// Marks the number after the first label: bytes "(" to "9" in a row, never
// the text's last byte.
void MarkPhoneAfter(std::string* work, const char* label, const std::vector<bool>& starts) {
    const std::string l(label);
    const std::size_t p = FindAligned(*work, l, 0, starts);
    if (p == std::string::npos) return;
    for (std::size_t i = p + l.size(); i + 1 < work->size(); ++i) {
        const unsigned char c = static_cast<unsigned char>((*work)[i]);
        if (c < 0x28 || c > 0x39) break;
        (*work)[i] = kPhoneMark;
    }
}

void MarkPhones(std::string* work, const std::vector<bool>& starts) {
    MarkPhoneAfter(work, "电话:", starts);
    MarkPhoneAfter(work, "手机:", starts);
}

// Cuts text into runs where the marking of work changes.
void AppendMarkedRuns(const std::string& text, const std::string& work, int status, Colorref phoneColor,
                      const GridFont& font, CCell* cell) {
    auto kind = [&](std::size_t i) {
        return work[i] == kKeywordMark ? 1 : work[i] == kPhoneMark ? 2 : 0;
    };
    std::size_t begin = 0;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        if (i < text.size() && kind(i) == kind(begin)) continue;
        CTextInfo run;
        run.font = font;
        run.text = text.substr(begin, i - begin);
        switch (kind(begin)) {
            case 1: run.SetTextColor(kKeywordColor); break;
            case 2: run.SetTextColor(phoneColor); break;
            default:
                if (status == 1) run.SetTextColor(kClosedDealColor);
        }
        cell->AddRun(std::move(run));
        begin = i;
    }
}

}  // namespace

std::string MaskText(const std::string& source, bool maskDigits, bool limitedRights, bool applyLimited) {
    if (!maskDigits && !(limitedRights && applyLimited)) return source;
    std::string out = source;
    const std::size_t n = source.size();
    for (std::size_t i = 0; i < n;) {
        if (!IsDigit(source[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && IsDigit(source[j])) ++j;
        if (j - i > 5) std::fill(out.begin() + i, out.begin() + j, '*');
        i = j;
    }
    // A hidden span runs from a 0x02 (not the first byte) to the next 0x03,
    // which itself stays. A span once closed does not reopen.
    std::size_t open = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (source[i] == 0x02) {
            open = i;
        } else if (source[i] == 0x03 && open != 0) {
            std::fill(out.begin() + open, out.begin() + i, '*');
            open = 0;
        }
    }
    return out;
}

std::string ComposeRecordText(const MsgInfo& record, bool maskDigits, bool limitedRights) {
    std::string text = MaskText(Field(record.BodyIs), maskDigits, limitedRights, true);
    text.erase(std::remove(text.begin(), text.end(), '*'), text.end());
    const std::string time = Field(record.AddTime);
    if (!time.empty()) text += " [" + time + "]";
    if (record.Status == 1) text += " (已成交)";
    return text;
}

void BuildRuns(const std::string& text, int status, Colorref phoneColor, const GridFont& font, CCell* cell) {
    if (text.empty()) return;
    const std::vector<bool> starts = CharStarts(text);
    std::string work = text;
    MarkPhones(&work, starts);
    AppendMarkedRuns(text, work, status, phoneColor, font, cell);
}

void BuildRunsHighlight(const std::string& text, int status, Colorref phoneColor, std::string_view keyword,
                        std::string_view destinations, const GridFont& font, CCell* cell) {
    if (text.empty()) return;
    const std::vector<bool> starts = CharStarts(text);
    std::string work = text;
    MarkAll(&work, keyword, starts);
    for (const std::string& name : SplitSkippingEmpty(WithoutSingleQuotes(destinations), ','))
        MarkAll(&work, name, starts);
    MarkPhones(&work, starts);
    AppendMarkedRuns(text, work, status, phoneColor, font, cell);
}

void FillRecordCell(const MsgInfo& record, int column, const RecordCellOptions& o, CCell* cell) {
    cell->RemoveAllText();
    CTextInfo base;
    base.font = o.font;
    if (record.Status == 1) base.SetTextColor(kClosedDealColor);
    switch (column) {
        case kIdColumn:
            base.text = Field(record.ID);
            break;
        case kClassColumn:
            base.text = Field(record.Class);
            if (o.pictures) base.SetImage(base.text == "货" ? kCargoClassBitmap : kOtherClassBitmap);
            break;
        case kPlaceColumn:
            base.text = Field(record.xian).substr(0, 12);  // may cut a double-byte character
            break;
        case kChatColumn:
            if (record.AddTime[0] == '\0') break;  // row not loaded yet
            if (o.pictures)
                base.SetImage(kChatBitmap);
            else
                base.text = "交谈";
            break;
        case kBodyColumn: {
            const std::string text = ComposeRecordText(record, o.maskDigits, o.limitedRights);
            if (o.highlight)
                BuildRunsHighlight(text, record.Status, o.phoneColor, o.keyword, o.destinations, o.font, cell);
            else
                BuildRuns(text, record.Status, o.phoneColor, o.font, cell);
            if (o.limitedRights) {
                CTextInfo hint;
                hint.font = o.font;
                hint.SetTextColor(kHintColor);
                hint.text = "    双击查看";
                cell->AddRun(std::move(hint));
            }
            return;
        }
        default:
            break;
    }
    cell->AddRun(std::move(base));
}

}  // namespace tovan
