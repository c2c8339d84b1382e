#include "client/core/logic/gbk_text_edit.h"

namespace tovan {

std::size_t GbkCharLength(std::string_view text, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    return c >= 0x81 && c <= 0xFE && i + 1 < text.size() ? 2 : 1;
}

std::string GbkReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            const std::size_t n = GbkCharLength(text, i);
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

std::string ReduceWireSignCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = GbkCharLength(text, i);
        if (n == 2 && (text[i + 1] == '|' || text[i + 1] == '^')) {
            out += text[i + 1];
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

}  // namespace tovan
