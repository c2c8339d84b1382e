// The version list the web service serves at "/cab/update.asp", and how its
// entries compare with the versions recorded in update.ini.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

struct VersionRecord {
    std::string name;     // file name as listed (not yet checked for safety)
    std::string version;  // version text exactly as listed, possibly empty
};

// The reply's lines are joined (CR and LF dropped), then cut at "," into
// records; empty records vanish. In a record the first non-empty "|"-piece is
// the name, the next one the version. A GBK character whose second byte is
// "|" stays whole.
std::vector<VersionRecord> ParseVersionList(std::string_view body);

// The listed version as the comparison sees it: the decimal value of the text
// (0 without digits), taken as an unsigned 32-bit number, so "-1" is the
// largest version of all.
std::uint32_t ListedVersion(std::string_view versionText);

// update.ini's version when a file has no entry there.
constexpr std::uint32_t kDefaultInstalledVersion = 1;

// True when the listed version is newer than the installed one.
bool IsNewerVersion(std::uint32_t installed, std::string_view versionText);

}  // namespace tovan
