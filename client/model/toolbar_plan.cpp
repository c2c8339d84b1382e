#include "client/model/toolbar_plan.h"

namespace tovan {

const std::vector<ToolbarItem>& ToolbarItems() {
    static const std::vector<ToolbarItem> items = {
        {"登录", 0, 32777, false, 1},
        {"地区列表", 1, 32784, true, 1},
        {"加密解密", 1, 32771, false, 1},
        {"字体", 1, 32783, false, 1},
        {"工具栏", 0, 32799, false, 1},
        {"发布货源", 1, 32781, true, 2},
        {"发布车源", 1, 32778, true, 2},
        {"当前信息", 1, kCurrentInfoCommand, false, 3},
        {"关注信息", 1, 32776, false, 3},
        {"普通搜索", 1, 32820, false, 3},
        {"高级搜索", 1, 32779, false, 3},
        {"我的信息", 1, 32782, false, 4},
        {"重发管理", 1, 32794, false, 4},
        {"总站服务", 0, 32792, false, 5},
        {"退出", 0, 57665, false, 5},
    };
    return items;
}

int ToolbarItemDefault(const std::string& caption) {
    for (const ToolbarItem& item : ToolbarItems())
        if (caption == item.caption) return item.shownByDefault;
    return 0;
}

std::vector<ToolbarSlot> PlanToolbar(ProfileReader& profiles,
                                     const std::string& currentInfoCaption) {
    std::vector<ToolbarSlot> bar;
    const std::vector<ToolbarItem>& items = ToolbarItems();
    bool groupShowedAny = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ToolbarItem& item = items[i];
        if (profiles.ReadInt(kUserIni, "ToolBar", item.caption, item.shownByDefault) != 0) {
            ToolbarSlot b;
            b.commandId = item.commandId;
            b.caption = item.commandId == kCurrentInfoCommand ? currentInfoCaption : item.caption;
            b.red = item.red;
            bar.push_back(b);
            groupShowedAny = true;
        }
        const bool groupEnds = i + 1 == items.size() || items[i + 1].group != item.group;
        if (!groupEnds) continue;
        if (item.group == 1 || (item.group < 5 && groupShowedAny)) {
            ToolbarSlot s;
            s.separator = true;
            bar.push_back(s);
        }
        if (item.group == 5 && !groupShowedAny && !bar.empty() && bar.back().separator) {
            bar.pop_back();
        }
        groupShowedAny = false;
    }
    return bar;
}

std::string CurrentInfoCaption(const std::string& homeProvince, const std::string& homeCity,
                               int areaLevel) {
    if (homeProvince.empty()) return "当前信息";
    const std::string& place = areaLevel == 2 ? homeCity : homeProvince;
    return place.substr(0, 4) + "信息";
}

}  // namespace tovan
