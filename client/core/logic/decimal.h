// Numbers inside server messages: the C library's decimal reading (leading
// blanks, a sign, digits; text that is no number gives 0), saturating instead
// of overflowing, since the text comes from the network.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovan {

std::int64_t ParseDecimal(std::string_view text);

// ParseDecimal clamped to int.
int DecimalValue(std::string_view text);

}  // namespace tovan
