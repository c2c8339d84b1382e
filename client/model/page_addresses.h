// The addresses of the service's pages shown in the web panes and the status
// bar's banner, from the site's base address in Config.ini [URL] Merovan and
// the user's home city. Texts are GBK bytes; addresses are plain ASCII, every
// other byte percent-escaped, as the service's pages decode them.
#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Page paths below the site's base.
inline constexpr char kTopPage[] = "/top.asp";
inline constexpr char kRightPage[] = "/right.asp";
inline constexpr char kBannerPage[] = "/ldgg.asp";

// The site's base as a usable address prefix, or empty when none is set:
// surrounding blanks and quotes go, trailing "/" go (the paths bring their
// own), and bytes an address cannot hold (blanks, quotes, GBK text) are
// escaped; what is already escaped stays.
std::string SiteBase(std::string_view merovan);

// base + path; empty when the base is empty (no page is loaded then).
std::string PageAddress(const std::string& base, const char* path);
// base + path + "?city=" + the city, escaped; empty when the base is empty.
std::string CityPageAddress(const std::string& base, const char* path, std::string_view city);

// Every byte but letters, digits and "-_.~" as %XX.
std::string EscapeQueryValue(std::string_view text);

}  // namespace tovan
