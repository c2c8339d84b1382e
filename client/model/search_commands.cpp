#include "client/model/search_commands.h"

#include <vector>

#include "client/model/outgoing_messages.h"
#include "text/quote.h"
#include "text/replace.h"
#include "text/split.h"

namespace tovan {
namespace {

AreaScope ScopeOf(const AccountState& a) {
    AreaScope s;
    s.areaLevel = a.areaLevel;
    s.homeProvince = a.homeProvince;
    s.homeCity = a.homeCity;
    s.thirdArea = a.thirdArea;
    return s;
}

}  // namespace

const std::string& HomeArea(const AccountState& account) {
    return account.areaLevel > 1 ? account.homeCity : account.homeProvince;
}

WatchSettings ReadWatchSettings(ProfileReader& profiles, const AccountState& account) {
    WatchSettings w;
    w.from = profiles.ReadString(kUserIni, kWatchSection, "From", HomeArea(account), kWatchValueBuffer);
    w.to = profiles.ReadString(kUserIni, kWatchSection, "To", "", kWatchValueBuffer);
    w.type = profiles.ReadString(kUserIni, kWatchSection, "Type", "", kWatchTypeBuffer);
    w.keyWords = profiles.ReadString(kUserIni, kWatchSection, "KeyWords", "", kWatchValueBuffer);
    return w;
}

std::string FilterWatchAreas(std::string_view from, const AreaScope& scope, const AreaIni& areas) {
    std::string kept(from);
    // A name is removed only where it starts on a character boundary, never
    // across two characters of its neighbours.
    for (const std::string& piece : SplitSkippingEmpty(from, ',')) {
        if (!IsWatchAreaAllowed(scope, areas, piece)) kept = GbkRemoveAll(kept, piece);
    }
    // One pass over non-overlapping pairs: three commas in a row become two,
    // which leaves an empty name in the list (it matches nothing).
    std::string joined;
    joined.reserve(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        joined += kept[i];
        if (kept[i] == ',' && i + 1 < kept.size() && kept[i + 1] == ',') ++i;
    }
    if (!joined.empty() && joined.front() == ',') joined.erase(0, 1);
    if (!joined.empty() && joined.back() == ',') joined.pop_back();
    return joined;
}

QueryCriteria WatchCriteria(const WatchSettings& settings, const AreaScope& scope,
                            const AreaIni& areas) {
    const std::string to = WithoutSingleQuotes(settings.to);
    QueryCriteria c;
    c.areas = QuoteNameList(FilterWatchAreas(WithoutSingleQuotes(settings.from), scope, areas));
    c.destinations = to.empty() ? std::string() : QuoteNameList(to);
    c.classes = QuoteNameList(WithoutSingleQuotes(settings.type));
    c.keyword = CleanQueryText(settings.keyWords);
    return c;
}

QueryCommandResult StartSearch(ClientModel& model, QueryFramePorts& ports,
                               const SearchDialogRun& dialog) {
    if (model.account.isFullMember == 0) {
        ports.ShowLimitedRightsBox();
        return QueryCommandResult::kNoRights;
    }
    SearchDialogInputs in;
    in.homeCity = model.account.homeCity;
    in.thirdArea = model.account.thirdArea;
    in.areaLevel = model.account.areaLevel;
    in.homeProvince = model.account.homeProvince;
    SearchDialogResult out;
    if (!dialog || !dialog(in, out)) return QueryCommandResult::kCancelled;

    // Stored as they will stand in the statements, so that pushed offers are
    // filtered by exactly what the server was asked.
    QueryCriteria c;
    c.areas = QuoteNameList(out.fromList);
    c.destinations = out.toList.empty() ? std::string() : QuoteNameList(out.toList);
    c.classes = QuoteNameList(out.typeList);
    c.keyword = CleanQueryText(out.keyWords);
    const std::optional<std::string> message = SearchCountMessage(c);
    if (!message) {
        ports.ShowCriteriaTooLongBox();
        return QueryCommandResult::kTooLong;
    }

    model.search = c;
    model.searchRecordQuery = BuildSearchRecordStatement(c);

    ports.outbox.DropQueuedListRequests();
    ports.ShowSearchPane();
    ports.outbox.Send(*message);
    ports.RecalcLayout();
    return QueryCommandResult::kSent;
}

QueryCommandResult StartWatch(ClientModel& model, QueryFramePorts& ports,
                              ProfileReader& profiles, const AreaIni& areas) {
    if (model.watchMode == 1) {
        ports.ScrollViewToTop();  // the paging timer reloads from the top
        return QueryCommandResult::kScrolled;
    }
    // The criteria and the message first: a watch whose message cannot be
    // sent leaves the current list as it was.
    const QueryCriteria c =
        WatchCriteria(ReadWatchSettings(profiles, model.account), ScopeOf(model.account), areas);
    const std::optional<std::string> message = WatchCountMessage(c);
    if (!message) {
        ports.ShowCriteriaTooLongBox();
        return QueryCommandResult::kTooLong;
    }

    ports.outbox.DropQueuedListRequests();
    if (model.lists.currentGrid.view != nullptr) model.lists.currentGrid.view->ResetRows(0);
    model.lists.currentList.Reset(0);
    model.watchMode = 1;

    model.watch = c;
    model.watchRecordQuery = BuildWatchRecordStatement(c);

    ports.outbox.Send(*message);
    return QueryCommandResult::kSent;
}

bool RefillWatchAfterLogon(ClientModel& model, QueryFramePorts& ports) {
    if (model.watchMode != 1) return false;
    const std::optional<std::string> message = WatchCountMessage(model.watch);
    if (!message) return false;  // the watch command itself refused such criteria
    ports.outbox.Send(*message);
    return true;
}

QueryCommandResult BackToCurrentInfo(ClientModel& model, QueryFramePorts& ports) {
    const std::string home = HomeArea(model.account);
    std::string& current = model.account.currentArea;
    if (current == home && model.watchMode == 0) {
        ports.ScrollViewToTop();
        return QueryCommandResult::kScrolled;
    }
    model.watchMode = 0;
    if (current != home) {
        current = home;
        ports.SelectCurrentAreaInTree();
        return QueryCommandResult::kAreaSelected;
    }
    if (model.lists.currentGrid.view != nullptr) model.lists.currentGrid.view->ResetRows(0);
    ports.SetFrameTitle(model.titlePrefix + "    " + current + "信息处理中");
    model.lists.currentList.Reset(0);
    ports.outbox.Send(TodayRecordMessage(current));
    return QueryCommandResult::kSent;
}

}  // namespace tovan
