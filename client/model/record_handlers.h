// The server messages that size, fill, extend and change the offer lists:
// count replies, row replies, pushed offers with their watch and search
// filters, closed deals and deletions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/model/client_model.h"
#include "client/model/client_view.h"
#include "client/model/msg_info.h"
#include "client/model/record_grid_view.h"
#include "client/model/record_store.h"
#include "client/model/row_paging.h"
#include "client/model/server_message.h"

namespace tovan {

// What the handlers show (the client core passes it on to its view), and
// the count replies they report.
class RecordFrameEffects : public ListDisplay {
public:
    // A count reply has sized the list: its rows in view are known now, so
    // they can be asked for without waiting for the next paging tick.
    virtual void ListCounted(const RecordStore& /*list*/) {}
};

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

// The server messages of the offer lists. Each gets the whole message text.
class RecordHandlers : public ServerMessageHandler {
public:
    // The handlers read the model's account, watch mode and criteria, and
    // change its lists.
    RecordHandlers(ClientModel& model, RecordFrameEffects& effects)
        : model_(model), lists_(model.lists), effects_(effects) {}

    void OnRecordCount(const char* msg) override;
    void OnGuanzhuCount(const char* msg) override;
    void OnSousuoCount(const char* msg) override;
    void OnMyRecordCount(const char* msg) override;

    void OnSingleRecord(const char* msg) override;
    void OnGuanzhuRecord(const char* msg) override;
    void OnSousuoRecord(const char* msg) override;
    void OnMyMsgRecord(const char* msg) override;

    void OnNewRecord(const char* msg) override;
    void OnChengjiao(const char* msg) override;
    void OnDeleteMsg(const char* msg) override;

private:
    void ResetList(RecordStore& list, const ListGrid& grid, std::int64_t rows);
    bool WatchAreaAllowed(const MsgInfo& rec) const;
    bool SearchAreaAllowed(const MsgInfo& rec) const;

    ClientModel& model_;
    RecordLists& lists_;
    RecordFrameEffects& effects_;
};

}  // namespace tovan
