#include "client/windows/logic/my_offers.h"

#include <algorithm>
#include <cstdint>

#include "client/model/outgoing_messages.h"
#include "text/replace.h"

namespace tovan {

MyPagingStep StepMyPaging(RecordStore& myList, int topIndex, int perPage) {
    MyPagingStep step;
    if (myList.Empty()) return step;
    const int top = std::max(topIndex, 0);
    const std::int64_t end = std::min<std::int64_t>(myList.Size(), top + 3 * static_cast<std::int64_t>(std::max(perPage, 0)));
    for (int row = top; row < end; ++row) {
        const MsgInfo& current = myList.At(row);
        if (current.loaded == 0) {
            MsgInfo rec = current;
            rec.loaded = 1;  // asked for once only
            myList.Store(row, rec);
            if (!step.requests.empty() && step.requests.back().first + step.requests.back().count == row)
                ++step.requests.back().count;
            else
                step.requests.push_back({row, 1});
        } else if (current.redraw != 0) {
            MsgInfo rec = current;
            rec.redraw = 0;
            myList.Store(row, rec);
            step.redraw.push_back(row);
        }
    }
    return step;
}

std::string MyOfferColumnText(const MsgInfo& rec, int column) {
    switch (column) {
    case 0: return std::string(FieldText(rec.ID));
    case 1: return std::string(FieldText(rec.Class));
    case 2: return std::string(FieldText(rec.BodyIs));
    case 3: return std::string(FieldText(rec.AddTime));
    case 4: return rec.Status == kMyOfferClosed ? "是" : "否";
    case 5: return std::to_string(rec.Status);
    default: return {};
    }
}

bool ToggleMyOfferChoice(RecordStore& myList, int row) {
    if (row < 0 || row >= myList.Size()) return false;
    MsgInfo rec = myList.At(row);
    if (rec.Status == kMyOfferClosed) return false;
    rec.Status = rec.Status == kMyOfferChecked ? 0 : kMyOfferChecked;
    return myList.Store(row, rec);
}

std::string ComposeClosedDeal(RecordStore& myList, const std::function<void(const std::string&)>& dropResend) {
    std::string ids;
    myList.ForEachLoaded([&](int, MsgInfo& rec) {
        if (rec.Status != kMyOfferChecked) return;
        ids += std::string(FieldText(rec.ID)) + ",";
        if (dropResend) dropResend(std::string(FieldText(rec.BodyIs)));
    });
    if (ids.empty()) return {};
    ids.pop_back();
    return ChengjiaoMessage(ids);
}

std::string MyOfferCopyText(std::string_view body, std::string_view name, std::string_view phone,
                            std::string_view mobile) {
    std::string text = GbkRemoveAll(body, " 联系人:" + std::string(name) + " ");
    text = GbkRemoveAll(text, "电话:" + std::string(phone) + " ");
    text = GbkRemoveAll(text, "手机:" + std::string(mobile) + " ");
    return GbkRemoveAll(text, " ");
}

}  // namespace tovan
