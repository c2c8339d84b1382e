// The my-offers dialog (我的信息): the offers the user published, fetched page
// by page as the list is scrolled. The user checks offers and marks them as
// closed deals (the frame sends the message this dialog composes), queues an
// offer for one more sending, copies an offer's text, or opens its details.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "client/controls/dialog_ex.h"
#include "client/windows/my_msg_grid.h"
#include "client/model/outbox.h"
#include "client/model/record_handlers.h"
#include "client/model/resend_schedule.h"
#include "client/controls/xp_button.h"

// What the dialog uses of the frame.
struct MyOffersContext {
    tovan::RecordLists* lists = nullptr;  // myList and the my-offers total
    tovan::Outbox* outbox = nullptr;      // the session
    // Drops the resend entries whose body is this (an offer now closed).
    std::function<void(const std::string&)> dropResend;
    std::string userId;
    tovan::ContactDetails contacts;  // the user's own, as appended when publishing
    HWND frame = nullptr;            // takes tovan::kQueueResendMessage
};

class CMyMsg : public CDialogEx {
public:
    static constexpr UINT_PTR kPagingTimer = 1;
    static constexpr UINT kPagingMs = 300;

    CMyMsg(HWND parent, MyOffersContext context);

    // After IDOK: "!CHENGJIAO!|id,...^", or empty when nothing is to be sent.
    const std::string& Result() const { return result_; }

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;  // "设为已成交"
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnTimer();
    void QueueResend();
    void CopySelected();
    void ShowDetails(int row);
    void LayOutList();
    void SetUpColumns();
    void MeasureItems();

    MyOffersContext ctx_;
    std::string result_;
    int countShown_ = 0;
    CMyMsgGrid list_;
    CXPButton closeDeal_, resend_, copy_, close_;
};
