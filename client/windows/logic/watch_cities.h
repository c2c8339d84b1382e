// guanzhu.ini [关注], kept by the watch settings dialog: the watched cities
// and counties, each followed by "\", and the offer classes of interest as
// "货", "车", "货车" or nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/profile_reader.h"
#include "client/model/profile_writer.h"

namespace tovan {

constexpr const char* kWatchCitySection = "关注";
constexpr std::size_t kWatchCityBuffer = 2000;
constexpr std::size_t kWatchCityTypeBuffer = 9;

struct WatchCitySettings {
    std::vector<std::string> cities;  // in list order
    bool cargo = false;               // 货
    bool vehicle = false;             // 车
};

// A missing file or key gives an empty list and both classes off.
WatchCitySettings ReadWatchCities(ProfileReader& profiles, const std::string& file);
// Writes both keys, empty ones included.
void WriteWatchCities(ProfileWriter& profiles, const std::string& file,
                      const WatchCitySettings& settings);

// The City value: every name followed by "\".
std::string JoinWatchedCities(const std::vector<std::string>& cities);
// The Type value: "货" then "车", no separator.
std::string WatchTypeValue(bool cargo, bool vehicle);
// Does the Type value name this class word? Compared character by character,
// so the second byte of one character and the first of the next never match.
bool TypeValueHas(std::string_view value, std::string_view word);

}  // namespace tovan
