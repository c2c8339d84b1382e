#include "client/model/publish_path.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/model/fake_profile_reader.h"
#include "client/model/resend_test_fakes.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeClock;
using testing::FakeOfferLine;
using testing::Time;

TEST(CompleteOfferTextTest, CleaningByCharacters) {
    struct Case { const char* name; std::string text; std::string expected; };
    const Case cases[] = {
        {"signs", "a|b'c^d\r\ne", "a\"b\"cde "},
        {"lone CR and LF stay", "a\rb\nc\n\rd", "a\rb\nc\n\rd "},
        {"blanks", " a  b ", "ab "},
        {"only blanks", "   ", " "},
        // A character whose second byte is "|" or "^" counts as that sign:
        // no such byte may reach the server's byte-wise split.
        {"double-byte", "\x81|\x95^中", "\"中 "},
        // A character that would end past the limit is left out whole.
        {"cut before a character", std::string(199, 'x') + "中|", std::string(199, 'x') + " "},
        {"cut at a boundary", std::string(198, 'x') + "中|", std::string(198, 'x') + "中 "},
        // Blanks removed after the cut do not bring later bytes in.
        {"cut before blank removal", " " + std::string(200, 'x'), std::string(199, 'x') + " "},
    };
    for (const Case& c : cases) EXPECT_EQ(CompleteOfferText(c.text, {}, false), c.expected) << c.name;
}

TEST(CompleteOfferTextTest, ContactTail) {
    const ContactDetails all{"张 三", "010'1", "138"};
    EXPECT_EQ(CompleteOfferText("有车 到北京", {"张 三", "", "138"}, false), "有车到北京 联系人:张 三 ");
    EXPECT_EQ(CompleteOfferText("a", all, false), "a 联系人:张 三 电话:010\"1 ");
    EXPECT_EQ(CompleteOfferText("a", all, true), "a 联系人:张 三 电话:010\"1 手机:138 ");
    EXPECT_EQ(CompleteOfferText("a", {"", "", "138"}, true), "a 手机:138 ");
}

struct FakeDialogs : PublishDialogs {
    std::vector<PublishDialogRequest> shown;
    PublishDialogResult result;
    PublishDialogResult Show(const PublishDialogRequest& request) override {
        shown.push_back(request);
        return result;
    }
};

class PublishOfferTest : public ::testing::Test {
protected:
    PublishOfferTest() {
        account.isFullMember = 1;
        dialogs.result.confirmed = true;
        dialogs.result.offerText = "有车 到北京";
    }

    PublishOutcome Publish(const char* offerClass = kVehicleClass) {
        PublishPorts ports{profile, dialogs, clock, line.Sender()};
        return PublishOffer(offerClass, account, ports, schedule);
    }

    AccountState account;
    FakeProfileReader profile;
    FakeDialogs dialogs;
    FakeClock clock;
    FakeOfferLine line;
    ResendSchedule schedule{clock, line.Sender()};
};

TEST_F(PublishOfferTest, DialogChoiceAndWhatStopsBeforeSending) {
    account.contactName = "张三";
    account.contactPhone = "1";
    account.contactMobile = "2";
    EXPECT_EQ(Publish(kCargoClass), PublishOutcome::Sent);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(dialogs.shown[0].expert);  // Kind missing: free text
    EXPECT_EQ(dialogs.shown[0].offerClass, "货");

    profile.Set(kUserIni, "Publish", "Kind", "1");
    Publish(kVehicleClass);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].expert);
    EXPECT_EQ(dialogs.shown[1].offerClass, "车");
    EXPECT_EQ(dialogs.shown[1].contacts.name, "张三");
    EXPECT_EQ(dialogs.shown[1].contacts.phone, "1");
    EXPECT_EQ(dialogs.shown[1].contacts.mobile, "2");
    line.sent.clear();

    dialogs.result.confirmed = false;
    EXPECT_EQ(Publish(), PublishOutcome::Cancelled);
    dialogs.result.confirmed = true;
    dialogs.result.offerText.clear();
    dialogs.result.resendCount = 3;
    dialogs.result.resendInterval = 10;
    EXPECT_EQ(Publish(), PublishOutcome::EmptyText);
    account.isFullMember = 0;
    dialogs.result.offerText = "a";
    EXPECT_EQ(Publish(), PublishOutcome::NotFullMember);
    EXPECT_EQ(dialogs.shown.size(), 4u);  // no dialog for a limited account
    EXPECT_THAT(line.sent, IsEmpty());
    EXPECT_THAT(schedule.entries(), IsEmpty());
}

TEST_F(PublishOfferTest, MessageWithoutTheUnchosenMobile) {
    account.contactName = "张三";
    account.contactMobile = "13800000000";
    EXPECT_EQ(Publish(kVehicleClass), PublishOutcome::Sent);
    EXPECT_THAT(line.sent, ElementsAre("!ADDMSG!|车|有车到北京 联系人:张三 ^"));

    account = AccountState{};
    account.isFullMember = 1;
    dialogs.result.offerText = "  ";
    Publish(kVehicleClass);
    EXPECT_EQ(line.sent.back(), "!ADDMSG!|车| ^");
    EXPECT_THAT(schedule.entries(), IsEmpty());  // no repeats chosen
}

TEST_F(PublishOfferTest, RepeatsMakeOrReplaceAnEntryEvenWhenTheSendFails) {
    account.contactName = "张三";
    account.contactMobile = "138";
    dialogs.result.resendCount = 3;
    dialogs.result.resendInterval = 10;
    line.down = true;
    clock.Set(10, 0, 0);
    Publish(kCargoClass);
    const std::string body = "有车到北京 联系人:张三 ";
    const std::string message = "!ADDMSG!|货|" + body + "^";
    EXPECT_THAT(line.queued, ElementsAre(message));
    ASSERT_EQ(schedule.entries().size(), 1u);
    {
        const ChongfaXinxi& e = schedule.entries()[0];
        EXPECT_EQ(e.body, body);
        EXPECT_EQ(e.message, message);
        EXPECT_EQ(e.offerClass, "货");
        EXPECT_EQ(e.remaining, 3);
        EXPECT_EQ(e.interval, 10);
        EXPECT_EQ(e.next, Time(10, 10, 0));  // one interval away, not at once
        EXPECT_EQ(e.created, "10:00:00");
    }

    // The same message again while pending: the entry starts afresh.
    line.down = false;
    clock.Set(10, 3, 0);
    dialogs.result.resendCount = 2;
    dialogs.result.resendInterval = 5;
    Publish(kCargoClass);
    ASSERT_EQ(schedule.entries().size(), 1u);
    EXPECT_EQ(schedule.entries()[0].remaining, 2);
    EXPECT_EQ(schedule.entries()[0].next, Time(10, 8, 0));
    EXPECT_EQ(schedule.entries()[0].created, "10:03:00");

    // Another contact tail is another message.
    dialogs.result.sendMobile = true;
    Publish(kCargoClass);
    ASSERT_EQ(schedule.entries().size(), 2u);
    EXPECT_EQ(schedule.entries()[1].message, "!ADDMSG!|货|有车到北京 联系人:张三 手机:138 ^");

    // A count without an interval, or the reverse, is no repeat.
    dialogs.result.offerText = "other";
    dialogs.result.resendInterval = 0;
    Publish(kCargoClass);
    dialogs.result.resendCount = 0;
    dialogs.result.resendInterval = 10;
    Publish(kCargoClass);
    EXPECT_EQ(schedule.entries().size(), 2u);
    EXPECT_EQ(line.sent.size(), 4u);
}

}  // namespace
}  // namespace tovan
