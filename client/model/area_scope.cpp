#include "client/model/area_scope.h"

#include <algorithm>

#include "text/split.h"

namespace tovan {

std::vector<std::string> SplitAreaList(std::string_view value) {
    return SplitGbkSkippingEmpty(value, '\\');
}

std::vector<std::string> AreaIni::List(const std::string& section, const std::string& key) const {
    return SplitAreaList(reader_.ReadString(path_, section, key, "", kAreaValueBuffer));
}

namespace {

// Tests 1 to 3, shared by both rules.
bool OwnArea(const AreaScope& s, const std::string& name) {
    if (s.areaLevel == 0) return true;
    if (s.areaLevel == 1 && name == s.homeProvince) return true;
    return name == s.homeCity || name == s.thirdArea;
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

bool IsAreaAllowed(const AreaScope& scope, const AreaIni& ini, const std::string& section,
                   const std::string& name) {
    if (OwnArea(scope, name)) return true;
    return Contains(ini.List(section, "XIAN"), name);
}

bool IsWatchAreaAllowed(const AreaScope& scope, const AreaIni& ini, const std::string& name) {
    if (OwnArea(scope, name)) return true;
    if (scope.areaLevel == 1) {
        for (const char* key : {"CS", "XIAN"}) {
            for (const std::string& place : ini.List(scope.homeProvince, key)) {
                if (name == place || IsAreaAllowed(scope, ini, place, name)) return true;
            }
        }
    }
    return IsAreaAllowed(scope, ini, scope.homeCity, name);
}

}  // namespace tovan
