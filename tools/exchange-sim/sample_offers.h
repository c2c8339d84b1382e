// The offers the simulator starts with: cargo and vehicle offers in several
// areas, enough of them that the client has to page.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "tools/exchange-sim/offer_store.h"

namespace exsim {

// A sample offer with where it goes, as the generator chose it.
struct SampleOffer {
    Offer offer;
    std::string destCity;    // full name, e.g. "广州市"
    std::string destCounty;  // "" when the text names the city only
};

// The publication time text the simulator files offers with ("MM-DD HH:MM").
std::string FormatAddTime(std::time_t t);

// The sample offers, oldest first (deterministic; times count back from now).
std::vector<SampleOffer> SampleOffers(std::time_t now);

// Fills the store with the sample offers (deterministic; times count back from now).
// Returns how many were added.
int LoadSampleOffers(OfferStore& store, std::time_t now);

}  // namespace exsim
