// The areas the simulator's sample offers come from and go to, and what an
// offer text says about places: the destination keywords filed for it
// (table msgfull) and the county it starts from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/exchange-sim/area_index.h"

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

// The bytes of the area.ini the client ships, built into the simulator.
std::string_view ShippedAreaIni();
// Every place of that file.
const AreaIndex& ShippedAreas();

// Destination keywords of an offer text: the full names of the places it
// goes to (after "→", "到" or "往", up to the end of that clause), each with
// the city and province above it. A text without such a clause gives every
// place it names outside the offer's own area. No duplicates.
std::vector<std::string> DestinationKeywords(std::string_view body, std::string_view ownArea);

// The county of homeCity the text starts from (before its "→", "到" or
// "往"), as the publishing forms write it ("石家庄市桥西区→..."); "" when it
// names none.
std::string OriginCounty(std::string_view body, std::string_view homeCity);

}  // namespace exsim
