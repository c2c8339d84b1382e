#include "client/model/resend_schedule.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "client/model/outgoing_messages.h"
#include "text/replace.h"

namespace tovan {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// Days from 0001-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = y / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 306;  // 0001-01-01 is day 0
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

const std::int64_t kFirstSecond = DaysFromCivil(kFirstYear, 1, 1) * kSecondsPerDay;
const std::int64_t kLastSecond = (DaysFromCivil(kLastYear, 12, 31) + 1) * kSecondsPerDay - 1;

}  // namespace

ResendTime ResendTime::FromTm(const std::tm& t) {
    ResendTime r;
    const long long year = static_cast<long long>(t.tm_year) + 1900;
    if (year < kFirstYear || year > kLastYear || t.tm_mon < 0 || t.tm_mon > 11) return r;
    if (t.tm_mday < 1 || t.tm_mday > DaysInMonth(static_cast<int>(year), t.tm_mon + 1)) return r;
    if (t.tm_hour < 0 || t.tm_hour > 23 || t.tm_min < 0 || t.tm_min > 59 || t.tm_sec < 0 ||
        t.tm_sec > 59) {
        return r;
    }
    r.seconds_ = DaysFromCivil(year, static_cast<unsigned>(t.tm_mon + 1),
                               static_cast<unsigned>(t.tm_mday)) * kSecondsPerDay +
                 t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
    r.valid_ = true;
    return r;
}

ResendTime ResendTime::PlusMinutes(int minutes) const {
    ResendTime r;
    if (!valid_) return r;
    const std::int64_t s = seconds_ + static_cast<std::int64_t>(minutes) * 60;
    if (s < kFirstSecond || s > kLastSecond) return r;
    r.seconds_ = s;
    r.valid_ = true;
    return r;
}

std::string ResendTime::ClockText() const {
    if (!valid_) return {};
    const std::int64_t inDay = seconds_ % kSecondsPerDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(inDay / 3600),
                  static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
    return text;
}

ResendSchedule::ResendSchedule(Clock& clock, Outbox& outbox) : clock_(clock), outbox_(outbox) {}

void ResendSchedule::AddOrReplace(const ChongfaXinxi& entry) {
    for (ChongfaXinxi& e : entries_) {
        if (e.message == entry.message) {
            e = entry;
            return;
        }
    }
    entries_.push_back(entry);
}

void ResendSchedule::QueueResend(const std::string& body, const std::string& offerClass) {
    const std::string message = AddMsgMessage(offerClass, body);
    for (ChongfaXinxi& e : entries_) {
        if (e.message == message) {
            if (e.remaining < INT_MAX) ++e.remaining;
            return;
        }
    }
    ChongfaXinxi e;
    e.body = body;
    e.message = message;
    e.offerClass = offerClass;
    e.remaining = 1;
    e.interval = kQueuedResendInterval;
    e.next = ResendTime::FromTm(clock_.LocalNow());
    e.created = e.next.ClockText();
    entries_.push_back(std::move(e));
}

void ResendSchedule::Tick() {
    const ResendTime now = ResendTime::FromTm(clock_.LocalNow());
    // The send callbacks are the frame's code: should one change the
    // schedule, the walk goes by index and checks again after each send.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].next.Before(now) || entries_[i].remaining < 1) continue;
        const std::string message = entries_[i].message;
        outbox_.Send(message);
        if (i >= entries_.size()) break;
        ChongfaXinxi& e = entries_[i];
        --e.remaining;
        // From the previous due time, not from now: a late entry catches up
        // one repetition per tick.
        e.next = e.next.PlusMinutes(e.interval);
    }
}

ChongfaXinxi* ResendSchedule::FindByCreated(const std::string& key) {
    for (ChongfaXinxi& e : entries_) {
        if (e.created == key) return &e;
    }
    return nullptr;
}

std::size_t ResendSchedule::RemoveByCreated(const std::vector<std::string>& keys) {
    const std::size_t before = entries_.size();
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const ChongfaXinxi& e) {
                                      return std::find(keys.begin(), keys.end(), e.created) !=
                                             keys.end();
                                  }),
                   entries_.end());
    return before - entries_.size();
}

std::size_t ResendSchedule::RemoveByBody(const std::string& body) {
    const std::size_t before = entries_.size();
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const ChongfaXinxi& e) { return e.body == body; }),
                   entries_.end());
    return before - entries_.size();
}

std::optional<std::size_t> ResendSchedule::ApplyEdit(const std::string& key,
                                                     const std::string& editedText, int count,
                                                     int interval,
                                                     const ContactDetails& contacts) {
    ChongfaXinxi* e = FindByCreated(key);
    if (!e) return std::nullopt;
    std::string text = GbkRemoveAll(editedText, " ");
    text += " 联系人:" + contacts.name + " 电话:" + contacts.phone + " 手机:" + contacts.mobile + " ";
    // As for a publication, the contact tail too: nothing may end the
    // server's message early or break its quoting.
    text = ReduceWireSignCharacters(text);
    text = GbkReplaceAll(text, "'", "\"");
    text = GbkRemoveAll(text, "|");
    text = GbkRemoveAll(text, "^");
    e->body = text;
    e->remaining = count;
    e->interval = interval;
    e->next = ResendTime::FromTm(clock_.LocalNow()).PlusMinutes(interval);
    e->message = AddMsgMessage(e->offerClass, text);
    return static_cast<std::size_t>(e - entries_.data());
}

std::string EditorTextFromBody(const std::string& body, const ContactDetails& contacts) {
    std::string text = GbkRemoveAll(body, "联系人:" + contacts.name);
    text = GbkRemoveAll(text, "电话:" + contacts.phone);
    text = GbkRemoveAll(text, "手机:" + contacts.mobile);
    return GbkRemoveAll(text, " ");
}

std::string ResendColumnText(const ChongfaXinxi& entry, int column) {
    switch (column) {
    case 0: return entry.offerClass;
    case 1: return entry.body;
    case 2: return std::to_string(entry.remaining);
    case 3: return entry.next.ClockText();
    case 4: return std::to_string(entry.interval) + " 分钟";
    case 5: return entry.created;
    default: return {};
    }
}

}  // namespace tovan
