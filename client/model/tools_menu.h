// The user's external tools (Config.ini [Tools]): ToolString names them, each
// name followed by "\"; each name is also the key of the program to open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Menu ids of the tools menu items, given in list order from the first.
constexpr int kFirstToolCommand = 1124;
constexpr int kLastToolCommand = 1224;

// The non-empty names in order. "\" is found by characters: a GBK character
// whose second byte equals it stays whole.
std::vector<std::string> SplitToolNames(std::string_view toolString);

}  // namespace tovan
