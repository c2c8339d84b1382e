// The phrase lists of Config.ini [Sentence] as the publishing dialogs offer
// them: the "/"-separated lists, the popup menus of the free-text dialog (at
// most 22 items each, the rest behind a spare button), which lists get the
// three spare buttons, and the interval choices of the resend options.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

constexpr const char* kSentenceSection = "Sentence";
constexpr std::size_t kPhraseMenuItems = 22;  // items of one phrase popup
constexpr std::size_t kSpareButtons = 3;

// Splits a [Sentence] value at "/"; empty items are skipped. ("/" is never the
// second byte of a GBK character.)
std::vector<std::string> SplitPhraseList(std::string_view value);

struct PhraseMenuItem {
    unsigned id;  // the command the popup returns
    std::string text;
};

// A phrase popup top to bottom: items 1 to 22 (ids 1026...) listed last
// first; the spare popup lists items 23 onward (ids 1026...) last first.
std::vector<PhraseMenuItem> PhraseMenu(const std::vector<std::string>& items, bool spare);

struct SpareButtonList {
    std::string key;      // the [Sentence] key the button shows
    std::string caption;  // its caption
};

// The lists, in order, that get spare buttons 1, 2, 3: the first three of
// Other1 (Other2 for a cargo offer), Changyongci, Goods, CarType, Freight
// that hold more items than one popup shows.
std::vector<SpareButtonList> AssignSpareButtons(
    bool cargo, const std::function<std::size_t(const std::string& key)>& itemCount);

// The interval choices, in minutes, for a resend count: 5 up to 30 / count.
std::vector<int> ResendIntervalChoices(int count);

}  // namespace tovan
