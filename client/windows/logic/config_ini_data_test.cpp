// The Config.ini the client ships: every phrase list of the publishing keypad
// holds entries on first use, stored as the phrase-list dialog would store
// them, and each fits the first popup and the buffer it is read back into.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "client/windows/logic/phrase_lists.h"
#include "client/windows/logic/settings_dialogs.h"

namespace tovan {
namespace {

// The [Sentence] keys and values of the shipped file (GBK, CRLF).
std::map<std::string, std::string> ShippedSentences() {
    std::ifstream in(TOVAN_SHIPPED_CONFIG_INI, std::ios::binary);
    EXPECT_TRUE(in) << TOVAN_SHIPPED_CONFIG_INI;
    const std::string raw(std::istreambuf_iterator<char>(in), {});
    std::map<std::string, std::string> values;
    std::string section;
    std::size_t at = 0;
    while (at < raw.size()) {
        std::size_t end = raw.find("\r\n", at);
        if (end == std::string::npos) end = raw.size();
        const std::string line = raw.substr(at, end - at);
        at = end + 2;
        if (!line.empty() && line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
        } else if (section == kSentenceSection && line.find('=') != std::string::npos) {
            values[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
    }
    return values;
}

TEST(ShippedConfigIni, EveryPhraseListHasEntriesAsTheDialogStoresThem) {
    const std::map<std::string, std::string> values = ShippedSentences();
    for (const PhraseCategory& c : PhraseCategories()) {
        SCOPED_TRACE(c.key);
        ASSERT_EQ(values.count(c.key), 1u);
        const std::string& value = values.at(c.key);
        const std::vector<std::string> items = SplitPhraseList(value);
        EXPECT_GE(items.size(), 5u);
        EXPECT_LE(items.size(), kPhraseMenuItems);  // all in the first popup
        EXPECT_LT(value.size(), 4000u);             // the read buffer
        std::string lines;
        for (const std::string& item : items) {
            EXPECT_LE(item.size(), 98u);  // a chosen item is read back into 99 bytes
            lines += item + "\r\n";
        }
        EXPECT_EQ(PhraseListValue(lines), value);
    }
}

}  // namespace
}  // namespace tovan
