#include "client/windows/logic/watch_cities.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "client/windows/logic/fake_profiles.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kFile[] = "C:\\prog\\guanzhu.ini";

TEST(WatchCitiesTest, WhatIsWrittenComesBackOnTheNextShowing) {
    FakeProfiles p;
    WriteWatchCities(p, kFile, {{"北京", "天津"}, true, true});
    EXPECT_THAT(p.writes, ElementsAre(FakeProfiles::Write{kFile, "关注", "City", "北京\\天津\\"},
                                      FakeProfiles::Write{kFile, "关注", "Type", "货车"}));
    const WatchCitySettings back = ReadWatchCities(p, kFile);
    EXPECT_THAT(back.cities, ElementsAre("北京", "天津"));
    EXPECT_TRUE(back.cargo);
    EXPECT_TRUE(back.vehicle);

    FakeProfiles empty;
    WriteWatchCities(empty, kFile, {{}, false, false});
    EXPECT_THAT(empty.writes, ElementsAre(FakeProfiles::Write{kFile, "关注", "City", ""},
                                          FakeProfiles::Write{kFile, "关注", "Type", ""}));
}

TEST(WatchCitiesTest, ReadsListsAndClassesAsStored) {
    struct Case {
        const char* city;  // null: key missing
        const char* type;
        std::vector<std::string> cities;
        bool cargo, vehicle;
    } cases[] = {
        {nullptr, nullptr, {}, false, false},
        {"\\北京\\\\天津", "车", {"北京", "天津"}, false, true},
        {"北京\\", "货", {"北京"}, true, false},
        {"", "车货", {}, true, true},
        // 货 is BB F5; "盎酢" is B0 BB F5 A1: no 货, though its bytes hold BB F5.
        {"", "盎酢车", {}, false, true},
        // A name whose second byte is "\" stays whole (乗 = 81 5C).
        {"乗\\北京\\", "", {"乗", "北京"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.city ? c.city : "(none)");
        FakeProfiles p;
        if (c.city) p.Set(kFile, "关注", "City", c.city);
        if (c.type) p.Set(kFile, "关注", "Type", c.type);
        const WatchCitySettings s = ReadWatchCities(p, kFile);
        EXPECT_EQ(s.cities, c.cities);
        EXPECT_EQ(s.cargo, c.cargo);
        EXPECT_EQ(s.vehicle, c.vehicle);
    }
}

}  // namespace
}  // namespace tovan
