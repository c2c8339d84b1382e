#include "text/replace.h"

#include "text/gbk.h"

namespace tovan {

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

std::string ReplaceAllBytes(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    for (std::size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, i)) {
        out.append(text, i, at - i);
        out += to;
        i = at + from.size();
    }
    out.append(text, i);
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

std::string ReplaceFieldSeparators(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = GbkCharLength(text, i);
        if (text[i + n - 1] == '|') {
            out += '"';
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

}  // namespace tovan
