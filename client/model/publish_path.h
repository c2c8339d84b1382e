// The frame's publishing commands: what the user composed in a publishing
// dialog becomes one "!ADDMSG!" message to the exchange server, cleaned so
// that it cannot break the server's framing or its SQL, with the user's
// contact details appended; when the user asked for repetitions the matching
// resend entry is created or replaced. The dialogs only compose; everything
// that leaves the client on this path is decided here.
#pragma once

#include <cstddef>
#include <string>

#include "client/model/account_state.h"
#include "client/model/profile_reader.h"
#include "client/model/resend_schedule.h"

namespace tovan {

constexpr const char* kVehicleClass = "车";
constexpr const char* kCargoClass = "货";
constexpr std::size_t kPublishTextLimit = 200;  // bytes of the dialog's text that are sent

// What the frame sets in the dialog before showing it.
struct PublishDialogRequest {
    // dmr.ini [Publish] Kind non-zero: the structured dialog of the class,
    // given the contact details; else the free-text dialog, given the class.
    bool expert = false;
    std::string offerClass;
    ContactDetails contacts;
    // The resend count and interval are always set to 0 before showing.
};

// What the frame reads from the dialog after it closed.
struct PublishDialogResult {
    bool confirmed = false;  // ended with IDOK
    std::string offerText;
    int resendCount = 0;
    int resendInterval = 0;  // minutes
    bool sendMobile = false; // "发送手机号"
};

// The three publishing dialogs, shown modally.
class PublishDialogs {
public:
    virtual ~PublishDialogs() = default;
    virtual PublishDialogResult Show(const PublishDialogRequest& request) = 0;
};

enum class PublishOutcome {
    NotFullMember,  // the frame shows its rights-limited message; no dialog was shown
    Cancelled,      // the dialog did not end with IDOK
    EmptyText,      // nothing to send
    Sent,           // sent, or queued when the send failed
};

struct PublishPorts {
    ProfileReader& profile;
    PublishDialogs& dialogs;
    Clock& clock;
    Outbox& outbox;  // the session
};

// Publishing command 32778 ("车") or 32781 ("货").
PublishOutcome PublishOffer(const std::string& offerClass, const AccountState& account,
                            PublishPorts& ports, ResendSchedule& schedule);

// The text as it goes to the server, from the first 200 bytes (whole
// characters only) of what the dialog gave: blanks removed, one blank and the contact tail appended (the
// mobile only when chosen), "'" and "|" made double quotes, "^" and every
// CR LF pair removed, all by GBK characters.
std::string CompleteOfferText(const std::string& dialogText, const ContactDetails& contacts,
                              bool sendMobile);

}  // namespace tovan
