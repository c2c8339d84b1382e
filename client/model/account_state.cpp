#include "client/model/account_state.h"

#include <climits>
#include <cstdlib>

#include "text/decimal.h"
#include "client/model/server_message.h"

namespace tovan {

std::optional<LogonReply> ParseLogonReply(std::string_view message) {
    const std::vector<std::string> f = SplitFields(message);
    if (f.size() < 10) return std::nullopt;  // command word + A..I
    auto dashIsEmpty = [](const std::string& s) { return s == "-" ? std::string() : s; };
    LogonReply r;
    r.homeCity = f[1];
    r.homeProvince = f[2];
    r.ownUserId = f[3];
    r.areaLevel = DecimalValue(f[4]);
    r.contactName = f[5];
    r.contactPhone = dashIsEmpty(f[6]);
    r.contactMobile = dashIsEmpty(f[7]);
    r.serviceDaysLeft = DecimalValue(f[8]);
    r.publishRights = DecimalValue(f[9]);
    r.thirdArea = f.size() > 10 ? f[10] : f[1];
    r.fullRights = f.size() > 11 ? DecimalValue(f[11]) != 0 : true;
    r.accountTitle = f.size() > 12 ? f[12] : std::string();
    return r;
}

}  // namespace tovan
