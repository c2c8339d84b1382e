// The frame's resend schedule: published offers that are sent again a few
// times at a fixed interval, so that they come back to the top of the other
// users' lists. Timer 12 works through the entries every 30 seconds; the
// my-offers dialog queues one more sending of an offer with message 0x1F8D;
// the resend list and editor change and delete entries in place.
//
// Entries live in memory only, in creation order, for the life of the frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "client/model/outbox.h"
#include "client/model/session.h"  // Clock

namespace tovan {

constexpr unsigned kResendTimer = 12;
constexpr unsigned kResendPeriodMs = 30000;
// Sent by the my-offers dialog: wParam the offer body, lParam its class,
// both pointers to text.
constexpr unsigned kQueueResendMessage = 0x1F8D;

constexpr int kQueuedResendInterval = 5;  // minutes, for an entry made by 0x1F8D

// A local time to the second with a validity mark, as the platform's OLE
// date keeps it: only years 100 to 9999 are dates.
class ResendTime {
public:
    ResendTime() = default;  // invalid
    // Invalid when a field is out of range or the year outside 100..9999.
    static ResendTime FromTm(const std::tm& t);

    bool valid() const { return valid_; }
    // An invalid time stays invalid; a result beyond the date range is invalid.
    ResendTime PlusMinutes(int minutes) const;
    // "%H:%M:%S"; empty for an invalid time.
    std::string ClockText() const;

    // Strictly earlier; false when either time is invalid.
    bool Before(const ResendTime& other) const {
        return valid_ && other.valid_ && seconds_ < other.seconds_;
    }
    bool operator==(const ResendTime& o) const {
        return valid_ == o.valid_ && (!valid_ || seconds_ == o.seconds_);
    }

private:
    std::int64_t seconds_ = 0;  // since 0001-01-01 00:00:00, local
    bool valid_ = false;
};

// One resend entry. The strings are plain values: the entry is copied whole.
struct ChongfaXinxi {
    std::string body;        // the offer text as the user sees it
    std::string message;     // the exact server message, "^" included; the key for duplicates
    std::string offerClass;  // "车" or "货"
    int remaining = 0;       // repetitions still to send; 0: finished, still listed
    int interval = 0;        // minutes between repetitions
    ResendTime next;         // when the next repetition is due
    std::string created;     // "%H:%M:%S" of creation; the resend list's key
};

// The contact details the frame appends to offers (logon reply E, F, G).
struct ContactDetails {
    std::string name;
    std::string phone;
    std::string mobile;
};

class ResendSchedule {
public:
    // Due entries go out through the session's outbox.
    ResendSchedule(Clock& clock, Outbox& outbox);

    const std::vector<ChongfaXinxi>& entries() const { return entries_; }
    std::vector<ChongfaXinxi>& entries() { return entries_; }

    // After a publishing send: the first entry with the same message is
    // overwritten in place, else the entry is appended.
    void AddOrReplace(const ChongfaXinxi& entry);

    // Message 0x1F8D: one more sending of an offer. An entry with the same
    // message gets one more repetition (a finished one comes back); otherwise
    // a new entry with one repetition falls due at the next tick.
    void QueueResend(const std::string& body, const std::string& offerClass);

    // Timer 12: every entry due before now with repetitions left is sent once
    // and its next time moves on by one interval from its previous due time.
    void Tick();

    // The resend list's operations, keyed by the creation time text.
    ChongfaXinxi* FindByCreated(const std::string& key);
    // Removes every entry whose key is one of `keys` (entries created in the
    // same second as a chosen one go with it); the others keep their order.
    std::size_t RemoveByCreated(const std::vector<std::string>& keys);
    // The my-offers dialog drops the entries of offers marked as closed.
    std::size_t RemoveByBody(const std::string& body);

    // The editor's result written back into the first entry with `key`: the
    // text cleaned and given the full contact tail, count and interval taken,
    // next due one interval from now, message rebuilt with the entry's class.
    // The entry's index (the list row to redraw), or nothing when the key is gone.
    std::optional<std::size_t> ApplyEdit(const std::string& key, const std::string& editedText,
                                         int count, int interval, const ContactDetails& contacts);

private:
    Clock& clock_;
    Outbox& outbox_;
    std::vector<ChongfaXinxi> entries_;
};

// What the editor starts from: the body without the contact parts the frame
// appended (with today's contact values) and without blanks.
std::string EditorTextFromBody(const std::string& body, const ContactDetails& contacts);

// Column texts of the resend list: 0 class, 1 body, 2 remaining, 3 next
// "%H:%M:%S", 4 "%d 分钟", 5 the created key; empty for any other column.
std::string ResendColumnText(const ChongfaXinxi& entry, int column);

}  // namespace tovan
