// The Config.ini the client ships: every phrase list of the publishing keypad
// holds entries on first use, stored as the phrase-list dialog would store
// them, each fits the first popup and the buffer it is read back into, and
// each reads right in the sentence and on the form it is chosen into.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "client/windows/logic/offer_sentence.h"
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

// A unit or word written twice where a phrase meets the text around it.
std::string DoubledWord(const std::string& text) {
    for (const char* word : {"米", "吨", "车", "货", "元", "。"}) {
        const std::string twice = std::string(word) + word;
        if (text.find(twice) != std::string::npos) return twice;
    }
    return "";
}

TEST(ShippedConfigIni, EveryPhraseReadsOnceInTheSentenceAndOnTheForm) {
    const std::map<std::string, std::string> values = ShippedSentences();
    auto phrases = [&values](const char* key) { return SplitPhraseList(values.at(key)); };
    const VehicleOfferFields vehicle{"石家庄市", "桥西区", {"北京市"}, "9.6", "高栏", "30", "有车求货"};
    const CargoOfferFields cargo{"石家庄市", "桥西区", "北京市", "朝阳区", "20", "钢材", "9.6", "高栏", "3000", "有货求车"};
    // What the forms read with their labels between the fields.
    auto vehicleForm = [](const VehicleOfferFields& v) {
        return "有" + v.carLength + "米" + v.carType + "车,可装" + v.tonnage + "吨。";
    };
    auto cargoForm = [](const CargoOfferFields& c) {
        return "有" + c.weight + "吨" + c.goodsType + "货,需" + c.carLength + "米" + c.carType + "车。运费" + c.freight + "元";
    };
    auto expectOnce = [](const std::string& phrase, const std::string& text) {
        EXPECT_EQ(DoubledWord(text), "") << phrase << " in " << text;
    };
    for (const std::string& p : phrases("CarLong")) {
        VehicleOfferFields v = vehicle;
        CargoOfferFields c = cargo;
        v.carLength = c.carLength = p;
        for (const std::string& text : {ComposeVehicleOffer(v), ComposeCargoOffer(c), vehicleForm(v), cargoForm(c)})
            expectOnce(p, text);
    }
    for (const std::string& p : phrases("CarType")) {
        VehicleOfferFields v = vehicle;
        CargoOfferFields c = cargo;
        v.carType = c.carType = p;
        for (const std::string& text : {ComposeVehicleOffer(v), ComposeCargoOffer(c), vehicleForm(v), cargoForm(c)})
            expectOnce(p, text);
    }
    for (const std::string& p : phrases("Goods")) {
        CargoOfferFields c = cargo;
        c.goodsType = p;
        for (const std::string& text : {ComposeCargoOffer(c), cargoForm(c)}) expectOnce(p, text);
    }
    for (const std::string& p : phrases("Other1")) {
        VehicleOfferFields v = vehicle;
        v.remark = p;
        expectOnce(p, ComposeVehicleOffer(v));
    }
    for (const std::string& p : phrases("Other2")) {
        CargoOfferFields c = cargo;
        c.remark = p;
        expectOnce(p, ComposeCargoOffer(c));
    }
}

}  // namespace
}  // namespace tovan
