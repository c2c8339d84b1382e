// The areas the simulator's sample offers come from and go to, and the
// destination keywords filed for an offer text (table msgfull).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace exsim {

struct SampleCity {
    const char* name;      // e.g. a city name ending in "市"
    const char* province;
    std::vector<const char*> counties;
};

const std::vector<SampleCity>& SampleCities();
const SampleCity* FindCity(std::string_view name);

// The city name without its last character ("市"), as offer texts write it.
std::string ShortCityName(std::string_view name);

// Destination keywords of an offer text: every sample city (by full or short
// name) and county the text names, other than the offer's own city and its
// counties, plus the provinces of those cities. No duplicates.
std::vector<std::string> DestinationKeywords(std::string_view body, std::string_view ownArea);

}  // namespace exsim
