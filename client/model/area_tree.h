// The area tree of the area pane: its items from area.ini, which item stands
// for the current area, and what selecting an item does to the current list.
// The pane only mirrors these decisions in its tree control.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/model/account_state.h"
#include "client/model/area_scope.h"
#include "client/model/search_commands.h"

namespace tovan {

constexpr const char* kAreaIniName = "area.ini";  // next to the program
constexpr const char* kProvinceListSection = "全国省城";
constexpr const char* kAreaTreeRootText = "全部";
constexpr std::size_t kAreaTitleBuffer = 500;  // the title is composed in this many bytes

struct AreaTreeNode {
    std::string text;
    std::vector<AreaTreeNode> children;
};

// The root "全部"; under it the provinces of [全国省城] SF in order, each with
// its cities (CS) and then its own counties (XIAN). Cities get no children.
AreaTreeNode BuildAreaTree(const AreaIni& ini);

// An item under a province: indices into root.children and its children.
struct AreaTreePlace {
    std::size_t province = 0;
    std::size_t place = 0;
};

// The item SelectOwnArea selects: the first item under a province whose text
// is the current area. Provinces themselves are never chosen.
std::optional<AreaTreePlace> FindOwnAreaItem(const AreaTreeNode& root, const std::string& currentArea);

// SelectOwnArea: the queued requests for the old list go first, then the item
// to select, if any. Selecting it runs the pane's handler, which asks for the
// list; with nothing selected nothing is asked.
std::optional<AreaTreePlace> SelectOwnArea(const AreaTreeNode& root, const std::string& currentArea,
                                           const std::function<void()>& dropQueuedListRequests);

// What the selection handler is told of the newly selected item.
struct AreaTreeSelection {
    std::string text;
    std::string parentText;  // empty for the root
    bool hasChildren = false;
};

// The area the selection switches the current list to, or nothing: the root
// and provinces switch nothing, a city-level account only its home city, a
// province-level account only its home city and the places of its province.
std::optional<std::string> AreaForSelection(const AccountState& account,
                                            const AreaTreeSelection& item);

// "<title prefix>    <area>信息处理中", cut to its buffer at a character boundary.
std::string AreaProcessingTitle(const std::string& titlePrefix, const std::string& area);

// Switches the current list to `area`: queued list requests dropped, current
// area set, watch mode left, grid and list emptied, title set, and the list
// asked for (queued when the send fails).
void SwitchToArea(ClientModel& model, QueryFramePorts& ports, const std::string& area);

// The pane's selection handler: true when the list was switched.
bool OnAreaTreeSelection(ClientModel& model, QueryFramePorts& ports,
                         const AreaTreeSelection& item);

}  // namespace tovan
