// Shared by the offer store's tests: the ids of rows, in order.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/exchange-sim/offer_store.h"

namespace exsim {

inline std::vector<std::int64_t> Ids(const std::vector<Offer>& rows) {
    std::vector<std::int64_t> ids;
    for (const Offer& o : rows) ids.push_back(o.id);
    return ids;
}

}  // namespace exsim
