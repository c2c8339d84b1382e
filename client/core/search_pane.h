// The search results pane docked at the bottom of the frame: a record grid
// over the search list, its columns sized like the record view's.
#pragma once

#include <functional>
#include <string>

#include "client/model/client_model.h"
#include "client/model/client_view.h"
#include "client/model/record_store.h"
#include "client/controls/sizing_bar.h"
#include "client/core/record_columns.h"
#include "client/core/view_grid.h"

class CGridDialog : public CSizingControlBar {
public:
    static constexpr UINT kGridId = 8110;
    // The caption while no search result is counted.
    static constexpr const char* kTitle = tovan::kSearchPaneTitle;

    CGridDialog();

    CViewGrid grid;
    int linesPerRow = 3;
    // A double-click on the talk column: a chat with the offer's author.
    std::function<void(const std::string& author)> onTalk;

    // `model` gives the grid its pictures and keywords.
    bool CreatePane(HWND frameWindow, UINT id, const tovan::ClientModel& model);
    // The grid shows `list` again from its first row.
    void BindRecords(const tovan::RecordStore& list);

protected:
    bool OnPaneMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    RecordColumnWidths Measure();
    void OnSize(int cx, int cy);
    void OnRowAction(int row, int column);
};
