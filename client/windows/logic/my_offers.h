// The my-offers list without its window: which rows to ask for page by page,
// the column texts, the check column, the closed-deal message and the text
// put on the clipboard.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/msg_info.h"
#include "client/model/record_store.h"

namespace tovan {

// One run of consecutive rows to ask the server for.
struct MyRowRequest {
    int first = 0;
    int count = 0;
};

// What one tick of the dialog's timer does to the rows in view (from the
// list's top item, three pages, cut at the list's end): rows not yet asked
// for are marked as asked for and returned as runs of consecutive rows (one
// request per run, so no row is skipped or asked for twice); rows whose reply
// arrived since the last tick are returned for repainting, their mark cleared.
struct MyPagingStep {
    std::vector<MyRowRequest> requests;
    std::vector<int> redraw;
};
MyPagingStep StepMyPaging(RecordStore& myList, int topIndex, int perPage);

// Status of a my-offers row: 1 closed deal, 2 checked by the user, 0 neither.
constexpr int kMyOfferClosed = 1;
constexpr int kMyOfferChecked = 2;

// Column texts: 0 ID, 1 class, 2 body, 3 time, 4 "是"/"否" closed, 5 status digit.
std::string MyOfferColumnText(const MsgInfo& rec, int column);

// A click on the check column: 0 and 2 swap, a closed deal stays closed.
// False when the row did not change.
bool ToggleMyOfferChoice(RecordStore& myList, int row);

// "设为已成交": the checked rows in list order as "!CHENGJIAO!|id,id^";
// dropResend is called with the body of each checked row so its resend
// entries go. Empty when no row is checked.
std::string ComposeClosedDeal(RecordStore& myList, const std::function<void(const std::string&)>& dropResend);

// The offer text to copy: without the contact tail publishing appended (with
// the user's present contact values) and without any blank.
std::string MyOfferCopyText(std::string_view body, std::string_view name, std::string_view phone,
                            std::string_view mobile);

}  // namespace tovan
