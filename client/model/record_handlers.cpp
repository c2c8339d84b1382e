#include "client/model/record_handlers.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <cstring>
#include <vector>

#include "client/model/server_message.h"
#include "text/decimal.h"
#include "text/quote.h"
#include "text/replace.h"
#include "text/split.h"

namespace tovan {
namespace {

// Copies a server field into a fixed record field: cut to the width less one
// byte (a double-byte character may be split, as everywhere else), always
// NUL-terminated.
template <std::size_t N>
void CopyField(char (&dst)[N], std::string_view src) {
    const std::size_t n = std::min(src.size(), N - 1);
    std::memcpy(dst, src.data(), n);
    std::memset(dst + n, 0, N - n);
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;  // an empty part is always there
}

// Row replies: ID|Class|ByName|AddTime|Area|BodyIs|Sheng|Status|key|row[|xian].
constexpr std::size_t kRowReplyFields = 11;  // command word included

// ID, Class, ByName, AddTime, Area, BodyIs: how every record message starts.
MsgInfo LeadingFields(const std::vector<std::string>& f) {
    MsgInfo rec{};
    CopyField(rec.ID, f[1]);
    CopyField(rec.Class, f[2]);
    CopyField(rec.ByName, f[3]);
    CopyField(rec.AddTime, f[4]);
    CopyField(rec.Area, f[5]);
    CopyField(rec.BodyIs, f[6]);
    return rec;
}

MsgInfo RowRecord(const std::vector<std::string>& f) {
    MsgInfo rec = LeadingFields(f);
    CopyField(rec.Sheng, f[7]);
    rec.Status = DecimalValue(f[8]);
    CopyField(rec.xian, f.size() > kRowReplyFields ? f[11] : f[5]);
    rec.loaded = 1;
    return rec;
}

std::int32_t RowIndex(const std::vector<std::string>& f) { return DecimalValue(f[10]); }
const std::string& RowKey(const std::vector<std::string>& f) { return f[9]; }

}  // namespace

bool IdListContains(std::string_view list, std::string_view id) {
    if (id.empty()) return false;  // rows without data carry no ID
    if (list == id) return true;
    if (list.size() > id.size()) {
        if (list.substr(0, id.size()) == id && list[id.size()] == ',') return true;
        if (list.substr(list.size() - id.size()) == id && list[list.size() - id.size() - 1] == ',') return true;
    }
    std::string inner;
    inner.reserve(id.size() + 2);
    inner += ',';
    inner.append(id.data(), id.size());
    inner += ',';
    return Contains(list, inner);
}

std::string ReplaceNumber(std::string_view caption, std::int64_t from, std::int64_t to) {
    return ReplaceAllBytes(caption, std::to_string(from), std::to_string(to));
}

bool MatchesCriteria(const MsgInfo& rec, const RecordCriteria& c) {
    if (!Contains(c.areas, FieldText(rec.Area)) && !Contains(c.areas, FieldText(rec.Sheng)) &&
        !Contains(c.areas, FieldText(rec.xian))) {
        return false;
    }
    if (!Contains(c.classes, FieldText(rec.Class))) return false;
    if (c.keyword.empty() && c.destinations.empty()) return true;

    const std::string_view body = FieldText(rec.BodyIs);
    if (!c.keyword.empty() && Contains(body, c.keyword)) return true;
    // Destination items are the quoted names between commas; the whole list is
    // walked however long it is (no fixed working copy to cut it).
    for (const std::string& item : SplitSkippingEmpty(c.destinations, ',')) {
        if (Contains(body, WithoutSingleQuotes(item))) return true;
    }
    return false;
}

void RecordHandlers::ResetList(RecordStore& list, const ListGrid& grid, std::int64_t rows) {
    list.Reset(rows);
    if (grid.pending != nullptr) grid.pending->Clear();
    if (grid.view != nullptr) grid.view->ResetRows(list.Size());
    effects_.ListCounted(list);
}

void RecordHandlers::OnRecordCount(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 4) return;  // key, label, count
    if (model_.watchMode != 0 || f[1] != model_.account.currentArea) return;
    effects_.SetFrameTitle(model_.titlePrefix + "    " + f[1] + f[2] + "信息" + f[3] + "条");
    ResetList(lists_.currentList, lists_.currentGrid, ParseDecimal(f[3]));
}

void RecordHandlers::OnGuanzhuCount(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 2 || model_.watchMode == 0) return;
    effects_.SetFrameTitle(model_.titlePrefix + "    共有关注信息" + f[1] + "条");
    ResetList(lists_.currentList, lists_.currentGrid, ParseDecimal(f[1]));
}

void RecordHandlers::OnSousuoCount(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 2) return;
    effects_.SetSearchPaneCaption("搜索结果        共" + f[1] + "条");
    ResetList(lists_.searchList, lists_.searchGrid, ParseDecimal(f[1]));
}

void RecordHandlers::OnMyRecordCount(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 2) return;
    lists_.myList.Resize(ParseDecimal(f[1]));
    lists_.myMsgCount = lists_.myList.Size();  // the total the list really holds
}

void RecordHandlers::OnSingleRecord(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < kRowReplyFields) return;
    if (model_.watchMode != 0 || RowKey(f) != model_.account.currentArea || lists_.currentList.Empty()) return;
    StoreRequestedRow(lists_.currentList, lists_.currentGrid, RowIndex(f), RowRecord(f));
}

void RecordHandlers::OnGuanzhuRecord(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < kRowReplyFields) return;
    if (model_.watchMode == 0 || lists_.currentList.Empty()) return;
    StoreRequestedRow(lists_.currentList, lists_.currentGrid, RowIndex(f), RowRecord(f));
}

void RecordHandlers::OnSousuoRecord(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < kRowReplyFields || lists_.searchList.Empty()) return;
    StoreRequestedRow(lists_.searchList, lists_.searchGrid, RowIndex(f), RowRecord(f));
}

void RecordHandlers::OnMyMsgRecord(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < kRowReplyFields) return;
    const std::int64_t row = ParseDecimal(f[10]);
    if (row < 0 || row >= lists_.myList.Size()) return;  // outside the list: not stored
    MsgInfo rec = RowRecord(f);
    rec.redraw = 1;
    lists_.myList.Store(static_cast<int>(row), rec);
}

bool RecordHandlers::WatchAreaAllowed(const MsgInfo& rec) const {
    if (model_.account.areaLevel == 0) return true;
    if (FieldText(rec.Area) == model_.account.homeCity) return true;
    return FieldText(rec.Sheng) == model_.account.homeProvince && model_.account.areaLevel < 2;
}

bool RecordHandlers::SearchAreaAllowed(const MsgInfo& rec) const {
    if (model_.account.areaLevel == 2) return FieldText(rec.Area) == model_.account.homeCity;
    if (model_.account.areaLevel == 1) return FieldText(rec.Sheng) == model_.account.homeProvince;
    return true;
}

void RecordHandlers::OnNewRecord(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 7) return;  // ID, Class, ByName, AddTime, Area, BodyIs
    MsgInfo rec = LeadingFields(f);
    if (f.size() > 7) CopyField(rec.Sheng, f[7]);
    if (f.size() > 8) rec.Status = DecimalValue(f[8]);
    CopyField(rec.xian, f.size() > 9 ? f[9] : f[5]);
    rec.loaded = 1;

    RecordStore& current = lists_.currentList;
    if (model_.watchMode == 0) {
        if (model_.account.currentArea == FieldText(rec.Sheng) || model_.account.currentArea == FieldText(rec.Area)) {
            // A list of return trips keeps its word in the title.
            const std::string shown = effects_.FrameTitle();
            const std::size_t at = shown.find("返程");
            const bool returnTrips = at != std::string::npos && at > 0;
            current.InsertTop(rec);
            effects_.SetFrameTitle(model_.titlePrefix + "    " + model_.account.currentArea +
                                   (returnTrips ? "返程信息" : "当前信息") +
                                   std::to_string(current.Size()) + "条");
            if (lists_.currentGrid.view != nullptr) lists_.currentGrid.view->InsertTopRow();
        }
    } else if (WatchAreaAllowed(rec) &&
               MatchesCriteria(rec, {model_.watch.areas, model_.watch.classes,
                                     model_.watch.destinations, model_.watch.keyword})) {
        current.InsertTop(rec);
        effects_.SetFrameTitle(model_.titlePrefix + "    关注信息" + std::to_string(current.Size()) + "条");
        effects_.Notify("新关注信息");
        if (lists_.currentGrid.view != nullptr) lists_.currentGrid.view->InsertTopRow();
    }

    if (effects_.SearchPaneVisible() && SearchAreaAllowed(rec) &&
        MatchesCriteria(rec, {model_.search.areas, model_.search.classes,
                              model_.search.destinations, model_.search.keyword})) {
        RecordStore& search = lists_.searchList;
        search.InsertTop(rec);
        effects_.SetSearchPaneCaption("搜索结果        共" + std::to_string(search.Size()) + "条");
        effects_.Notify("搜索结果中有新信息");
        if (lists_.searchGrid.view != nullptr) lists_.searchGrid.view->InsertTopRow();
    }
}

void RecordHandlers::OnChengjiao(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 2) return;
    const std::string& ids = f[1];
    // Rows without data are skipped: they carry no ID and get theirs, with the
    // server's current status, when their row reply comes.
    auto close = [&ids](RecordStore& list, const ListGrid& grid) {
        list.ForEachLoaded([&](int row, MsgInfo& rec) {
            if (!IdListContains(ids, FieldText(rec.ID))) return;
            rec.Status = 1;
            if (grid.view != nullptr) grid.view->RedrawRow(row);
        });
    };
    close(lists_.currentList, lists_.currentGrid);
    close(lists_.searchList, lists_.searchGrid);
}

void RecordHandlers::OnDeleteMsg(const char* msg) {
    const std::vector<std::string> f = SplitFields(msg);
    if (f.size() < 2) return;
    const std::string& id = f[1];

    RecordStore& current = lists_.currentList;
    if (const int row = current.FindFirstById(id); row >= 0) {
        const int oldSize = current.Size();
        current.Remove(row);
        effects_.SetFrameTitle(ReplaceNumber(effects_.FrameTitle(), oldSize, oldSize - 1));
        if (lists_.currentGrid.view != nullptr) lists_.currentGrid.view->DeleteRow(row);
    }
    RecordStore& search = lists_.searchList;
    if (const int row = search.FindFirstById(id); row >= 0) {
        const int oldSize = search.Size();
        search.Remove(row);
        effects_.SetSearchPaneCaption(ReplaceNumber(effects_.SearchPaneCaption(), oldSize, oldSize - 1));
        if (lists_.searchGrid.view != nullptr) lists_.searchGrid.view->DeleteRow(row);
    }
}

}  // namespace tovan
