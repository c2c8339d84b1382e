// Names between single quotes, as the search statements and the stored lists
// carry them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Entries each between single quotes, joined by ",": '甲','乙' ("" for none).
std::string SingleQuotedList(const std::vector<std::string>& entries);

// The text with every "'" taken out (byte by byte: "'" is never the second
// byte of a GBK character).
std::string WithoutSingleQuotes(std::string_view text);

}  // namespace tovan
