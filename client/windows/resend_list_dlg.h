// The resend list: the frame's resend entries in an owner-drawn virtual list
// view that reads the live schedule at every paint, with deleting entries and
// editing one entry's text, count and interval.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "client/model/account_state.h"
#include "client/controls/dialog_ex.h"
#include "client/model/resend_schedule.h"
#include "fw/window.h"
#include "client/controls/xp_button.h"

// Row i is entry i of the schedule; the list keeps no copy of the data.
class CChongfaGrid : public fw::Window {
public:
    tovan::ResendSchedule* entries = nullptr;
    int rowHeight = 0;  // pixels; 0 keeps the list's own height

    // Columns: class, body (wrapped), remaining, next, interval, hidden key.
    void InsertColumns(int clientWidth);
    // Asks the list for its item height again: `lines` lines of its font.
    void SetRowLines(int lines);
    // Forgets the items and takes the schedule's size as the item count.
    void Reload();

    // The parent's notifications handed on: the text of a cell, the height.
    LRESULT OnGetDispInfo(NMLVDISPINFOA& info) const;
    void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
    void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

class CCongfaDlg : public CDialogEx {
public:
    // The frame's schedule and account (contact details, rights, third area).
    CCongfaDlg(tovan::ResendSchedule& schedule, const tovan::AccountState& account,
               HWND parent = nullptr);

    // area.ini and Config.ini for the editor; empty: next to the program.
    std::string areaFile, configFile;

    CChongfaGrid& grid() { return grid_; }

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;  // "删除", also the Enter key
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void DeleteSelected();
    void EditFirstSelected();

    tovan::ResendSchedule& schedule_;
    const tovan::AccountState& account_;
    CChongfaGrid grid_;
    CXPButton deleteButton_, editButton_, closeButton_;
};
