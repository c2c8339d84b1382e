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
        {"北京市", "北京市", {"朝阳区", "海淀区", "丰台区", "大兴区"}},
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

namespace {

// Where a route's destination starts.
const char* const kRouteMarks[] = {"→", "到", "往"};

// The clause after a route mark ends at the first of these.
bool EndsClause(std::string_view text, std::size_t i) {
    static const char* const kEnds[] = {"，", ",", "。", " ", "；", ";", "\t"};
    for (std::string_view end : kEnds)
        if (text.compare(i, end.size(), end) == 0) return true;
    return false;
}

// Positions of the route marks, first to last: {start of mark, end of mark}.
std::vector<std::pair<std::size_t, std::size_t>> RouteMarks(std::string_view body) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t i = 0; i < body.size(); i += GbkCharLen(body, i))
        for (std::string_view mark : kRouteMarks)
            if (body.compare(i, mark.size(), mark) == 0) out.emplace_back(i, i + mark.size());
    return out;
}

std::string_view ClauseFrom(std::string_view body, std::size_t start) {
    std::size_t i = start;
    while (i < body.size() && body[i] == ' ') ++i;
    std::size_t end = i;
    while (end < body.size() && !EndsClause(body, end)) end += GbkCharLen(body, end);
    return body.substr(i, end - i);
}

}  // namespace

const AreaIndex& ShippedAreas() {
    static const AreaIndex index = AreaIndex::FromIni(ShippedAreaIni());
    return index;
}

std::vector<std::string> DestinationKeywords(std::string_view body, std::string_view ownArea) {
    const AreaIndex& areas = ShippedAreas();
    std::vector<std::string> out;
    auto add = [&out](std::string name) {
        if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(std::move(name));
    };
    auto addPlaces = [&](const std::vector<AreaIndex::Named>& places, bool skipOwn) {
        for (const AreaIndex::Named& named : places) {
            if (named.place < 0) {
                // Which of the places of that name is meant is unknown: its name alone.
                if (!skipOwn || named.name != ownArea) add(named.name);
                continue;
            }
            if (skipOwn && areas.IsWithin(named.place, ownArea)) continue;
            for (std::string& name : areas.NameWithParents(named.place)) add(std::move(name));
        }
    };
    for (const auto& mark : RouteMarks(body)) {
        addPlaces(areas.PlacesNamed(ClauseFrom(body, mark.second)), false);
        if (!out.empty()) return out;
    }
    addPlaces(areas.PlacesNamed(body), true);
    return out;
}

std::string OriginCounty(std::string_view body, std::string_view homeCity) {
    const auto marks = RouteMarks(body);
    if (marks.empty()) return "";
    const AreaIndex& areas = ShippedAreas();
    // Read as if the text began with the home city, so that a county name
    // several cities share is taken as the home city's.
    const std::string text = std::string(homeCity) + std::string(body.substr(0, marks.front().first));
    for (const AreaIndex::Named& named : areas.PlacesNamed(text)) {
        if (named.place < 0) continue;
        const AreaIndex::Place& place = areas.places()[static_cast<std::size_t>(named.place)];
        if (place.level == AreaIndex::Level::kCounty && areas.IsWithin(named.place, homeCity)) return place.name;
    }
    return "";
}

}  // namespace exsim
