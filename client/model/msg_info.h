// One offer record: a fixed 1020-byte plain record, copied by value. All texts
// are NUL-terminated GBK; a row that was only counted is all zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovan {

struct MsgInfo {
    char ID[20];        // the offer's id on the server (decimal text)
    char Area[10];      // city of the offer
    char AddTime[16];   // publication time as the server wrote it
    char BodyIs[800];   // the offer text
    char Class[10];     // "货" cargo or "车" vehicle
    char ByName[50];    // publisher's user id
    char Sheng[50];     // province
    std::int32_t Status;  // 1 = deal closed; my-offers list: 0 or 2 is the check state
    std::int32_t loaded;  // 1 once the row's data has arrived
    std::int32_t redraw;  // set by the my-offers row reply
    char xian[52];      // county or place
};

static_assert(sizeof(MsgInfo) == 1020, "MsgInfo is a fixed 1020-byte record");
static_assert(offsetof(MsgInfo, Status) == 956, "MsgInfo layout");
static_assert(offsetof(MsgInfo, xian) == 968, "MsgInfo layout");

}  // namespace tovan
