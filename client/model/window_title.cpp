#include "client/model/window_title.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "text/gbk.h"

namespace tovan {
namespace {

// The formatted text cut to fit the prefix's buffer, never inside a character.
template <typename... Args>
std::string FormatCut(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) return std::string();
    std::vector<char> buf(static_cast<std::size_t>(length) + 1);
    std::snprintf(buf.data(), buf.size(), format, args...);
    return std::string(GbkCut(std::string_view(buf.data(), static_cast<std::size_t>(length)),
                              kTitlePrefixSize - 1));
}

}  // namespace

std::string ServiceTitle(ProfileReader& profiles, const std::string& configIni,
                         const std::string& homeCity) {
    std::string t = profiles.ReadString(configIni, "Display", "Title", "Tovan信息客户端", 500);
    static const std::string kCityMark = "%DIQU%";
    for (std::size_t at = t.find(kCityMark); at != std::string::npos;
         at = t.find(kCityMark, at + homeCity.size())) {
        t.replace(at, kCityMark.size(), homeCity);
    }
    return t;
}

std::string ComposeTitlePrefix(const std::string& serviceTitle, const AccountState& account) {
    const int d = account.serviceDaysLeft;
    const char* t = serviceTitle.c_str();
    const char* city = account.homeCity.c_str();
    const char* name = account.accountTitle.c_str();
    if (d > 0) return FormatCut("%s  %s站 %s    您的服务还有%d天到期", t, city, name, d);
    if (d == 0) return FormatCut("%s  %s站 %s     您的服务今天到期", t, city, name);
    // -d overflows for the smallest int; such a count is nonsense anyway.
    const long long past = -static_cast<long long>(d);
    return FormatCut("%s  %s站 %s     您的服务已经过期%lld天", t, city, name, past);
}

std::string ProcessingTitle(const std::string& titlePrefix, const std::string& currentArea) {
    return titlePrefix + "    " + currentArea + "当前信息处理中";
}

}  // namespace tovan
