#include "client/windows/logic/search_criteria.h"

#include "text/quote.h"
#include "text/split.h"

namespace tovan {

std::vector<std::string> SplitStoredList(std::string_view value) { return SplitSkippingEmpty(value, ','); }

std::vector<std::string> OriginProvinces(const AreaIni& areas, const AreaScope& scope) {
    std::vector<std::string> out;
    for (std::string& p : areas.List("全国省城", "SF")) {
        if (scope.areaLevel == 0 || p == scope.homeProvince) out.push_back(std::move(p));
    }
    return out;
}

std::vector<std::string> PlacesOf(const AreaIni& areas, const std::string& province) {
    std::vector<std::string> out = areas.List(province, "CS");
    for (std::string& county : areas.List(province, "XIAN")) out.push_back(std::move(county));
    return out;
}

std::vector<std::string> OriginPlacesOf(const AreaIni& areas, const AreaScope& scope,
                                        const std::string& province) {
    if (scope.areaLevel > 2) return {};
    std::vector<std::string> out;
    for (std::string& place : PlacesOf(areas, province)) {
        if (scope.areaLevel < 2 || place == scope.homeCity) out.push_back(std::move(place));
    }
    return out;
}

std::vector<std::string> StoredOrigins(ProfileReader& profiles, const AreaScope& scope,
                                       const AreaIni& areas) {
    std::vector<std::string> out;
    const std::string from = profiles.ReadString(kUserIni, kSearchSection, "From", "", kSearchListBuffer);
    for (std::string& name : SplitStoredList(from)) {
        if (IsWatchAreaAllowed(scope, areas, name)) out.push_back(std::move(name));
    }
    return out;
}

std::vector<std::string> StoredDestinations(ProfileReader& profiles) {
    return SplitStoredList(
        profiles.ReadString(kUserIni, kSearchSection, "To", "", kSearchListBuffer));
}

SearchOk CheckSearchForm(const SearchForm& form) {
    SearchOk ok;
    if (form.origins.empty()) {
        ok.message = "请选择信息所属地区";
        return ok;
    }
    // The keyword as typed: a keyword of quotes alone still counts here.
    if (!form.allOffersOfClass && form.destinations.empty() && form.keywordText.empty()) {
        ok.message = "请输入搜索的地区或关键字";
        return ok;
    }
    if (!form.cargo && !form.vehicle) {
        ok.message = "请选择搜索的信息类型";
        return ok;
    }
    ok.result.fromList = SingleQuotedList(form.origins);
    ok.result.toList = SingleQuotedList(form.destinations);
    ok.result.keyWords = WithoutSingleQuotes(form.keywordText);
    std::vector<std::string> classes;
    if (form.cargo) classes.emplace_back("货");
    if (form.vehicle) classes.emplace_back("车");
    ok.result.typeList = SingleQuotedList(classes);
    return ok;
}

void SaveSearchSettings(ProfileWriter& profiles, const SearchDialogResult& result,
                        bool storeAsWatch) {
    // Stored as plain names joined by commas; write failures are not reported.
    const std::string from = WithoutSingleQuotes(result.fromList);
    const std::string to = WithoutSingleQuotes(result.toList);
    profiles.WriteString(kUserIni, kSearchSection, "From", from);
    profiles.WriteString(kUserIni, kSearchSection, "To", to);
    if (!storeAsWatch) return;
    profiles.WriteString(kUserIni, kWatchSection, "From", from);
    profiles.WriteString(kUserIni, kWatchSection, "To", to);
    profiles.WriteString(kUserIni, kWatchSection, "KeyWords", result.keyWords);
    profiles.WriteString(kUserIni, kWatchSection, "Type", WithoutSingleQuotes(result.typeList));
}

}  // namespace tovan
