#include "version_list.h"

#include "decimal.h"
#include "gbk_split.h"

namespace tovan {

std::vector<VersionRecord> ParseVersionList(std::string_view body) {
    std::string joined;
    joined.reserve(body.size());
    for (char c : body) {
        if (c != '\r' && c != '\n') joined += c;
    }

    std::vector<VersionRecord> records;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find(',', start);  // ',' is never a GBK second byte
        if (end == std::string::npos) end = joined.size();
        const std::string_view record = std::string_view(joined).substr(start, end - start);
        if (!record.empty()) {
            std::vector<std::string> pieces = SplitGbkSkippingEmpty(record, '|');
            VersionRecord r;
            if (!pieces.empty()) r.name = pieces[0];
            if (pieces.size() > 1) r.version = pieces[1];
            records.push_back(std::move(r));
        }
        start = end + 1;
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
