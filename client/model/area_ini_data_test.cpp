// The area.ini the client ships: a well-formed GBK profile file whose names the
// client can use on the wire and in its lists, and which knows every place the
// exchange simulator's sample data uses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#include "client/model/area_scope.h"
#include "client/model/area_tree.h"
#include "tools/exchange-sim/areas.h"
#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

using ::testing::Contains;

// Loads the file the way the platform reads profiles, into the test double;
// everything the platform would read differently fails the test instead.
class ShippedAreaIni : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(TOVAN_SHIPPED_AREA_INI, std::ios::binary);
        ASSERT_TRUE(in) << TOVAN_SHIPPED_AREA_INI;
        raw_ = new std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void TearDownTestSuite() {
        delete raw_;
        raw_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(raw_, nullptr);
        std::string section;
        std::set<std::string> sections, keys;
        std::size_t at = 0;
        while (at < raw_->size()) {
            const std::size_t end = raw_->find("\r\n", at);
            ASSERT_NE(end, std::string::npos) << "last line without CRLF";
            const std::string line = raw_->substr(at, end - at);
            at = end + 2;
            ASSERT_EQ(line.find('\n'), std::string::npos) << "bare LF in " << line;
            ASSERT_FALSE(line.empty());
            if (line[0] == ';') continue;
            if (line[0] == '[') {
                ASSERT_EQ(line.back(), ']') << line;
                section = line.substr(1, line.size() - 2);
                ASSERT_TRUE(sections.insert(section).second) << "section twice: " << section;
                continue;
            }
            const std::size_t eq = line.find('=');
            ASSERT_NE(eq, std::string::npos) << line;
            ASSERT_FALSE(section.empty()) << "key before any section: " << line;
            const std::string key = line.substr(0, eq);
            const std::string value = line.substr(eq + 1);
            ASSERT_TRUE(keys.insert(section + "\n" + key).second) << "key twice in " << section;
            // The client reads 1999 bytes of a value.
            ASSERT_LT(value.size(), kAreaValueBuffer) << section << " " << key;
            ini_.Set(kAreaIniName, section, key, value);
        }
    }

    static std::string* raw_;
    FakeProfileReader ini_;
    AreaIni area_{ini_, kAreaIniName};
};
std::string* ShippedAreaIni::raw_ = nullptr;

// Every name is whole GBK characters, and no character of it carries a byte
// that splits lists ("\", "/", ","), frames messages ("|", "^") or quotes
// query text ("'").
void ExpectUsableName(const std::string& name, const std::string& where) {
    EXPECT_FALSE(name.empty()) << where;
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x81 && c <= 0xFE) {
            ASSERT_LT(i + 1, name.size()) << "half a character in " << where;
            const unsigned char t = static_cast<unsigned char>(name[i + 1]);
            EXPECT_TRUE(t >= 0x40 && t <= 0xFE && t != 0x7F) << "bad GBK in " << where;
            EXPECT_EQ(std::string_view("\\|^").find(static_cast<char>(t)), std::string_view::npos)
                << "a character of " << name << " in " << where << " ends in a sign";
            i += 2;
        } else {
            EXPECT_EQ(std::string_view("\\/,|^' =[];").find(static_cast<char>(c)),
                      std::string_view::npos)
                << "sign in " << name << " in " << where;
            ++i;
        }
    }
}

TEST_F(ShippedAreaIni, EveryProvinceHasPlacesAndEveryNameIsUsable) {
    const AreaTreeNode root = BuildAreaTree(area_);
    EXPECT_EQ(root.children.size(), 34u);
    std::size_t cities = 0, counties = 0;
    std::set<std::string> sectionNames, treePlaces;
    for (const AreaTreeNode& province : root.children) {
        ExpectUsableName(province.text, "SF");
        const auto provinceCities = area_.List(province.text, "CS");
        EXPECT_FALSE(provinceCities.empty()) << province.text;
        EXPECT_EQ(province.children.size(),
                  provinceCities.size() + area_.List(province.text, "XIAN").size());
        for (const AreaTreeNode& place : province.children) {
            ExpectUsableName(place.text, province.text);
            // SelectOwnArea takes the first item of a name: one per name.
            EXPECT_TRUE(treePlaces.insert(place.text).second) << "in the tree twice: " << place.text;
        }
        for (const std::string& city : provinceCities) {
            ++cities;
            // A municipality is its own one city; otherwise a city's section is its own.
            if (city != province.text) {
                EXPECT_TRUE(sectionNames.insert(city).second) << "city twice: " << city;
            }
            for (const std::string& county : area_.List(city, "XIAN")) {
                ExpectUsableName(county, city);
                ++counties;
            }
        }
        EXPECT_TRUE(sectionNames.insert(province.text).second) << "province twice: " << province.text;
    }
    EXPECT_GT(cities, 300u);
    EXPECT_GT(counties, 2800u);
}

TEST_F(ShippedAreaIni, KnowsEveryPlaceOfTheSimulatorsSampleData) {
    const AreaTreeNode root = BuildAreaTree(area_);
    for (const exsim::SampleCity& c : exsim::SampleCities()) {
        EXPECT_THAT(area_.List(kProvinceListSection, "SF"), Contains(c.province));
        EXPECT_THAT(area_.List(c.province, "CS"), Contains(c.name));
        for (const char* county : c.counties) {
            EXPECT_THAT(area_.List(c.name, "XIAN"), Contains(county)) << c.name;
        }
        // The city can be selected in the tree after logon.
        const auto item = FindOwnAreaItem(root, c.name);
        ASSERT_TRUE(item.has_value()) << c.name;
        EXPECT_EQ(root.children[item->province].text, c.province);
    }
}

TEST_F(ShippedAreaIni, MunicipalitiesAreOneCityWhoseDistrictsAreItsCounties) {
    for (const char* city : {"北京市", "天津市", "上海市", "重庆市"}) {
        EXPECT_THAT(area_.List(city, "CS"), ::testing::ElementsAre(city));
        EXPECT_GT(area_.List(city, "XIAN").size(), 10u) << city;
    }
    // A district of a municipality belongs to the city for a city-level account.
    const AreaScope beijing{2, "北京市", "北京市", "北京市"};
    EXPECT_TRUE(IsAreaAllowed(beijing, area_, "北京市", "海淀区"));
    EXPECT_TRUE(IsWatchAreaAllowed(beijing, area_, "海淀区"));
    EXPECT_FALSE(IsWatchAreaAllowed(beijing, area_, "和平区"));  // 天津市
}

}  // namespace
}  // namespace tovan
