#include "client/windows/logic/my_offers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tovan {
namespace {

MsgInfo Row(const char* id, const char* body, int status) {
    MsgInfo rec{};
    std::strcpy(rec.ID, id);
    std::strcpy(rec.BodyIs, body);
    std::strcpy(rec.Class, "货");
    rec.Status = status;
    rec.loaded = 1;
    return rec;
}

TEST(MyOffersPaging, AsksEachRowOnceAndRedrawsArrivedRows) {
    RecordStore list;
    list.Reset(100);
    MyPagingStep s = StepMyPaging(list, 10, 5);  // rows 10..24
    ASSERT_EQ(s.requests.size(), 1u);
    EXPECT_EQ(s.requests[0].first, 10);
    EXPECT_EQ(s.requests[0].count, 15);
    EXPECT_TRUE(StepMyPaging(list, 10, 5).requests.empty());  // already asked for

    MsgInfo arrived = Row("7", "x", 0);
    arrived.redraw = 1;
    list.Store(12, arrived);
    s = StepMyPaging(list, 10, 5);
    ASSERT_EQ(s.redraw.size(), 1u);
    EXPECT_EQ(s.redraw[0], 12);
    EXPECT_TRUE(StepMyPaging(list, 10, 5).redraw.empty());
    EXPECT_EQ(list.At(12).redraw, 0);
}

TEST(MyOffersPaging, GapsGiveOneRequestPerRunAndTheEndCuts) {
    RecordStore list;
    list.Reset(40);
    list.Store(33, Row("1", "a", 0));  // loaded in the middle of the window
    const MyPagingStep s = StepMyPaging(list, 30, 20);  // window cut at row 40
    ASSERT_EQ(s.requests.size(), 2u);
    EXPECT_EQ(s.requests[0].first, 30);
    EXPECT_EQ(s.requests[0].count, 3);
    EXPECT_EQ(s.requests[1].first, 34);
    EXPECT_EQ(s.requests[1].count, 6);

    RecordStore empty;
    EXPECT_TRUE(StepMyPaging(empty, 0, 10).requests.empty());
}

TEST(MyOffersColumns, TextsAndClosedFlag) {
    MsgInfo rec = Row("42", "body", 1);
    std::strcpy(rec.AddTime, "10:20");
    EXPECT_EQ(MyOfferColumnText(rec, 0), "42");
    EXPECT_EQ(MyOfferColumnText(rec, 1), "货");
    EXPECT_EQ(MyOfferColumnText(rec, 2), "body");
    EXPECT_EQ(MyOfferColumnText(rec, 3), "10:20");
    EXPECT_EQ(MyOfferColumnText(rec, 4), "是");
    EXPECT_EQ(MyOfferColumnText(rec, 5), "1");
    rec.Status = 2;
    EXPECT_EQ(MyOfferColumnText(rec, 4), "否");
    EXPECT_EQ(MyOfferColumnText(rec, 5), "2");
}

TEST(MyOffersChoice, ToggleSkipsClosedDealsAndOutOfRange) {
    RecordStore list;
    list.Reset(3);
    list.Store(0, Row("1", "a", 0));
    list.Store(1, Row("2", "b", 1));
    EXPECT_TRUE(ToggleMyOfferChoice(list, 0));
    EXPECT_EQ(list.At(0).Status, 2);
    EXPECT_TRUE(ToggleMyOfferChoice(list, 0));
    EXPECT_EQ(list.At(0).Status, 0);
    EXPECT_FALSE(ToggleMyOfferChoice(list, 1));
    EXPECT_EQ(list.At(1).Status, 1);
    EXPECT_FALSE(ToggleMyOfferChoice(list, 3));
    EXPECT_FALSE(ToggleMyOfferChoice(list, -1));
}

TEST(MyOffersClosedDeal, CheckedRowsInListOrderAndTheirResendsDropped) {
    RecordStore list;
    list.Reset(300);  // rows across two storage chunks
    list.Store(0, Row("9", "first", 2));
    list.Store(1, Row("8", "closed", 1));
    list.Store(2, Row("7", "plain", 0));
    list.Store(280, Row("3", "late", 2));
    std::vector<std::string> dropped;
    EXPECT_EQ(ComposeClosedDeal(list, [&](const std::string& b) { dropped.push_back(b); }), "!CHENGJIAO!|9,3^");
    EXPECT_EQ(dropped, (std::vector<std::string>{"first", "late"}));

    list.Store(0, Row("9", "first", 0));
    list.Store(280, Row("3", "late", 0));
    EXPECT_EQ(ComposeClosedDeal(list, nullptr), "");
}

TEST(MyOffersCopy, DropsContactTailAndBlanks) {
    EXPECT_EQ(MyOfferCopyText("北京到上海 有货 10吨 联系人:王五 电话:0101234 手机:139000 ", "王五", "0101234", "139000"),
              "北京到上海有货10吨");
    // another contact's details stay (blanks still go)
    EXPECT_EQ(MyOfferCopyText("A B 联系人:李四 电话:1 ", "王五", "2", "3"), "AB联系人:李四电话:1");
}

}  // namespace
}  // namespace tovan
