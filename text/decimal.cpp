#include "text/decimal.h"

#include <algorithm>
#include <climits>

namespace tovan {

std::int64_t ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = INT64_MAX / 10 - 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > kLimit) {
            value = INT64_MAX;  // saturate: far beyond any row count or index anyway
            break;
        }
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int DecimalValue(std::string_view text) {
    return static_cast<int>(std::clamp<std::int64_t>(ParseDecimal(text), INT_MIN, INT_MAX));
}

}  // namespace tovan
