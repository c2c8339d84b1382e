#include "client/core/logic/tools_menu.h"

#include "client/core/logic/gbk_text_edit.h"

namespace tovan {

std::vector<std::string> SplitToolNames(std::string_view toolString) {
    std::vector<std::string> names;
    std::string current;
    for (std::size_t i = 0; i < toolString.size();) {
        const std::size_t n = GbkCharLength(toolString, i);
        if (n == 1 && toolString[i] == '\\') {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current.append(toolString.substr(i, n));
        }
        i += n;
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

}  // namespace tovan
