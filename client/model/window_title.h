// The main window's title: the prefix that names the service, the city, the
// account and the days of service left, and the titles composed on it.
#pragma once

#include <string>

#include "client/model/account_state.h"
#include "client/model/profile_reader.h"

namespace tovan {

constexpr std::size_t kTitlePrefixSize = 500;  // the prefix's buffer, NUL included

// Config.ini [Display] Title with every "%DIQU%" replaced by the home city.
std::string ServiceTitle(ProfileReader& profiles, const std::string& configIni,
                         const std::string& homeCity);

// The title prefix for the account, cut to fit its 500-byte buffer (whole
// characters only).
std::string ComposeTitlePrefix(const std::string& serviceTitle, const AccountState& account);

// The window title after logon: "<prefix>    <area>当前信息处理中".
std::string ProcessingTitle(const std::string& titlePrefix, const std::string& currentArea);

}  // namespace tovan
