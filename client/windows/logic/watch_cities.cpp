#include "client/windows/logic/watch_cities.h"

#include "client/model/area_scope.h"
#include "text/gbk.h"

namespace tovan {

std::string JoinWatchedCities(const std::vector<std::string>& cities) {
    std::string out;
    for (const std::string& c : cities) {
        out += c;
        out += '\\';
    }
    return out;
}

std::string WatchTypeValue(bool cargo, bool vehicle) {
    std::string out;
    if (cargo) out += "货";
    if (vehicle) out += "车";
    return out;
}

bool TypeValueHas(std::string_view value, std::string_view word) { return GbkContains(value, word); }

WatchCitySettings ReadWatchCities(ProfileReader& profiles, const std::string& file) {
    WatchCitySettings s;
    s.cities = SplitAreaList(
        profiles.ReadString(file, kWatchCitySection, "City", "", kWatchCityBuffer));
    const std::string type =
        profiles.ReadString(file, kWatchCitySection, "Type", "", kWatchCityTypeBuffer);
    s.cargo = TypeValueHas(type, "货");
    s.vehicle = TypeValueHas(type, "车");
    return s;
}

void WriteWatchCities(ProfileWriter& profiles, const std::string& file,
                      const WatchCitySettings& settings) {
    // Write failures are not reported.
    profiles.WriteString(file, kWatchCitySection, "City", JoinWatchedCities(settings.cities));
    profiles.WriteString(file, kWatchCitySection, "Type",
                         WatchTypeValue(settings.cargo, settings.vehicle));
}

}  // namespace tovan
