// What the client knows apart from its windows: the account the logon reply
// leaves, the three offer lists, the search and watch criteria with the
// statements the row paging sends for them, whether the view shows the watch
// list, and the first part of every title. The session, the record handlers
// and the search, watch and area commands read and write it; the main frame
// shows it.
#pragma once

#include <string>
#include <string_view>

#include "client/model/account_state.h"
#include "client/model/record_lists.h"
#include "client/model/search_queries.h"

namespace tovan {

struct ClientModel {
    AccountState account;
    RecordLists lists;
    // Kept as they stand in the statements (quoted lists), so that pushed
    // offers are filtered by exactly what the server was asked.
    QueryCriteria search;
    QueryCriteria watch;
    // The record statements the paging sends with its row requests, kept in
    // step with the criteria.
    std::string searchRecordQuery;
    std::string watchRecordQuery;
    int watchMode = 0;         // 1 while the view's list is the watch list
    std::string titlePrefix;   // first part of every frame title
    bool usePictures = false;  // the platform is of the NT family: the grids draw pictures
};

// What a record grid draws of the model besides its records: pictures or
// words in the class and talk columns, and the words shown in red. The
// search grid always marks the search's words, the view the watch's in
// watch mode. The texts point into the model's criteria.
struct RecordGridLook {
    bool pictures = false;
    bool highlight = false;
    std::string_view keyword;
    std::string_view destinations;
};
RecordGridLook GridLook(const ClientModel& model, bool searchGrid);

}  // namespace tovan
