#include "tools/exchange-sim/accounts.h"

#include "tools/exchange-sim/wire.h"

namespace exsim {

const char* const kErrBadLogon = "用户名或密码错误";
const char* const kErrIncomplete = "登录信息不完整";
const char* const kErrDisabled = "该帐号已停用，请联系管理员";

const std::vector<Account>& SampleAccounts() {
    // logon, password, A city, B province, C id, D level, E contact, F phone,
    // G mobile, H days, I rights, J third area, K full, L title, fields, disabled
    static const std::vector<Account> accounts = {
        // Full member of a city area: the everyday test user.
        {"test", "test", "石家庄市", "河北省", "test", "2", "张建国", "0311-86012345",
         "13803110001", "30", "0", "正定县", "1", "石家庄宏达物流", 12, false},
        // Second city user for chat and push tests.
        {"peer", "peer", "石家庄市", "河北省", "peer", "2", "李明", "0311-87654321",
         "13903112222", "120", "0", "辛集市", "1", "石家庄顺通货运", 12, false},
        // Province-level account.
        {"sdwl", "sdwl", "济南市", "山东省", "sdwl", "1", "王海", "0531-88123456",
         "13605310003", "15", "0", "青岛市", "1", "山东鲁运物流", 12, false},
        // National account: sees every area.
        {"quanguo", "quanguo", "郑州市", "河南省", "quanguo", "0", "赵强", "0371-65432100",
         "13703710004", "365", "0", "洛阳市", "1", "中原全国物流网", 12, false},
        // Limited member: masked digits, no free publishing, service expired.
        {"limited", "limited", "保定市", "河北省", "limited", "2", "刘芳", "-", "-", "-3",
         "2", "涿州市", "0", "保定试用会员", 12, false},
        // A Chinese user name: GBK in the logon line, in offers and chat relays.
        {"物流王", "123456", "沧州市", "河北省", "物流王", "2", "王建军", "0317-5551234",
         "13903170005", "60", "0", "黄骅市", "1", "沧州物流王货运部", 12, false},
        // A reply with only the nine required fields (defaults J, K, L on the client).
        {"nine", "nine", "唐山市", "河北省", "nine", "2", "孙伟", "-", "-", "0", "0", "", "",
         "", 9, false},
        // Known but refused.
        {"stopped", "stopped", "邯郸市", "河北省", "stopped", "2", "周洋", "-", "-", "0", "0",
         "", "1", "", 12, true},
    };
    return accounts;
}

const Account* FindAccount(std::string_view logon) {
    for (const Account& a : SampleAccounts())
        if (a.logon == logon) return &a;
    return nullptr;
}

const Account* FindAccountById(std::string_view userId) {
    for (const Account& a : SampleAccounts())
        if (a.userId == userId) return &a;
    return nullptr;
}

std::string LogonReply(const Account& a) {
    const std::string* fields[] = {&a.homeCity,    &a.homeProvince, &a.userId,        &a.areaLevel,
                                   &a.contactName, &a.phone,        &a.mobile,        &a.serviceDays,
                                   &a.publishRights, &a.thirdArea,  &a.fullRights,    &a.displayName};
    std::string reply = "!OK!";
    int n = a.replyFields < 9 ? 9 : (a.replyFields > 12 ? 12 : a.replyFields);
    for (int i = 0; i < n; ++i) {
        reply += '|';
        reply += WireField(*fields[i], 199);
    }
    reply += '^';
    return reply;
}

}  // namespace exsim
