// The frame's search, watch and current-information commands: which criteria
// they store, what they empty, which titles they set and what they send.
// They change the client model and reach the windows and the session through
// QueryFramePorts (the client core implements it over its view).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "client/model/account_state.h"
#include "client/model/area_scope.h"
#include "client/model/client_model.h"
#include "client/model/outbox.h"
#include "client/model/profile_reader.h"
#include "client/model/record_store.h"
#include "client/model/row_paging.h"
#include "client/model/search_queries.h"

namespace tovan {

// dmr.ini [关注], written by the full search dialog when the user makes a
// search the watch: From, To and KeyWords are read into 2000-byte buffers,
// Type into 9 bytes.
constexpr const char* kWatchSection = "关注";
constexpr std::size_t kWatchValueBuffer = 2000;
constexpr std::size_t kWatchTypeBuffer = 9;

struct WatchSettings {
    std::string from;      // comma-separated area names
    std::string to;        // comma-separated destination keywords
    std::string type;      // comma-separated class words
    std::string keyWords;  // free text
};

// Reads [关注]; From defaults to the home city at area level 2 and above,
// else to the home province.
WatchSettings ReadWatchSettings(ProfileReader& profiles, const AccountState& account);

// The watch criteria from the settings: quotes removed, the areas the
// account may not watch taken out, then the lists quoted (areas and classes
// always, destinations only when there are any).
QueryCriteria WatchCriteria(const WatchSettings& settings, const AreaScope& scope,
                            const AreaIni& areas);

// The area step alone, on the comma-separated From value: every name the
// account may not watch is removed wherever its text occurs (inside longer
// names too, at character boundaries), ",," then becomes "," in one pass and
// one leading and one trailing comma go.
std::string FilterWatchAreas(std::string_view from, const AreaScope& scope, const AreaIni& areas);

// What the search dialogs get before they are shown, and hand back after OK:
// the origin, destination and class lists quoted, the keyword without "'".
struct SearchDialogInputs {
    std::string homeCity;
    std::string homeProvince;
    std::string thirdArea;
    int areaLevel = 0;
};
struct SearchDialogResult {
    std::string fromList;
    std::string toList;
    std::string typeList;
    std::string keyWords;
};
// Shows one of the search dialogs modally; true when it ended with OK, with
// its four results filled in.
using SearchDialogRun = std::function<bool(const SearchDialogInputs&, SearchDialogResult&)>;

// What the commands do through the windows and the session.
class QueryFramePorts {
public:
    explicit QueryFramePorts(Outbox& out) : outbox(out) {}
    virtual ~QueryFramePorts() = default;
    Outbox& outbox;  // the session: requests go out or wait in its queue
    virtual void ShowLimitedRightsBox() = 0;
    // The criteria make a count message longer than its buffer: the user is
    // told, and nothing is sent.
    virtual void ShowCriteriaTooLongBox() = 0;
    virtual void ShowSearchPane() = 0;  // control bar 1000, without delay
    virtual void RecalcLayout() = 0;
    // The view's grid back at its first row: first visible row 0, repaint
    // without erasing, vertical scroll position 0.
    virtual void ScrollViewToTop() = 0;
    // Selects the current area in the area tree; its handler asks for the list.
    virtual void SelectCurrentAreaInTree() = 0;
    virtual void SetFrameTitle(const std::string& title) = 0;
};

enum class QueryCommandResult {
    kNoRights,      // the rights-limited box was shown
    kCancelled,     // the dialog did not end with OK
    kTooLong,       // the count message would not fit its buffer: the user is told, nothing
                    // changed, nothing sent
    kSent,          // the count (or list) request went out or was queued
    kScrolled,      // only the view went back to its first row
    kAreaSelected,  // the tree selection asks for the home area's list
};

// Commands 32779 and 32820 (the same steps, with the full or the reduced dialog).
QueryCommandResult StartSearch(ClientModel& model, QueryFramePorts& ports,
                               const SearchDialogRun& dialog);

// Command 32776: enters watch mode with the criteria of dmr.ini [关注];
// pressed again in watch mode it only scrolls back to the top.
QueryCommandResult StartWatch(ClientModel& model, QueryFramePorts& ports,
                              ProfileReader& profiles, const AreaIni& areas);

// After a logon reply in watch mode: the reply emptied the list the user
// sees and the server answers its area request only outside watch mode, so
// the watch count is asked for again with the stored criteria. False (and
// nothing sent) outside watch mode.
bool RefillWatchAfterLogon(ClientModel& model, QueryFramePorts& ports);

// Command 11005: back to the home area's current list.
QueryCommandResult BackToCurrentInfo(ClientModel& model, QueryFramePorts& ports);

// The home area: the home city at area level 2 and above, else the province.
const std::string& HomeArea(const AccountState& account);

}  // namespace tovan
