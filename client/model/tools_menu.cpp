#include "client/model/tools_menu.h"

#include "text/split.h"

namespace tovan {

std::vector<std::string> SplitToolNames(std::string_view toolString) {
    return SplitGbkSkippingEmpty(toolString, '\\');
}

}  // namespace tovan
