#include "tools/exchange-sim/area_index.h"

#include <algorithm>
#include <map>
#include <optional>

#include "tools/exchange-sim/wire.h"

namespace exsim {

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

Sections ParseIni(std::string_view ini) {
    Sections out;
    std::string section;
    while (!ini.empty()) {
        const std::size_t end = ini.find('\n');
        std::string_view line = Trim(ini.substr(0, end));
        ini.remove_prefix(end == std::string_view::npos ? ini.size() : end + 1);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) out[section][std::string(Trim(line.substr(0, eq)))] = std::string(line.substr(eq + 1));
    }
    return out;
}

// The "\"-separated items of a value, empty ones skipped. A GBK trail byte
// may equal "\", so the list is walked by characters.
std::vector<std::string> Items(const Sections& ini, std::string_view section, const char* key) {
    std::vector<std::string> out;
    const auto s = ini.find(section);
    if (s == ini.end()) return out;
    const auto k = s->second.find(key);
    if (k == s->second.end()) return out;
    const std::string& v = k->second;
    std::string item;
    for (std::size_t i = 0; i < v.size();) {
        const std::size_t n = GbkCharLen(v, i);
        if (n == 1 && v[i] == '\\') {
            if (!item.empty()) out.push_back(item);
            item.clear();
        } else {
            item.append(v, i, n);
        }
        i += n;
    }
    if (!item.empty()) out.push_back(item);
    return out;
}

std::size_t CharCount(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += GbkCharLen(s, i)) ++n;
    return n;
}

// Whether s ends with tail, and tail starts at a character of s.
bool EndsWith(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size() || s.substr(s.size() - tail.size()) != tail) return false;
    std::size_t i = 0;
    while (i < s.size() - tail.size()) i += GbkCharLen(s, i);
    return i == s.size() - tail.size();
}

}  // namespace

std::string AreaIndex::ShortName(std::string_view fullName) {
    static const char* const kSuffixes[] = {"特别行政区", "自治区", "自治州", "地区", "省", "市", "盟"};
    // Peoples named in autonomous areas, dropped from the end of their short names.
    static const char* const kPeoples[] = {"蒙古族", "蒙古", "维吾尔", "哈萨克", "柯尔克孜", "朝鲜族", "土家族",
                                           "布依族", "景颇族", "傈僳族", "哈尼族", "藏族", "苗族", "侗族",
                                           "傣族", "白族", "彝族", "羌族", "壮族", "回族"};
    std::string_view s = fullName;
    for (const char* suffix : kSuffixes) {
        if (!EndsWith(s, suffix)) continue;
        std::string_view rest = s.substr(0, s.size() - std::string_view(suffix).size());
        if (CharCount(rest) >= 2) s = rest;
        break;
    }
    for (bool cut = true; cut;) {
        cut = false;
        for (const char* people : kPeoples) {
            if (!EndsWith(s, people)) continue;
            std::string_view rest = s.substr(0, s.size() - std::string_view(people).size());
            if (CharCount(rest) < 2) continue;
            s = rest;
            cut = true;
        }
    }
    return std::string(s);
}

int AreaIndex::Add(std::string name, Level level, int parent) {
    const int id = static_cast<int>(places_.size());
    places_.push_back({std::move(name), level, parent});
    const std::string& full = places_.back().name;
    AddName(full, id);
    if (level != Level::kCounty) {
        const std::string shortName = ShortName(full);
        if (shortName != full) AddName(shortName, id);
    }
    return id;
}

void AreaIndex::AddName(const std::string& name, int place) {
    std::vector<int>& ids = byName_[name];
    if (std::find(ids.begin(), ids.end(), place) == ids.end()) ids.push_back(place);
    longestName_ = std::max(longestName_, name.size());
}

AreaIndex AreaIndex::FromIni(std::string_view ini) {
    const Sections sections = ParseIni(ini);
    AreaIndex index;
    for (const std::string& province : Items(sections, "全国省城", "SF")) {
        const int p = index.Add(province, Level::kProvince, -1);
        // A municipality lists itself as its one city; its districts are the
        // province's own counties.
        for (const std::string& county : Items(sections, province, "XIAN")) index.Add(county, Level::kCounty, p);
        for (const std::string& city : Items(sections, province, "CS")) {
            if (city == province) continue;
            const int c = index.Add(city, Level::kCity, p);
            for (const std::string& county : Items(sections, city, "XIAN")) index.Add(county, Level::kCounty, c);
        }
    }
    return index;
}

bool AreaIndex::IsWithin(int place, std::string_view ancestor) const {
    for (int p = place; p >= 0; p = places_[static_cast<std::size_t>(p)].parent)
        if (places_[static_cast<std::size_t>(p)].name == ancestor) return true;
    return false;
}

std::vector<std::string> AreaIndex::NameWithParents(int place) const {
    std::vector<std::string> out;
    for (int p = place; p >= 0; p = places_[static_cast<std::size_t>(p)].parent) {
        const std::string& name = places_[static_cast<std::size_t>(p)].name;
        if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    }
    return out;
}

std::vector<AreaIndex::Named> AreaIndex::PlacesNamed(std::string_view text) const {
    std::vector<Named> found;
    auto place = [this](int id) -> const Place& { return places_[static_cast<std::size_t>(id)]; };
    auto isAbove = [&](int above, int id) {
        for (int p = place(id).parent; p >= 0; p = place(p).parent)
            if (p == above) return true;
        return false;
    };
    auto resolve = [&](const std::vector<int>& candidates) -> std::optional<Named> {
        for (auto named = found.rbegin(); named != found.rend(); ++named)
            if (named->place >= 0)
                for (int c : candidates)
                    if (isAbove(named->place, c)) return Named{place(c).name, c};
        std::vector<int> highest;
        for (int c : candidates) {
            if (!highest.empty() && place(c).level > place(highest[0]).level) continue;
            if (!highest.empty() && place(c).level < place(highest[0]).level) highest.clear();
            highest.push_back(c);
        }
        if (highest.size() == 1) return Named{place(highest[0]).name, highest[0]};
        for (int c : highest)
            if (place(c).name != place(highest[0]).name) return std::nullopt;
        return Named{place(highest[0]).name, -1};
    };

    std::string key;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t matched = 0;
        if (IsGbkLead(static_cast<unsigned char>(text[pos]))) {
            for (std::size_t len = std::min(longestName_, text.size() - pos); len >= 2; --len) {
                key.assign(text.substr(pos, len));
                const auto it = byName_.find(key);
                if (it == byName_.end()) continue;
                if (std::optional<Named> named = resolve(it->second)) found.push_back(std::move(*named));
                matched = len;
                break;
            }
        }
        pos += matched ? matched : GbkCharLen(text, pos);
    }
    return found;
}

}  // namespace exsim
