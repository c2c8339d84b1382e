// Which areas an account may see, by its area level, over area.ini next to
// the program. The main frame applies it to its account state; the full
// search dialog applies the same rule to its own copies of these values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/profile_reader.h"

namespace tovan {

constexpr std::size_t kAreaValueBuffer = 2000;  // every area.ini value is read into this

struct AreaScope {
    int areaLevel = 0;  // 0 all areas, 1 own province, 2 own city
    std::string homeProvince;
    std::string homeCity;
    std::string thirdArea;
};

// Splits an area.ini list at "\"; empty pieces are skipped. A GBK character
// whose second byte is "\" is kept whole.
std::vector<std::string> SplitAreaList(std::string_view value);

// The lists of area.ini: [全国省城] SF, [province] CS and XIAN, [city] XIAN.
class AreaIni {
public:
    AreaIni(ProfileReader& reader, std::string path) : reader_(reader), path_(std::move(path)) {}
    std::vector<std::string> List(const std::string& section, const std::string& key) const;

private:
    ProfileReader& reader_;
    std::string path_;
};

// May the account see `name`, looking in [section] XIAN for a county?
bool IsAreaAllowed(const AreaScope& scope, const AreaIni& ini, const std::string& section,
                   const std::string& name);

// May the account watch offers of `name`? At level 1 every city and county of
// the home province, and the counties of those, count.
bool IsWatchAreaAllowed(const AreaScope& scope, const AreaIni& ini, const std::string& name);

}  // namespace tovan
