#include "client/model/search_queries.h"

#include "text/gbk.h"
#include "text/replace.h"

namespace tovan {
namespace {

// Statement pieces; every blank in them matters to the server's parser and to
// the texts it has seen before.
constexpr const char* kSearchCountHead = "SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE (area IN(";
constexpr const char* kWatchCountHead = "SELECT COUNT(*) FROM MsgIs WHERE (area IN(";
constexpr const char* kRecordsHead =
    "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM MsgIs "
    "WHERE  (area IN(";
constexpr const char* kOrSheng = ") OR sheng IN (";
constexpr const char* kOrXian = ") OR xian IN (";
constexpr const char* kAnd = ")) AND ";
constexpr const char* kClass = " Class IN (";
constexpr const char* kClose = ") ";
constexpr const char* kOpenCount = "AND (";
constexpr const char* kOpenRecords = " AND (";
constexpr const char* kDest = " id IN (SELECT fid FROM msgfull WHERE gjz IN (";
constexpr const char* kDestEnd = "))";
constexpr const char* kOr = " OR ";
constexpr const char* kText = " CHARINDEX('";
constexpr const char* kTextEnd = "',bodyis)>0 ";
constexpr const char* kEnd = ")";
constexpr const char* kDedupe = " AND [ID] IN (SELECT MAX([ID]) FROM MsgIs GROUP BY BodyIs) ";
constexpr const char* kOrder = " ORDER BY ID DESC";

std::string Where(const char* head, const QueryCriteria& c, const char* open) {
    const std::string areas = QuoteNameList(c.areas);
    const std::string classes = QuoteNameList(c.classes);
    const std::string dest = c.destinations.empty() ? std::string() : QuoteNameList(c.destinations);
    const std::string text = CleanQueryText(c.keyword);

    std::string s = head;
    s += areas;
    s += kOrSheng;
    s += areas;
    s += kOrXian;
    s += areas;
    s += kAnd;
    s += kClass;
    s += classes;
    s += kClose;
    if (!dest.empty() || !text.empty()) s += open;
    if (!dest.empty()) {
        s += kDest;
        s += dest;
        s += kDestEnd;
    }
    if (!dest.empty() && !text.empty()) s += kOr;
    if (!text.empty()) {
        s += kText;
        s += text;
        s += kTextEnd;
    }
    if (!dest.empty() || !text.empty()) s += kEnd;
    return s;
}

}  // namespace

std::string CleanQueryText(std::string_view raw) {
    const std::string reduced = ReduceWireSignCharacters(raw);
    const std::string_view text = reduced;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsGbkLeadByte(c)) {
            if (i + 1 < text.size() && IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]))) {
                out += text[i];
                out += text[++i];
            }
            // else: a lead byte without its second byte is dropped
        } else if (c != '\'' && c != '^' && c != '|') {
            out += text[i];
        }
    }
    return out;
}

std::string QuoteNameList(std::string_view names) {
    // Quotes go (CleanQueryText drops them) and commas stay, so '甲','','乙'
    // becomes 甲,,乙 and is quoted back to the same text.
    const std::string clean = CleanQueryText(names);
    std::string out = "'";
    for (char ch : clean) {
        if (ch == ',')
            out += "','";
        else
            out += ch;
    }
    out += '\'';
    return out;
}

std::string BuildSearchCountStatement(const QueryCriteria& c) {
    return Where(kSearchCountHead, c, kOpenCount);
}

std::string BuildSearchRecordStatement(const QueryCriteria& c) {
    return Where(kRecordsHead, c, kOpenRecords) + kDedupe + kOrder;
}

std::string BuildWatchCountStatement(const QueryCriteria& c) {
    return Where(kWatchCountHead, c, kOpenCount);
}

std::string BuildWatchRecordStatement(const QueryCriteria& c) {
    return Where(kRecordsHead, c, kOpenRecords) + kOrder;
}

std::optional<std::string> SearchCountMessage(const QueryCriteria& c) {
    return SousuoCountMessage(BuildSearchCountStatement(c));
}

std::optional<std::string> WatchCountMessage(const QueryCriteria& c) {
    return GuanzhuCountMessage(BuildWatchCountStatement(c));
}

}  // namespace tovan
