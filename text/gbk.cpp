#include "text/gbk.h"

namespace tovan {

std::size_t GbkCharCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) ++n;
    return n;
}

std::size_t GbkFind(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty()) return std::string_view::npos;
    for (std::size_t i = from; i < text.size(); i += GbkCharLength(text, i)) {
        if (text.compare(i, what.size(), what) == 0) return i;
    }
    return std::string_view::npos;
}

std::string_view GbkCut(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t n = GbkCharLength(text, end);
        if (end + n > maxBytes) break;
        end += n;
    }
    return text.substr(0, end);
}

std::string_view GbkCutField(std::string_view text, std::size_t maxBytes) {
    const std::string_view cut = GbkCut(text, maxBytes);
    std::size_t last = 0;  // where the last character starts
    for (std::size_t i = 0; i < cut.size(); i += GbkCharLength(cut, i)) last = i;
    const bool loneLead = !cut.empty() && GbkCharLength(cut, last) == 1 &&
                          IsGbkLeadByte(static_cast<unsigned char>(cut[last]));
    return loneLead ? cut.substr(0, last) : cut;
}

}  // namespace tovan
