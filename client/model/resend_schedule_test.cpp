#include "client/model/resend_schedule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "client/model/resend_test_fakes.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeClock;
using testing::FakeOfferLine;
using testing::Time;

TEST(ResendTimeTest, ConversionRejectsWhatIsNoDate) {
    struct Case { int year, mon, day, h, m, s; bool valid; };
    const Case cases[] = {
        {2026, 12, 9, 10, 0, 0, true},
        {2024, 2, 29, 23, 59, 59, true},
        {100, 1, 1, 0, 0, 0, true},
        {9999, 12, 31, 23, 59, 59, true},
        {2026, 2, 29, 0, 0, 0, false},
        {2026, 13, 1, 0, 0, 0, false},
        {2026, 4, 31, 0, 0, 0, false},
        {2026, 1, 0, 0, 0, 0, false},
        {2026, 1, 1, 24, 0, 0, false},
        {2026, 1, 1, 0, 60, 0, false},
        {2026, 1, 1, 0, 0, 60, false},
        {99, 12, 31, 0, 0, 0, false},
        {10000, 1, 1, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        std::tm t = {};
        t.tm_year = c.year - 1900;
        t.tm_mon = c.mon - 1;
        t.tm_mday = c.day;
        t.tm_hour = c.h;
        t.tm_min = c.m;
        t.tm_sec = c.s;
        EXPECT_EQ(ResendTime::FromTm(t).valid(), c.valid)
            << c.year << "-" << c.mon << "-" << c.day << " " << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST(ResendTimeTest, ArithmeticAcrossDaysAndRange) {
    EXPECT_EQ(Time(23, 55, 30).PlusMinutes(10), Time(0, 5, 30, 10));
    EXPECT_EQ(Time(23, 55, 30).PlusMinutes(10).ClockText(), "00:05:30");
    EXPECT_EQ(Time(0, 5, 30, 10).PlusMinutes(-10), Time(23, 55, 30));

    std::tm last = FakeClock::At(23, 59, 0);
    last.tm_year = 9999 - 1900;
    last.tm_mday = 31;
    EXPECT_TRUE(ResendTime::FromTm(last).PlusMinutes(0).valid());
    EXPECT_FALSE(ResendTime::FromTm(last).PlusMinutes(1).valid());
    EXPECT_FALSE(ResendTime().PlusMinutes(5).valid());
    EXPECT_EQ(ResendTime().ClockText(), "");

    EXPECT_TRUE(Time(10, 0, 0).Before(Time(10, 0, 1)));
    EXPECT_FALSE(Time(10, 0, 0).Before(Time(10, 0, 0)));
    EXPECT_FALSE(ResendTime().Before(Time(10, 0, 0)));
    EXPECT_FALSE(Time(10, 0, 0).Before(ResendTime()));
}

class ResendScheduleTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeOfferLine line;
    ResendSchedule schedule{clock, line.Sender()};

    static ChongfaXinxi Entry(const std::string& message, int remaining, int interval,
                              ResendTime next, const std::string& created = "10:00:00") {
        ChongfaXinxi e;
        e.body = "body of " + message;
        e.message = message;
        e.offerClass = "车";
        e.remaining = remaining;
        e.interval = interval;
        e.next = next;
        e.created = created;
        return e;
    }

    // Runs timer 12 every 30 s from..to (inclusive) and gives the clock
    // texts of the ticks that sent something.
    std::vector<std::string> RunTicks(int fromH, int fromM, int toH, int toM) {
        std::vector<std::string> sendingTicks;
        for (int t = (fromH * 60 + fromM) * 60; t <= (toH * 60 + toM) * 60; t += 30) {
            clock.Set(t / 3600, t / 60 % 60, t % 60);
            const std::size_t before = line.sent.size();
            schedule.Tick();
            if (line.sent.size() != before) sendingTicks.push_back(Time(t / 3600, t / 60 % 60, t % 60).ClockText());
        }
        return sendingTicks;
    }
};

TEST_F(ResendScheduleTest, EntryIsSentAtTheFirstTickAfterEachDueTimeThenStaysFinished) {
    // Published at 10:00:00 with three repeats every ten minutes.
    schedule.AddOrReplace(Entry("!ADDMSG!|车|a^", 3, 10, Time(10, 10, 0)));
    EXPECT_THAT(RunTicks(10, 0, 11, 0), ElementsAre("10:10:30", "10:20:30", "10:30:30"));
    ASSERT_EQ(schedule.entries().size(), 1u);
    EXPECT_EQ(schedule.entries()[0].remaining, 0);
    EXPECT_EQ(schedule.entries()[0].next, Time(10, 40, 0));
    EXPECT_THAT(line.sent, ElementsAre("!ADDMSG!|车|a^", "!ADDMSG!|车|a^", "!ADDMSG!|车|a^"));
}

TEST_F(ResendScheduleTest, LateEntryCatchesUpOneRepetitionPerTick) {
    clock.Set(10, 0, 0);
    schedule.AddOrReplace(Entry("m^", 5, 10, Time(9, 35, 0)));
    EXPECT_THAT(RunTicks(10, 0, 10, 2), ElementsAre("10:00:00", "10:00:30", "10:01:00"));
    EXPECT_EQ(schedule.entries()[0].remaining, 2);
    EXPECT_EQ(schedule.entries()[0].next, Time(10, 5, 0));  // from the due times, not from now
}

TEST_F(ResendScheduleTest, NothingIsSentWithoutAValidTimeOrRepetitionsLeft) {
    schedule.AddOrReplace(Entry("invalid next^", 3, 5, ResendTime()));
    schedule.AddOrReplace(Entry("finished^", 0, 5, Time(9, 0, 0)));
    schedule.AddOrReplace(Entry("negative^", -1, 5, Time(9, 0, 0)));
    schedule.AddOrReplace(Entry("due^", 1, 5, Time(9, 0, 0)));
    clock.now.tm_mon = 12;  // the clock gives no date: nothing is due
    schedule.Tick();
    EXPECT_THAT(line.sent, IsEmpty());
    EXPECT_THAT(RunTicks(10, 0, 11, 0), ElementsAre("10:00:00"));
    EXPECT_THAT(line.sent, ElementsAre("due^"));
    EXPECT_EQ(schedule.entries()[0].remaining, 3);
    EXPECT_EQ(schedule.entries()[1].remaining, 0);
}

TEST_F(ResendScheduleTest, FailedSendIsQueuedAndCountsAsDone) {
    schedule.AddOrReplace(Entry("m^", 2, 5, Time(9, 59, 0)));
    line.down = true;
    schedule.Tick();
    EXPECT_THAT(line.queued, ElementsAre("m^"));
    EXPECT_EQ(schedule.entries()[0].remaining, 1);
    EXPECT_EQ(schedule.entries()[0].next, Time(10, 4, 0));
}

TEST_F(ResendScheduleTest, QueueResendMakesOneEntryDueAtTheNextTick) {
    clock.Set(10, 0, 0);
    schedule.QueueResend("有车到北京", "车");
    schedule.QueueResend("有车到北京", "车");
    ASSERT_EQ(schedule.entries().size(), 1u);
    const ChongfaXinxi& e = schedule.entries()[0];
    EXPECT_EQ(e.body, "有车到北京");
    EXPECT_EQ(e.message, "!ADDMSG!|车|有车到北京^");
    EXPECT_EQ(e.offerClass, "车");
    EXPECT_EQ(e.remaining, 2);
    EXPECT_EQ(e.interval, 5);
    EXPECT_EQ(e.next, Time(10, 0, 0));
    EXPECT_EQ(e.created, "10:00:00");
    // The first repetition at the next tick, the second one interval after creation.
    EXPECT_THAT(RunTicks(10, 0, 10, 10), ElementsAre("10:00:30", "10:05:30"));

    // The same body as cargo is another message.
    schedule.QueueResend("有车到北京", "货");
    EXPECT_EQ(schedule.entries().size(), 2u);
}

TEST_F(ResendScheduleTest, QueueResendBringsAFinishedEntryBack) {
    schedule.AddOrReplace(Entry("!ADDMSG!|货|x^", 0, 10, Time(7, 30, 0), "07:20:00"));
    schedule.entries()[0].body = "x";
    schedule.entries()[0].offerClass = "货";
    clock.Set(10, 0, 0);
    schedule.QueueResend("x", "货");
    ASSERT_EQ(schedule.entries().size(), 1u);
    EXPECT_EQ(schedule.entries()[0].remaining, 1);
    EXPECT_EQ(schedule.entries()[0].created, "07:20:00");  // nothing else changes
    EXPECT_THAT(RunTicks(10, 0, 10, 10), ElementsAre("10:00:00"));
    EXPECT_EQ(schedule.entries()[0].next, Time(7, 40, 0));  // one interval on, still in the past

    schedule.entries()[0].remaining = INT_MAX;
    schedule.QueueResend("x", "货");
    EXPECT_EQ(schedule.entries()[0].remaining, INT_MAX);
}

TEST_F(ResendScheduleTest, PublishedEntryReplacesTheOneWithTheSameMessageInPlace) {
    schedule.AddOrReplace(Entry("a^", 1, 5, Time(10, 5, 0), "10:00:00"));
    schedule.AddOrReplace(Entry("b^", 2, 5, Time(10, 5, 0), "10:00:01"));
    schedule.AddOrReplace(Entry("a^", 6, 5, Time(10, 25, 0), "10:20:00"));
    schedule.AddOrReplace(Entry("a ^", 3, 10, Time(10, 30, 0), "10:20:00"));
    ASSERT_EQ(schedule.entries().size(), 3u);
    EXPECT_EQ(schedule.entries()[0].message, "a^");
    EXPECT_EQ(schedule.entries()[0].remaining, 6);
    EXPECT_EQ(schedule.entries()[0].next, Time(10, 25, 0));
    EXPECT_EQ(schedule.entries()[0].created, "10:20:00");
    EXPECT_EQ(schedule.entries()[1].message, "b^");
    EXPECT_EQ(schedule.entries()[2].message, "a ^");
}

TEST_F(ResendScheduleTest, RemovalByKeyTakesEntriesOfTheSameSecondAlong) {
    const char* created[] = {"10:00:00", "10:00:01", "10:00:02", "10:00:01", "10:00:03", "10:00:04"};
    for (int i = 0; i < 6; ++i)
        schedule.AddOrReplace(Entry(std::to_string(i) + "^", 1, 5, Time(10, 5, 0), created[i]));
    EXPECT_EQ(schedule.RemoveByCreated({"10:00:01", "10:00:03"}), 3u);
    std::vector<std::string> left;
    for (const ChongfaXinxi& e : schedule.entries()) left.push_back(e.message);
    EXPECT_THAT(left, ElementsAre("0^", "2^", "5^"));
    EXPECT_EQ(schedule.RemoveByCreated({}), 0u);

    EXPECT_EQ(schedule.FindByCreated("10:00:02"), &schedule.entries()[1]);
    EXPECT_EQ(schedule.FindByCreated("10:00:01"), nullptr);

    EXPECT_EQ(schedule.RemoveByBody("body of 2^"), 1u);
    EXPECT_EQ(schedule.entries().size(), 2u);
}

// The editor starts from the offer text alone and the entry gets the full
// contact tail back, whatever the user typed.
TEST_F(ResendScheduleTest, EditRoundTripRebuildsBodyAndMessage) {
    const ContactDetails contacts{"张三", "010-1234", "13800000000"};
    ChongfaXinxi e = Entry("old^", 0, 10, Time(9, 0, 0), "09:00:00");
    e.body = "有车 到北京 联系人:张三 电话:010-1234 ";  // as published without the mobile
    schedule.AddOrReplace(Entry("first^", 1, 5, Time(9, 0, 0), "08:00:00"));
    schedule.AddOrReplace(e);

    const std::string shown = EditorTextFromBody(schedule.entries()[1].body, contacts);
    EXPECT_EQ(shown, "有车到北京");

    clock.Set(11, 0, 0);
    ASSERT_EQ(schedule.ApplyEdit("09:00:00", shown, 2, 15, contacts), std::optional<std::size_t>(1));
    const std::string body = "有车到北京 联系人:张三 电话:010-1234 手机:13800000000 ";
    const ChongfaXinxi& edited = schedule.entries()[1];
    EXPECT_EQ(edited.body, body);
    EXPECT_EQ(edited.message, "!ADDMSG!|车|" + body + "^");
    EXPECT_EQ(edited.remaining, 2);
    EXPECT_EQ(edited.interval, 15);
    EXPECT_EQ(edited.next, Time(11, 15, 0));
    EXPECT_EQ(edited.created, "09:00:00");
    EXPECT_EQ(schedule.entries()[0].message, "first^");

    // Typed signs: "'" becomes a double quote, "|", "^" and blanks vanish;
    // empty contact values still give their labels.
    schedule.ApplyEdit("09:00:00", "a'b|c^d e", 1, 5, ContactDetails{"O'Neil", "", ""});
    EXPECT_EQ(edited.body, "a\"bcde 联系人:O\"Neil 电话: 手机: ");

    EXPECT_EQ(schedule.ApplyEdit("12:00:00", "x", 1, 5, contacts), std::nullopt);
    EXPECT_EQ(edited.body, "a\"bcde 联系人:O\"Neil 电话: 手机: ");
}

TEST(EditorTextTest, ContactPartsAreRemovedWithTodaysValues) {
    // An empty value removes the bare label.
    EXPECT_EQ(EditorTextFromBody("a 手机: 电话:1 联系人:李 ", {"李", "1", ""}), "a");
    // A contact value that changed since publishing stays in the text.
    EXPECT_EQ(EditorTextFromBody("a 联系人:李 ", {"王", "", ""}), "a联系人:李");
}

TEST(ResendColumnTextTest, Columns) {
    ChongfaXinxi e;
    e.body = "b";
    e.offerClass = "货";
    e.remaining = 4;
    e.interval = 7;
    e.next = Time(8, 5, 9);
    e.created = "08:00:09";
    const char* expected[] = {"货", "b", "4", "08:05:09", "7 分钟", "08:00:09", ""};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(ResendColumnText(e, c), expected[c]) << c;
}

}  // namespace
}  // namespace tovan
