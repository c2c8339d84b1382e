#include "client/windows/logic/phrase_lists.h"

#include <algorithm>

#include "text/split.h"

namespace tovan {

std::vector<std::string> SplitPhraseList(std::string_view value) { return SplitSkippingEmpty(value, '/'); }

std::vector<PhraseMenuItem> PhraseMenu(const std::vector<std::string>& items, bool spare) {
    // Item k of the main popup is command 1025 + k; item k of the spare
    // popup (k >= 23) is command 1003 + k.
    const std::size_t first = spare ? kPhraseMenuItems : 0;
    const std::size_t last = spare ? items.size() : std::min(items.size(), kPhraseMenuItems);
    const unsigned base = spare ? 1003 : 1025;
    std::vector<PhraseMenuItem> menu;
    for (std::size_t i = last; i > first; --i)
        menu.push_back({base + static_cast<unsigned>(i), items[i - 1]});
    return menu;
}

std::vector<SpareButtonList> AssignSpareButtons(
    bool cargo, const std::function<std::size_t(const std::string& key)>& itemCount) {
    const SpareButtonList candidates[] = {
        {cargo ? "Other2" : "Other1", "常用短语2"},
        {"Changyongci", "常用词2"},
        {"Goods", "货型2"},
        {"CarType", "车型2"},
        {"Freight", "运费2"},
    };
    std::vector<SpareButtonList> assigned;
    for (const SpareButtonList& c : candidates) {
        if (assigned.size() >= kSpareButtons) break;
        if (itemCount(c.key) > kPhraseMenuItems) assigned.push_back(c);
    }
    return assigned;
}

std::vector<int> ResendIntervalChoices(int count) {
    std::vector<int> minutes;
    if (count <= 0) return minutes;  // no count chosen: nothing to offer
    for (int m = 5; m <= 30 / count; ++m) minutes.push_back(m);
    return minutes;
}

}  // namespace tovan
