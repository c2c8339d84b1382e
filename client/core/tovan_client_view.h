// The record view: a child of the main frame that only hosts the record grid
// over the current list (or the watch list), applies the user's text and
// colour settings and lays out the five columns. It knows the frame only as
// its parent window; the grid reads the client model.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "client/model/client_model.h"
#include "client/model/profile_reader.h"
#include "client/core/view_grid.h"
#include "fw/window.h"

class CTovanClientView : public fw::Window {
public:
    // A double-click on the talk column: a chat with the offer's author.
    std::function<void(const std::string& author)> onTalk;

    // Creates the view over the parent's client area, then does the first
    // update: the grid, its settings (read through `settings`) and columns
    // (pictures as the model says).
    bool Create(HWND parent, const tovan::ClientModel& model, const RECT& rect, tovan::ProfileReader& settings);

    CViewGrid& grid() { return grid_; }
    // The user's masking switch on this grid.
    void ToggleMask();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInitialUpdate(const tovan::ClientModel& model, tovan::ProfileReader& settings);
    void OnSize(int cx, int cy);
    void OnGridCellDblClk(int row, int column);

    HWND owner_ = nullptr;  // of the details dialog
    CViewGrid grid_;
};
