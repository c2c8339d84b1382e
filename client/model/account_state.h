// The account values the logon reply "!OK!" leaves in the main frame, read by
// the record handlers, grids, publishing, search, resend and chat windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovan {

struct AccountState {
    std::string homeCity;       // A: area key at level 2
    std::string homeProvince;   // B: area key at levels 0 and 1
    std::string ownUserId;      // C
    int areaLevel = 0;          // D: 0 all areas, 1 province, 2 city
    std::string contactName;    // E
    std::string contactPhone;   // F, empty when the server sent "-"
    std::string contactMobile;  // G, empty when the server sent "-"
    int serviceDaysLeft = 0;    // H
    int publishRights = 0;      // I
    std::string thirdArea;      // J, one more area the user may see
    int isFullMember = 0;       // K: 0 until the first logon reply
    std::string accountTitle;   // L
    std::string currentArea;    // area key of the current list
};

// The fields of one "!OK!" reply, defaults of the optional ones applied.
struct LogonReply {
    std::string homeCity, homeProvince, ownUserId;
    int areaLevel = 0;
    std::string contactName, contactPhone, contactMobile;
    int serviceDaysLeft = 0;
    int publishRights = 0;
    std::string thirdArea;      // absent: the home city
    bool fullRights = true;     // absent: "1"
    std::string accountTitle;   // absent: empty

    // The area whose offers the client asks for after logon.
    const std::string& AreaKey() const { return areaLevel <= 1 ? homeProvince : homeCity; }
};

// Splits "!OK!|A|...|I[|J[|K[|L]]]"; nothing when any of A to I is missing.
std::optional<LogonReply> ParseLogonReply(std::string_view message);

}  // namespace tovan
