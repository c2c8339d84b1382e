#include "fw/logic/dotted_ipv4.h"

namespace fw {

bool IsDottedIPv4(std::string_view text) {
    int parts = 0;
    std::size_t i = 0;
    while (true) {
        int value = 0, digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
            if (digits == 3) return false;
            value = value * 10 + (text[i] - '0');
        }
        if (digits == 0 || value > 255) return false;
        if (++parts == 4) return i == text.size();
        if (i == text.size() || text[i] != '.') return false;
        ++i;
    }
}

}  // namespace fw
