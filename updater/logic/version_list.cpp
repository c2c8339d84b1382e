#include "updater/logic/version_list.h"

#include "text/decimal.h"
#include "text/split.h"

namespace tovan {

std::vector<VersionRecord> ParseVersionList(std::string_view body) {
    std::string joined;
    joined.reserve(body.size());
    for (char c : body) {
        if (c != '\r' && c != '\n') joined += c;
    }

    // Cut by characters, as the client's check cuts it: a byte "," after a
    // lead byte belongs to that character for both, or they would disagree
    // on what is listed.
    std::vector<VersionRecord> records;
    for (const std::string& record : SplitGbkSkippingEmpty(joined, ',')) {
        std::vector<std::string> pieces = SplitGbkSkippingEmpty(record, '|');
        VersionRecord r;
        if (!pieces.empty()) r.name = pieces[0];
        if (pieces.size() > 1) r.version = pieces[1];
        records.push_back(std::move(r));
    }
    return records;
}

std::uint32_t ListedVersion(std::string_view versionText) {
    return static_cast<std::uint32_t>(DecimalValue(versionText));
}

bool IsNewerVersion(std::uint32_t installed, std::string_view versionText) {
    return installed < ListedVersion(versionText);
}

}  // namespace tovan
