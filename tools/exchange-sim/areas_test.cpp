// What the simulator reads from an offer text about places, over the
// area.ini the client ships.
#include "tools/exchange-sim/areas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace exsim {
namespace {

using ::testing::UnorderedElementsAreArray;

TEST(DestinationKeywords, FullNamesOfWhereTheOfferGoesWithTheAreasAbove) {
    using V = std::vector<std::string>;
    struct Case {
        const char* body;
        const char* ownArea;
        V keywords;
    };
    const Case cases[] = {
        // Short city name, county of it.
        {"石家庄到广州番禺区，钢材", "石家庄市", {"番禺区", "广州市", "广东省"}},
        {"石家庄正定县到广州", "石家庄市", {"广州市", "广东省"}},
        // A municipality's districts sit right under it.
        {"石家庄桥西区到北京朝阳区，有钢材", "石家庄市", {"朝阳区", "北京市"}},
        // The publishing forms' sentences, with full names and several destinations.
        {"石家庄市桥西区→北京市海淀区,有20吨钢材,需9.6米高栏。", "石家庄市", {"海淀区", "北京市"}},
        {"沈阳市→北京市、天津市,有13米高栏。", "沈阳市", {"北京市", "天津市"}},
        {"9.6米厢式车一辆，载重20吨，现在石家庄，求往郑州中牟县方向的货，运费面议", "石家庄市",
         {"中牟县", "郑州市", "河南省"}},
        // Provinces and autonomous areas by their short names.
        {"郑州到内蒙古，有机械设备", "郑州市", {"内蒙古自治区"}},
        {"长春→延边,有20吨玉米。", "长春市", {"延边朝鲜族自治州", "吉林省"}},
        {"成都到黔东南，急", "成都市", {"黔东南苗族侗族自治州", "贵州省"}},
        // A county name several cities share, with no city before it.
        {"保定到朝阳区，有货", "保定市", {"朝阳区"}},
        // No route in the text: the places it names outside the own area.
        {"石家庄正定县有车，去天津", "石家庄市", {"天津市"}},
        {"本市配送", "石家庄市", {}},
        // A route mark that names no place does not end the search.
        {"货到付款，石家庄到太原", "石家庄市", {"太原市", "山西省"}},
    };
    for (const Case& c : cases)
        EXPECT_THAT(DestinationKeywords(c.body, c.ownArea), UnorderedElementsAreArray(c.keywords)) << c.body;
}

TEST(OriginCounty, TheHomeCitysCountyBeforeTheRoute) {
    struct Case {
        const char* body;
        const char* homeCity;
        const char* county;
    };
    const Case cases[] = {
        {"石家庄市桥西区→北京市朝阳区,有20吨钢材。", "石家庄市", "桥西区"},
        // 桥西区 is also a district of 张家口市: read as the home city's.
        {"桥西区→北京市,有13米高栏。", "石家庄市", "桥西区"},
        {"北京市海淀区→天津市,有货。", "北京市", "海淀区"},
        {"石家庄市→北京市,有货。", "石家庄市", ""},
        {"保定市涿州市→广州市,有货。", "石家庄市", ""},
        // The destination's county is not where it starts.
        {"石家庄到正定县", "石家庄市", ""},
        {"正定县有车", "石家庄市", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(OriginCounty(c.body, c.homeCity), c.county) << c.body;
}

TEST(AreaIndex, ShortNamesOfProvincesAndCities) {
    const std::pair<const char*, const char*> cases[] = {
        {"河北省", "河北"},         {"北京市", "北京"},         {"内蒙古自治区", "内蒙古"},
        {"广西壮族自治区", "广西"}, {"香港特别行政区", "香港"}, {"大兴安岭地区", "大兴安岭"},
        {"锡林郭勒盟", "锡林郭勒"}, {"恩施土家族苗族自治州", "恩施"}, {"巴音郭楞蒙古自治州", "巴音郭楞"},
        {"九龙", "九龙"},
    };
    for (const auto& [full, shortName] : cases) EXPECT_EQ(AreaIndex::ShortName(full), shortName) << full;
}

TEST(AreaIndex, KnowsEveryPlaceOfTheShippedFile) {
    const AreaIndex& areas = ShippedAreas();
    std::size_t provinces = 0, cities = 0, counties = 0;
    for (const AreaIndex::Place& p : areas.places()) {
        provinces += p.level == AreaIndex::Level::kProvince;
        cities += p.level == AreaIndex::Level::kCity;
        counties += p.level == AreaIndex::Level::kCounty;
    }
    EXPECT_EQ(provinces, 34u);
    EXPECT_GT(cities, 300u);
    EXPECT_GT(counties, 2800u);
}

}  // namespace
}  // namespace exsim
