#include "text/split.h"

#include "text/gbk.h"

namespace tovan {

std::vector<std::string> SplitSkippingEmpty(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find(separator, i);
        if (end == std::string_view::npos) end = text.size();
        if (end > i) pieces.emplace_back(text.substr(i, end - i));
        i = end + 1;
    }
    return pieces;
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
