// The frame's three publishing dialogs behind the publishing path: the
// vehicle or cargo form in expert mode, the free-text dialog otherwise. The
// dialogs live as long as this object and keep their values between showings.
#pragma once

#include <windows.h>

#include "client/model/account_state.h"
#include "client/windows/publish_cargo_dlg.h"
#include "client/windows/publish_free_dlg.h"
#include "client/model/publish_path.h"
#include "client/windows/publish_vehicle_dlg.h"

class PublishDialogsWin : public tovan::PublishDialogs {
public:
    // The account gives the publishing-rights word and the third area name;
    // the frame gets the "信息管理" popup's commands.
    PublishDialogsWin(const tovan::AccountState& account, HWND frame = nullptr)
        : account_(account), frame_(frame) {}

    void SetFrame(HWND frame) { frame_ = frame; }
    tovan::PublishDialogResult Show(const tovan::PublishDialogRequest& request) override;

    CFabuDlg vehicleDialog;
    CFabuDlg2 cargoDialog;
    CHandFabu freeDialog;

private:
    tovan::PublishDialogResult ShowForm(COfferFormDlg& form, const tovan::PublishDialogRequest& request);

    const tovan::AccountState& account_;
    HWND frame_;
};
