// The client without its windows: the model, the handlers of the record
// messages, the search, watch and area commands, and the row paging. It
// shows everything through one port, ClientView, and sends through the
// outbox (the session), so whole sequences run natively in tests.
#pragma once

#include <functional>
#include <string>

#include "client/model/area_tree.h"
#include "client/model/client_model.h"
#include "client/model/client_view.h"
#include "client/model/outbox.h"
#include "client/model/record_handlers.h"
#include "client/model/row_paging.h"
#include "client/model/search_commands.h"

namespace tovan {

class ClientCore : private RecordFrameEffects, private QueryFramePorts {
public:
    // sleepMs: the short pause after each row request.
    ClientCore(ClientView& view, Outbox& outbox, std::function<void(int)> sleepMs);

    ClientModel& model() { return model_; }
    const ClientModel& model() const { return model_; }
    // The handlers of the count, row, push, deal and deletion messages.
    RecordHandlers& records() { return records_; }

    // The search, watch and current-information commands.
    QueryCommandResult Search(const SearchDialogRun& dialog);
    QueryCommandResult Watch(ProfileReader& profiles, const AreaIni& areas);
    QueryCommandResult BackToCurrentInfo();
    // The area tree's selection handler; true when the list was switched.
    bool SelectArea(const AreaTreeSelection& item);
    void SwitchToArea(const std::string& area);

    // The logon reply's steps: both lists emptied (the search pane's caption
    // back to its title), and after the area request, in watch mode, the
    // watch count asked for again.
    void ClearLists();
    bool RefillAfterLogon();
    // One tick of the paging timer.
    void PagingTick();

private:
    // RecordFrameEffects and QueryFramePorts: the view shows, the paging asks.
    std::string FrameTitle() const override { return view_.FrameTitle(); }
    void SetFrameTitle(const std::string& t) override { view_.SetFrameTitle(t); }
    std::string SearchPaneCaption() const override { return view_.SearchPaneCaption(); }
    void SetSearchPaneCaption(const std::string& c) override { view_.SetSearchPaneCaption(c); }
    bool SearchPaneVisible() const override { return view_.SearchPaneVisible(); }
    void Notify(const std::string& text) override { view_.Notify(text); }
    // A counted list's rows in view are asked for at once, not at the next tick.
    void ListCounted(const RecordStore& list) override;
    void ShowLimitedRightsBox() override { view_.ShowLimitedRightsBox(); }
    void ShowCriteriaTooLongBox() override { view_.ShowCriteriaTooLongBox(); }
    void ShowSearchPane() override { view_.ShowSearchPane(); }
    void RecalcLayout() override { view_.RecalcLayout(); }
    void ScrollViewToTop() override { view_.ScrollViewToTop(); }
    void SelectCurrentAreaInTree() override { view_.SelectCurrentAreaInTree(); }

    ClientModel model_;
    ClientView& view_;
    const PagingIo paging_;
    RecordHandlers records_{model_, *this};
};

}  // namespace tovan
