#include "tools/exchange-sim/sample_offers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/exchange-sim/areas.h"
#include "tools/exchange-sim/offer_store.h"

namespace exsim {

namespace {

// A small deterministic generator, so every run has the same offers.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : s_(seed) {}
    std::uint32_t Next(std::uint32_t n) {
        s_ = s_ * 1664525u + 1013904223u;
        return (s_ >> 8) % n;
    }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Next(static_cast<std::uint32_t>(v.size()))]; }

private:
    std::uint32_t s_;
};

const std::vector<std::string> kCargo = {"钢材", "煤炭", "水泥", "化肥", "玉米", "机械设备", "建材",
                                         "日用百货", "蔬菜", "家具", "纸箱", "玻璃", "饮料", "棉纱"};
const std::vector<std::string> kTrucks = {"4.2米厢式车", "6.8米高栏车", "9.6米厢式车", "13米平板车",
                                          "17.5米低栏车", "9.6米冷藏车", "7.6米高栏车"};
const std::vector<std::string> kFreight = {"运费面议", "运费3000元", "运费4500元", "价格从优",
                                           "急走，当天装货", "长期合作", "运费每吨180元"};
const std::vector<std::string> kContacts = {"王先生", "李师傅", "张经理", "刘女士", "赵师傅", "陈先生", "杨经理"};
const std::vector<std::string> kAreaCodes = {"0311", "0312", "0315", "0310", "0531", "0532", "0539",
                                             "0371", "0379", "025", "0512", "020", "0755", "0351", "0571"};
const std::vector<std::string> kPublishers = {"hdwl", "sjzys", "bdkc", "jnlt", "qdgk",
                                              "zzzy", "gzhy", "tyjt", "szwl", "hzsd"};

// Origin weights: the test user's city gets the most offers so that its list
// is longer than one screen of rows.
int OriginWeight(const SampleCity& c) {
    std::string name = c.name;
    if (name == "石家庄市") return 12;
    if (name == "济南市" || name == "郑州市") return 4;
    return 2;
}

std::string Digits(Lcg& r, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + r.Next(10));
    return s;
}

}  // namespace

std::string FormatAddTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d %02d:%02d", tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min);
    return buf;
}

std::vector<SampleOffer> SampleOffers(std::time_t now) {
    const std::vector<SampleCity>& cities = SampleCities();
    std::vector<const SampleCity*> origins;
    for (const SampleCity& c : cities)
        for (int w = OriginWeight(c); w > 0; --w) origins.push_back(&c);

    constexpr int kCount = 640;
    Lcg r(20261209u);
    std::vector<SampleOffer> offers;
    offers.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        SampleOffer s;
        Offer& o = s.offer;
        const SampleCity& from = *origins[r.Next(static_cast<std::uint32_t>(origins.size()))];
        const SampleCity* to = &cities[r.Next(static_cast<std::uint32_t>(cities.size()))];
        if (to == &from) to = &cities[(to - &cities[0] + 1) % cities.size()];
        o.area = from.name;
        o.sheng = from.province;
        o.xian = from.counties.empty() ? from.name : from.counties[r.Next(static_cast<std::uint32_t>(from.counties.size()))];
        s.destCity = to->name;
        std::string dest = ShortCityName(to->name);
        if (!to->counties.empty() && r.Next(3) == 0) {
            s.destCounty = to->counties[r.Next(static_cast<std::uint32_t>(to->counties.size()))];
            dest += s.destCounty;
        }
        std::string contact = r.Pick(kContacts);
        std::string phone = r.Pick(kAreaCodes) + "-" + std::to_string(2 + r.Next(7)) + Digits(r, 7);
        std::string mobile = "13" + Digits(r, 9);
        std::string tail = " 联系人:" + contact + " 电话:" + phone + " ";
        if (r.Next(2)) tail += "手机:" + mobile + " ";

        if (r.Next(5) < 3) {
            o.cls = "货";
            o.body = ShortCityName(from.name) + o.xian + "到" + dest + "，有" + r.Pick(kCargo) +
                     std::to_string(5 + r.Next(30)) + "吨，求" + r.Pick(kTrucks) + "，" + r.Pick(kFreight) + tail;
        } else {
            o.cls = "车";
            o.body = r.Pick(kTrucks) + "一辆，载重" + std::to_string(2 + r.Next(30)) + "吨，现在" +
                     ShortCityName(from.name) + "，求往" + dest + "方向的货，" + r.Pick(kFreight) + tail;
        }
        // Some users publish the same text again (the search counts it once).
        if (i >= 20 && r.Next(10) == 0) {
            const SampleOffer& again = offers[offers.size() - 1 - r.Next(15)];
            if (again.offer.area == o.area) {
                o.body = again.offer.body;
                o.cls = again.offer.cls;
                s.destCity = again.destCity;
                s.destCounty = again.destCounty;
            }
        }
        // The sample accounts own a share of the offers of their city.
        if (o.area == std::string("石家庄市") && r.Next(4) == 0)
            o.byName = r.Next(3) ? "test" : "peer";
        else if (o.area == std::string("济南市") && r.Next(4) == 0)
            o.byName = "sdwl";
        else
            o.byName = r.Pick(kPublishers);
        o.status = r.Next(13) == 0 ? 1 : 0;
        offers.push_back(std::move(s));
    }
    // Oldest first, so that the newest offer gets the highest id.
    std::reverse(offers.begin(), offers.end());
    for (int i = 0; i < kCount; ++i)
        offers[static_cast<std::size_t>(i)].offer.addTime = FormatAddTime(now - static_cast<std::time_t>(kCount - 1 - i) * 7 * 60);
    return offers;
}

int LoadSampleOffers(OfferStore& store, std::time_t now) {
    int added = 0;
    store.Begin();
    for (const SampleOffer& s : SampleOffers(now))
        if (store.Add(s.offer, DestinationKeywords(s.offer.body, s.offer.area)) > 0) ++added;
    store.Commit();
    return added;
}

}  // namespace exsim
