#include "client/model/update_check.h"

#include "text/gbk.h"
#include "updater/logic/update_files.h"

namespace tovan {

std::vector<ListedFile> ParseClientVersionList(std::string_view body) {
    std::string joined;
    joined.reserve(body.size());
    for (char c : body) {
        if (c != '\r' && c != '\n') joined += c;
    }
    const std::string_view text(joined);

    std::vector<ListedFile> files;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = GbkFind(text, ",", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view item = text.substr(start, end - start);
        ListedFile f;
        const std::size_t bar = GbkFind(item, "|");
        if (bar == std::string_view::npos) {
            f.name = std::string(item);
        } else {
            f.name = std::string(item.substr(0, bar));
            const std::size_t next = GbkFind(item, "|", bar + 1);
            f.version = std::string(item.substr(
                bar + 1, next == std::string_view::npos ? std::string_view::npos : next - bar - 1));
        }
        files.push_back(std::move(f));
        start = end + 1;
    }
    return files;
}

bool UpdateIsDue(std::string_view body, ProfileReader& profiles, const std::string& updateIni) {
    for (const ListedFile& f : ParseClientVersionList(body)) {
        if (f.name.empty()) continue;
        const auto installed =
            static_cast<std::uint32_t>(profiles.ReadInt(updateIni, f.name, "Version", 1));
        if (IsUpdateDue(f.name, f.version, installed)) return true;
    }
    return false;
}

}  // namespace tovan
