// Numbers inside texts from the network and the settings files: the C
// library's decimal reading (leading blanks, a sign, digits; text that is no
// number gives 0), saturating instead of overflowing.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovan {

std::int64_t ParseDecimal(std::string_view text);

// ParseDecimal clamped to int.
int DecimalValue(std::string_view text);

}  // namespace tovan
