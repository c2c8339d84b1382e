#include "updater/logic/gbk_split.h"

namespace tovan {

std::size_t GbkCharCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) ++n;
    return n;
}

bool GbkContains(std::string_view text, char c) {
    for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) {
        if (text[i] == c) return true;
    }
    return false;
}

std::vector<std::string> SplitGbkSkippingEmpty(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = GbkCharLength(text, i);
        if (n == 1 && text[i] == separator) {
            if (!piece.empty()) pieces.push_back(std::move(piece));
            piece.clear();
        } else {
            piece.append(text.substr(i, n));
        }
        i += n;
    }
    if (!piece.empty()) pieces.push_back(std::move(piece));
    return pieces;
}

}  // namespace tovan
