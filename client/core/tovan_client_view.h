// The record view: a child of the main frame that only hosts the record grid
// over the current list (or the watch list), applies the user's text and
// colour settings, lays out the five columns and makes the first connection.
#pragma once

#include <windows.h>

#include "client/core/view_grid.h"
#include "fw/window.h"

class CMainFrame;

class CTovanClientView : public fw::Window {
public:
    // Creates the view over the frame's client area, then does the first
    // update: the grid, its settings and columns, the first connection.
    bool Create(CMainFrame& frame, const RECT& rect);

    CViewGrid& grid() { return grid_; }
    // The user's masking switch, for this grid and the search grid alike.
    void ToggleMask();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInitialUpdate();
    void OnSize(int cx, int cy);
    void OnGridCellDblClk(int row, int column);
    int PlaceColumnWidth();  // a two-character place name and its margins

    CMainFrame* frame_ = nullptr;
    CViewGrid grid_;
};
