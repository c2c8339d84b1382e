// The main toolbar's buttons: which of the fifteen items the user shows
// (dmr.ini [ToolBar], key = the caption, 1 shown, 0 hidden), in bar order,
// with the separators between the groups.
#pragma once

#include <string>
#include <vector>

#include "client/model/profile_reader.h"

namespace tovan {

constexpr int kCurrentInfoCommand = 11005;

struct ToolbarItem {
    const char* caption;  // also the dmr.ini key
    int shownByDefault;
    int commandId;
    bool red;             // caption colour: red, else black
    int group;            // 1..5; separators stand between groups
};

// The fifteen items in bar order.
const std::vector<ToolbarItem>& ToolbarItems();

// Whether the bar shows the item of that caption when dmr.ini does not say
// (1 or 0; 0 for a caption that names no item).
int ToolbarItemDefault(const std::string& caption);

struct ToolbarSlot {
    bool separator = false;
    int commandId = 0;    // buttons only
    std::string caption;  // buttons only
    bool red = false;
};

// The bar as BuildToolBar makes it. A separator follows group 1 always and
// groups 2 to 4 when they showed a button; a separator left at the very end
// (neither item of group 5 shown) is dropped. The 11005 button carries
// currentInfoCaption instead of its key.
std::vector<ToolbarSlot> PlanToolbar(ProfileReader& profiles,
                                     const std::string& currentInfoCaption);

// Caption of the current information button: before the first login reply
// (no province known) "当前信息"; otherwise the first two characters (4 bytes)
// of the city for a city-level account (areaLevel 2), else of the province,
// followed by "信息".
std::string CurrentInfoCaption(const std::string& homeProvince, const std::string& homeCity,
                               int areaLevel);

}  // namespace tovan
