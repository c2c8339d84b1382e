#include "text/quote.h"

namespace tovan {

std::string SingleQuotedList(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries) {
        if (!out.empty()) out += ',';
        out += '\'';
        out += e;
        out += '\'';
    }
    return out;
}

std::string WithoutSingleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (ch != '\'') out += ch;
    }
    return out;
}

}  // namespace tovan
