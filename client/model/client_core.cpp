#include "client/model/client_core.h"

#include <utility>

namespace tovan {

ClientCore::ClientCore(ClientView& view, Outbox& outbox, std::function<void(int)> sleepMs)
    : QueryFramePorts(outbox), view_(view), paging_{outbox, std::move(sleepMs)} {}

QueryCommandResult ClientCore::Search(const SearchDialogRun& dialog) {
    return StartSearch(model_, *this, dialog);
}

QueryCommandResult ClientCore::Watch(ProfileReader& profiles, const AreaIni& areas) {
    return StartWatch(model_, *this, profiles, areas);
}

QueryCommandResult ClientCore::BackToCurrentInfo() { return tovan::BackToCurrentInfo(model_, *this); }

bool ClientCore::SelectArea(const AreaTreeSelection& item) {
    return OnAreaTreeSelection(model_, *this, item);
}

void ClientCore::SwitchToArea(const std::string& area) { tovan::SwitchToArea(model_, *this, area); }

void ClientCore::ClearLists() {
    ClearCurrentAndSearchLists(model_.lists);
    // The count of the emptied results would stand over an empty list.
    view_.SetSearchPaneCaption(kSearchPaneTitle);
}

bool ClientCore::RefillAfterLogon() { return RefillWatchAfterLogon(model_, *this); }

void ClientCore::PagingTick() {
    const RecordLists& lists = model_.lists;
    RunPagingTick(lists.currentList, lists.currentGrid, lists.searchList, lists.searchGrid,
                  model_.watchMode != 0, model_.account.currentArea, model_.watchRecordQuery,
                  model_.searchRecordQuery, paging_);
}

void ClientCore::ListCounted(const RecordStore& list) {
    const RecordLists& lists = model_.lists;
    if (&list == &lists.currentList) {
        RequestCurrentListRows(list, lists.currentGrid, model_.watchMode != 0, model_.account.currentArea,
                               model_.watchRecordQuery, paging_);
    } else if (&list == &lists.searchList) {
        RequestSearchListRows(list, lists.searchGrid, model_.searchRecordQuery, paging_);
    }
}

}  // namespace tovan
