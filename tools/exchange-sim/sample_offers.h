// The offers the simulator starts with: cargo and vehicle offers in several
// areas, enough of them that the client has to page.
#pragma once

#include <ctime>
#include <string>

namespace exsim {

class OfferStore;

// The publication time text the simulator files offers with ("MM-DD HH:MM").
std::string FormatAddTime(std::time_t t);

// Fills the store with the sample offers (deterministic; times count back from now).
// Returns how many were added.
int LoadSampleOffers(OfferStore& store, std::time_t now);

}  // namespace exsim
