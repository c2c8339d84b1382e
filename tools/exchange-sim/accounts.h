// The simulator's sample accounts and the logon replies they give.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace exsim {

// One account with every field of the "!OK!" reply, GBK text.
struct Account {
    std::string logon;          // name typed at logon
    std::string password;
    std::string homeCity;       // A
    std::string homeProvince;   // B
    std::string userId;         // C: the id offers and chats are filed under
    std::string areaLevel;      // D: 0 all areas, 1 province, 2 city
    std::string contactName;    // E
    std::string phone;          // F ("-" for none)
    std::string mobile;         // G ("-" for none)
    std::string serviceDays;    // H (negative: expired)
    std::string publishRights;  // I (0 may publish freely; bit 2 refuses)
    std::string thirdArea;      // J
    std::string fullRights;     // K
    std::string displayName;    // L
    int replyFields = 12;       // how many of A..L the reply carries (9 to 12)
    bool disabled = false;      // logon refused with a notice
};

const std::vector<Account>& SampleAccounts();
const Account* FindAccount(std::string_view logon);
const Account* FindAccountById(std::string_view userId);

// The "!OK!|A|...^" reply for an account.
std::string LogonReply(const Account& a);

// Texts of the refusals.
extern const char* const kErrBadLogon;
extern const char* const kErrIncomplete;
extern const char* const kErrDisabled;

}  // namespace exsim
