// Every province, city and county of an area.ini, and the places an offer
// text names. Offer texts write places by their full names ("北京市",
// "朝阳区") or, for provinces and cities, by short ones ("北京", "内蒙古");
// the client's search criteria always name them in full.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace exsim {

class AreaIndex {
public:
    enum class Level { kProvince = 0, kCity = 1, kCounty = 2 };
    struct Place {
        std::string name;  // full name, as area.ini spells it
        Level level;
        int parent;        // index of the province or city above, -1 for a province
    };

    // Reads the GBK bytes of an area.ini ([全国省城] SF, <province> CS and
    // XIAN, <city> XIAN; "\"-separated lists).
    static AreaIndex FromIni(std::string_view ini);

    const std::vector<Place>& places() const { return places_; }

    struct Named {
        std::string name;  // full name
        int place;         // -1 when several places have that name
    };
    // The places named in text, in order of appearance; at each position the
    // longest name wins, so "朝阳区" is read before "朝阳". A name shared by
    // several places is read as the one inside a place named before it in
    // the same text, else as the one of the highest level. When that still
    // leaves several of one full name (a county name used in two cities),
    // the name is given without a place; of several full names, none.
    std::vector<Named> PlacesNamed(std::string_view text) const;

    // The place and every place above it, as full names, nearest first.
    std::vector<std::string> NameWithParents(int place) const;
    // Whether `ancestor` (a full name) is the place itself or above it.
    bool IsWithin(int place, std::string_view ancestor) const;

    // The short name of a province or city ("河北省" -> "河北",
    // "广西壮族自治区" -> "广西"); the name itself when it has none.
    static std::string ShortName(std::string_view fullName);

private:
    int Add(std::string name, Level level, int parent);
    void AddName(const std::string& name, int place);

    std::vector<Place> places_;
    std::unordered_map<std::string, std::vector<int>> byName_;
    std::size_t longestName_ = 0;
};

}  // namespace exsim
