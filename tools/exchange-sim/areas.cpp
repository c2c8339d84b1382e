#include "tools/exchange-sim/areas.h"

#include <algorithm>

#include "tools/exchange-sim/wire.h"

namespace exsim {

const std::vector<SampleCity>& SampleCities() {
    static const std::vector<SampleCity> cities = {
        {"石家庄市", "河北省", {"长安区", "桥西区", "正定县", "辛集市"}},
        {"保定市", "河北省", {"竞秀区", "涿州市", "定州市"}},
        {"唐山市", "河北省", {"路北区", "迁安市", "遵化市"}},
        {"邯郸市", "河北省", {"丛台区", "武安市"}},
        {"沧州市", "河北省", {"运河区", "黄骅市"}},
        {"济南市", "山东省", {"历下区", "章丘区", "平阴县"}},
        {"青岛市", "山东省", {"黄岛区", "胶州市", "即墨区"}},
        {"临沂市", "山东省", {"兰山区", "郯城县"}},
        {"潍坊市", "山东省", {"寿光市", "青州市"}},
        {"郑州市", "河南省", {"金水区", "中牟县", "新郑市"}},
        {"洛阳市", "河南省", {"西工区", "偃师区"}},
        {"新乡市", "河南省", {"卫辉市"}},
        {"南京市", "江苏省", {"江宁区"}},
        {"苏州市", "江苏省", {"昆山市", "常熟市"}},
        {"徐州市", "江苏省", {"邳州市"}},
        {"广州市", "广东省", {"白云区", "番禺区"}},
        {"深圳市", "广东省", {"宝安区", "龙岗区"}},
        {"东莞市", "广东省", {}},
        {"太原市", "山西省", {"小店区", "清徐县"}},
        {"杭州市", "浙江省", {"萧山区"}},
        {"宁波市", "浙江省", {"北仑区"}},
    };
    return cities;
}

const SampleCity* FindCity(std::string_view name) {
    for (const SampleCity& c : SampleCities())
        if (name == c.name) return &c;
    return nullptr;
}

std::string ShortCityName(std::string_view name) {
    // Every sample city name ends in the two bytes of one character.
    return std::string(name.size() > 2 ? name.substr(0, name.size() - 2) : name);
}

std::vector<std::string> DestinationKeywords(std::string_view body, std::string_view ownArea) {
    std::vector<std::string> out;
    auto add = [&out](std::string_view k) {
        if (std::find(out.begin(), out.end(), k) == out.end()) out.emplace_back(k);
    };
    for (const SampleCity& c : SampleCities()) {
        bool named = GbkContains(body, ShortCityName(c.name));
        for (const char* county : c.counties) {
            // The own city's counties name where the offer starts, not where it goes.
            if (ownArea != c.name && GbkContains(body, county)) {
                add(county);
                named = true;
            }
        }
        if (named && ownArea != c.name) {
            add(c.name);
            add(c.province);
        }
    }
    return out;
}

}  // namespace exsim
