// The my-offers list: an owner-drawn virtual report list over the frame's
// my-offers records. Columns cannot be resized; a click on the "选择" column
// checks or unchecks a row that is not a closed deal.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "client/model/record_store.h"
#include "fw/window.h"

class CMyMsgGrid : public fw::Window {
public:
    static constexpr int kChoiceColumn = 5;

    void SetRecords(tovan::RecordStore* records) { records_ = records; }
    tovan::RecordStore* Records() const { return records_; }
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int pixels) { itemHeight_ = pixels; }

    // The first selected row, or -1.
    int SelectedRow() const;
    void RedrawRow(int row) const;

    // The dialog hands on the list's notifications.
    void OnGetDispInfo(NMLVDISPINFOA& info) const;
    // A click at a point of the list (client coordinates).
    void OnClick(POINT at);

    void DrawItem(const DRAWITEMSTRUCT& item) const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    tovan::RecordStore* records_ = nullptr;
    int itemHeight_ = 0;
};
