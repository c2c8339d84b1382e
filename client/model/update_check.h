// The client's check for a newer release at start-up: the web service's
// version list ("name|version" items joined by ",") against the versions the
// updater recorded in update.ini ([name] Version, default 1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/profile_reader.h"
#include "updater/logic/update_files.h"

namespace tovan {

struct ListedFile {
    std::string name;     // text before the first "|"
    std::string version;  // text after it, up to the next "|"
};

// The reply's lines joined without separator (CR and LF dropped), cut at ","
// into items. "|" is found by characters, so a GBK character whose second
// byte equals it stays whole.
std::vector<ListedFile> ParseClientVersionList(std::string_view body);

// True when some listed file with a name is newer than update.ini records:
// installed < listed version, both taken as unsigned 32-bit numbers (so a
// listed "-1" is newer than anything), and the updater would fetch it (see
// IsUpdateDue). The updater is then to be started.
bool UpdateIsDue(std::string_view body, ProfileReader& profiles, const std::string& updateIni);

}  // namespace tovan
