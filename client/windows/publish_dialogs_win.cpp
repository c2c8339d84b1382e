#include "client/windows/publish_dialogs_win.h"

tovan::PublishDialogResult PublishDialogsWin::ShowForm(COfferFormDlg& form,
                                                      const tovan::PublishDialogRequest& request) {
    form.contactName = request.contacts.name;
    form.contactPhone = request.contacts.phone;
    form.contactMobile = request.contacts.mobile;
    form.resendCount = 0;
    form.resendInterval = 0;
    form.publishRights = account_.publishRights;
    form.commandTarget = frame_;
    tovan::PublishDialogResult result;
    result.confirmed = form.DoModal() == IDOK;
    result.offerText = form.offerText;
    result.resendCount = form.resendCount;
    result.resendInterval = form.resendInterval;
    result.sendMobile = form.sendMobile != 0;
    return result;
}

tovan::PublishDialogResult PublishDialogsWin::Show(const tovan::PublishDialogRequest& request) {
    if (request.expert)
        return ShowForm(request.offerClass == tovan::kCargoClass
                            ? static_cast<COfferFormDlg&>(cargoDialog)
                            : static_cast<COfferFormDlg&>(vehicleDialog),
                        request);
    freeDialog.classWord = request.offerClass;
    freeDialog.resendCount = 0;
    freeDialog.resendInterval = 0;
    freeDialog.publishRights = account_.publishRights;
    freeDialog.thirdArea = account_.thirdArea;
    freeDialog.commandTarget = frame_;
    tovan::PublishDialogResult result;
    result.confirmed = freeDialog.DoModal() == IDOK;
    result.offerText = freeDialog.offerText;
    result.resendCount = freeDialog.resendCount;
    result.resendInterval = freeDialog.resendInterval;
    result.sendMobile = freeDialog.sendMobile != 0;
    return result;
}
