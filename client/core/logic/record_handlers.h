// The server messages that size, fill, extend and change the offer lists:
// count replies, row replies, pushed offers with their watch and search
// filters, closed deals and deletions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/core/logic/msg_info.h"
#include "client/core/logic/record_grid_view.h"
#include "client/core/logic/record_store.h"
#include "client/core/logic/row_paging.h"

namespace tovan {

// What the handlers read of the frame, bound to the frame's own members so
// that it is always current. Criteria are the quoted lists the search and
// watch commands stored (quotes kept: records are tested as substrings).
struct RecordFrameState {
    const std::string& currentArea;   // area key of the current list
    const int& watchMode;             // 1 while the current list is the watch list
    const std::string& homeCity;
    const std::string& homeProvince;
    const int& areaLevel;             // 0 all areas, 1 province, 2 city
    const std::string& titlePrefix;   // first part of every frame title
    const std::string& watchAreas;
    const std::string& watchClasses;
    const std::string& watchDestinations;
    const std::string& watchKeywords;
    const std::string& searchAreas;
    const std::string& searchClasses;
    const std::string& searchDestinations;
    const std::string& searchText;
};

// What the handlers do to the frame's windows.
class RecordFrameEffects {
public:
    virtual ~RecordFrameEffects() = default;
    virtual std::string FrameTitle() const = 0;
    virtual void SetFrameTitle(const std::string& title) = 0;
    virtual std::string SearchPaneCaption() const = 0;
    virtual void SetSearchPaneCaption(const std::string& caption) = 0;
    virtual bool SearchPaneVisible() const = 0;
    // A new watch or search hit ("新关注信息", "搜索结果中有新信息").
    virtual void Notify(const std::string& text) = 0;
    // A count reply has sized the list: its rows in view are known now, so
    // they can be asked for without waiting for the next paging tick.
    virtual void ListCounted(const RecordStore& /*list*/) {}
};

// The frame's three offer lists and the my-offers total.
struct RecordLists {
    RecordStore currentList;   // shown by the view's grid
    RecordStore searchList;    // shown by the search pane's grid
    RecordStore myList;        // shown by the my-offers dialog
    int myMsgCount = 0;        // -1 while not yet known
    ListGrid currentGrid;
    ListGrid searchGrid;
};

// What a logon reply does to the lists before anything else: the current and
// the search list are emptied with their grids, and the row requests still
// pending for them go too (a late reply must not land on a row pushed since).
void ClearCurrentAndSearchLists(RecordLists& lists);

// True when the closed-deal list (IDs joined by ",") names id as one item.
bool IdListContains(std::string_view list, std::string_view id);

// Replaces every occurrence of the decimal text of `from` by that of `to`,
// left to right, also inside longer numbers.
std::string ReplaceNumber(std::string_view caption, std::int64_t from, std::int64_t to);

// The search or watch criteria a pushed record is tested against.
struct RecordCriteria {
    std::string_view areas;
    std::string_view classes;
    std::string_view destinations;  // quoted list, or empty
    std::string_view keyword;       // free text, or empty
};
bool MatchesCriteria(const MsgInfo& rec, const RecordCriteria& criteria);

// Handlers with the signatures of ServerMessageHandler's slots, so that the
// session's dispatcher forwards to them. Each gets the whole message text.
class RecordHandlers {
public:
    RecordHandlers(RecordLists& lists, const RecordFrameState& state, RecordFrameEffects& effects)
        : lists_(lists), state_(state), effects_(effects) {}

    void OnRecordCount(const char* msg);
    void OnGuanzhuCount(const char* msg);
    void OnSousuoCount(const char* msg);
    void OnMyRecordCount(const char* msg);

    void OnSingleRecord(const char* msg);
    void OnGuanzhuRecord(const char* msg);
    void OnSousuoRecord(const char* msg);
    void OnMyMsgRecord(const char* msg);

    void OnNewRecord(const char* msg);
    void OnChengjiao(const char* msg);
    void OnDeleteMsg(const char* msg);

private:
    void ResetList(RecordStore& list, const ListGrid& grid, std::int64_t rows);
    bool WatchAreaAllowed(const MsgInfo& rec) const;
    bool SearchAreaAllowed(const MsgInfo& rec) const;

    RecordLists& lists_;
    RecordFrameState state_;
    RecordFrameEffects& effects_;
};

}  // namespace tovan
