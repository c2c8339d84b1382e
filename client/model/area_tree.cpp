#include "client/model/area_tree.h"

#include "client/model/outgoing_messages.h"
#include "text/gbk.h"

namespace tovan {

AreaTreeNode BuildAreaTree(const AreaIni& ini) {
    AreaTreeNode root{kAreaTreeRootText, {}};
    for (std::string& province : ini.List(kProvinceListSection, "SF")) {
        AreaTreeNode node{std::move(province), {}};
        for (const char* key : {"CS", "XIAN"}) {
            for (std::string& place : ini.List(node.text, key)) {
                node.children.push_back(AreaTreeNode{std::move(place), {}});
            }
        }
        root.children.push_back(std::move(node));
    }
    return root;
}

std::optional<AreaTreePlace> FindOwnAreaItem(const AreaTreeNode& root, const std::string& currentArea) {
    for (std::size_t p = 0; p < root.children.size(); ++p) {
        const std::vector<AreaTreeNode>& places = root.children[p].children;
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i].text == currentArea) return AreaTreePlace{p, i};
        }
    }
    return std::nullopt;
}

std::optional<AreaTreePlace> SelectOwnArea(const AreaTreeNode& root, const std::string& currentArea,
                                           const std::function<void()>& dropQueuedListRequests) {
    if (dropQueuedListRequests) dropQueuedListRequests();
    return FindOwnAreaItem(root, currentArea);
}

std::optional<std::string> AreaForSelection(const AccountState& account,
                                            const AreaTreeSelection& item) {
    const std::string& text = item.text;
    if (text == kAreaTreeRootText) return std::nullopt;
    if (account.areaLevel == 2 && text != account.homeCity) return std::nullopt;
    if (item.hasChildren) return std::nullopt;  // a province
    if (account.areaLevel == 1 && text != account.homeCity &&
        item.parentText != account.homeProvince && text != account.homeProvince) {
        return std::nullopt;
    }
    return text;
}

std::string AreaProcessingTitle(const std::string& titlePrefix, const std::string& area) {
    const std::string full = titlePrefix + "    " + area + "信息处理中";
    const std::size_t limit = kAreaTitleBuffer - 1;
    // A cut through a double-byte character would leave half of it showing.
    return std::string(GbkCut(full, limit));
}

void SwitchToArea(ClientModel& model, QueryFramePorts& ports, const std::string& area) {
    ports.outbox.DropQueuedListRequests();
    model.account.currentArea = area;
    model.watchMode = 0;
    if (model.lists.currentGrid.view != nullptr) model.lists.currentGrid.view->ResetRows(0);
    ports.SetFrameTitle(AreaProcessingTitle(model.titlePrefix, area));
    model.lists.currentList.Reset(0);
    ports.outbox.Send(TodayRecordMessage(area));
}

bool OnAreaTreeSelection(ClientModel& model, QueryFramePorts& ports,
                         const AreaTreeSelection& item) {
    const std::optional<std::string> area = AreaForSelection(model.account, item);
    if (!area) return false;
    SwitchToArea(model, ports, *area);
    return true;
}

}  // namespace tovan
