#include "client/model/search_queries.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

const std::string kBoth = "'车','货'";

TEST(SearchStatements, AreasAndClassesOnly) {
    const QueryCriteria c{"'石家庄市'", kBoth, "", ""};
    EXPECT_EQ(BuildSearchCountStatement(c),
              "SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE (area IN('石家庄市') OR sheng IN "
              "('石家庄市') OR xian IN ('石家庄市')) AND  Class IN ('车','货') ");
    EXPECT_EQ(BuildWatchCountStatement(c),
              "SELECT COUNT(*) FROM MsgIs WHERE (area IN('石家庄市') OR sheng IN ('石家庄市') OR "
              "xian IN ('石家庄市')) AND  Class IN ('车','货') ");
    EXPECT_EQ(BuildSearchRecordStatement(c),
              "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM "
              "MsgIs WHERE  (area IN('石家庄市') OR sheng IN ('石家庄市') OR xian IN ('石家庄市')) "
              "AND  Class IN ('车','货')  AND [ID] IN (SELECT MAX([ID]) FROM MsgIs GROUP BY BodyIs)  "
              "ORDER BY ID DESC");
    EXPECT_EQ(BuildWatchRecordStatement(c),
              "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM "
              "MsgIs WHERE  (area IN('石家庄市') OR sheng IN ('石家庄市') OR xian IN ('石家庄市')) "
              "AND  Class IN ('车','货')  ORDER BY ID DESC");
}

TEST(SearchStatements, DestinationsAndKeywordTails) {
    const std::string where =
        "(area IN('河北省','正定县') OR sheng IN ('河北省','正定县') OR xian IN ('河北省','正定县')) "
        "AND  Class IN ('货') ";
    const std::string dest = " id IN (SELECT fid FROM msgfull WHERE gjz IN ('广州市','郑州市'))";
    const std::string text = " CHARINDEX('钢材',bodyis)>0 ";
    const std::string records =
        "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM MsgIs "
        "WHERE  ";
    struct Case {
        const char* name;
        QueryCriteria c;
        std::string countTail;    // after the class list, in the count statements
        std::string recordTail;   // after the class list, in the record statements
    };
    const Case cases[] = {
        {"both", {"'河北省','正定县'", "'货'", "'广州市','郑州市'", "钢材"},
         "AND (" + dest + " OR " + text + ")", " AND (" + dest + " OR " + text + ")"},
        {"destinations", {"'河北省','正定县'", "'货'", "'广州市','郑州市'", ""},
         "AND (" + dest + ")", " AND (" + dest + ")"},
        {"keyword", {"'河北省','正定县'", "'货'", "", "钢材"}, "AND (" + text + ")",
         " AND (" + text + ")"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(BuildSearchCountStatement(k.c),
                  "SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE " + where + k.countTail)
            << k.name;
        EXPECT_EQ(BuildWatchCountStatement(k.c), "SELECT COUNT(*) FROM MsgIs WHERE " + where + k.countTail)
            << k.name;
        EXPECT_EQ(BuildSearchRecordStatement(k.c),
                  records + where + k.recordTail +
                      " AND [ID] IN (SELECT MAX([ID]) FROM MsgIs GROUP BY BodyIs)  ORDER BY ID DESC")
            << k.name;
        EXPECT_EQ(BuildWatchRecordStatement(k.c), records + where + k.recordTail + " ORDER BY ID DESC")
            << k.name;
    }
}

TEST(SearchStatements, EmptyListsStayValidSql) {
    // An empty class or area list matches nothing, but the statement still parses.
    const QueryCriteria c{"''", "", "", ""};
    EXPECT_EQ(BuildWatchCountStatement(c),
              "SELECT COUNT(*) FROM MsgIs WHERE (area IN('') OR sheng IN ('') OR xian IN ('')) AND  "
              "Class IN ('') ");
    const QueryCriteria empty{"", "''", "", ""};
    EXPECT_EQ(BuildWatchCountStatement(empty), BuildWatchCountStatement(c));
}

TEST(SearchStatements, UserTextCannotLeaveItsLiteral) {
    // The search dialog removes quotes from the keyword, the watch command
    // from every [关注] value; the statements hold to that whatever they get.
    const QueryCriteria c{"'甲') OR 1=1 --','乙'", "'货'", "'丙'')) OR (1=1", "x') OR 1=1 --"};
    EXPECT_EQ(BuildSearchCountStatement(c),
              "SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE (area IN('甲) OR 1=1 --','乙') OR sheng "
              "IN ('甲) OR 1=1 --','乙') OR xian IN ('甲) OR 1=1 --','乙')) AND  Class IN ('货') AND "
              "( id IN (SELECT fid FROM msgfull WHERE gjz IN ('丙)) OR (1=1')) OR  CHARINDEX('x) OR "
              "1=1 --',bodyis)>0 )");
}

TEST(CleanQueryText, KeepsWholeCharactersAndDropsWhatBreaksTheMessage) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"钢材 30吨", "钢材 30吨"},
        {"a'b''", "ab"},
        {"x^!ADDMSG!|货|y", "x!ADDMSG!货y"},     // "^" would end the message, "|" split it
        {"\x81^a\x81|b", "ab"},                // characters ending in a wire sign go whole
        {"钢\xB2", "钢"},                        // cut inside a character at the end
        {"\xB2'x", "x"},                         // a lead byte must not take the quote
        {"\xB2\x7F", "\x7F"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanQueryText(c.in), c.out) << c.in;
}

TEST(QuoteNameList, QuotesCommaListsAndKeepsWellFormedOnes) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"甲,乙", "'甲','乙'"},
        {"甲", "'甲'"},
        {"", "''"},
        {"甲,,乙", "'甲','','乙'"},
        {"'甲','乙'", "'甲','乙'"},
        {"'甲','','乙'", "'甲','','乙'"},
        {"''", "''"},
        {"'甲',乙'", "'甲','乙'"},
    };
    for (const Case& c : cases) EXPECT_EQ(QuoteNameList(c.in), c.out) << c.in;
}

TEST(CountMessages, FormattedWhenTheyFitTheBufferAndRefusedWhole) {
    QueryCriteria c{"'石家庄市'", kBoth, "", "k"};
    EXPECT_EQ(*SearchCountMessage(c), "!SOUSUOCOUNT!|" + BuildSearchCountStatement(c) + "^");
    EXPECT_EQ(*WatchCountMessage(c), "!GUANZHUCOUNT!|" + BuildWatchCountStatement(c) + "^");

    // Grow the keyword until the message takes the whole buffer but its NUL.
    for (auto* message : {&SearchCountMessage, &WatchCountMessage}) {
        c.keyword = "k";
        const std::size_t base = (*message)(c)->size();
        c.keyword.append(kCountMessageBufferSize - 1 - base, 'k');
        ASSERT_TRUE((*message)(c).has_value());
        EXPECT_EQ((*message)(c)->size(), kCountMessageBufferSize - 1);
        c.keyword += 'k';
        EXPECT_FALSE((*message)(c).has_value());
    }
}

}  // namespace
}  // namespace tovan
