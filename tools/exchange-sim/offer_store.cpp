#include "tools/exchange-sim/offer_store.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

#include "tools/exchange-sim/wire.h"

namespace exsim {

namespace {

// Work bound of one client query, in SQLite virtual machine steps.
constexpr int kProgressPeriod = 1000;
constexpr int kProgressBudget = 20000;  // x period = 20 million steps
constexpr std::int64_t kMaxRowsPerRequest = 500;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS MsgIs ("
    " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Class TEXT NOT NULL DEFAULT '',"
    " ByName TEXT NOT NULL DEFAULT '',"
    " AddTime TEXT NOT NULL DEFAULT '',"
    " Area TEXT NOT NULL DEFAULT '',"
    " Sheng TEXT NOT NULL DEFAULT '',"
    " Status INTEGER NOT NULL DEFAULT 0,"
    " BodyIs TEXT NOT NULL DEFAULT '',"
    " xian TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE IF NOT EXISTS msgfull (fid INTEGER NOT NULL, gjz TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS MsgIs_Area ON MsgIs(Area);"
    "CREATE INDEX IF NOT EXISTS MsgIs_Sheng ON MsgIs(Sheng);"
    "CREATE INDEX IF NOT EXISTS MsgIs_xian ON MsgIs(xian);"
    "CREATE INDEX IF NOT EXISTS MsgIs_ByName ON MsgIs(ByName);"
    "CREATE INDEX IF NOT EXISTS msgfull_gjz ON msgfull(gjz);"
    "CREATE INDEX IF NOT EXISTS msgfull_fid ON msgfull(fid);";

const char* const kAreaWhere = " FROM MsgIs WHERE Area=?1 OR Sheng=?1 OR xian=?1";
const char* const kColumns = "SELECT ID,Class,ByName,AddTime,Area,Sheng,Status,BodyIs,xian";

// Owns a prepared statement.
struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) s = nullptr;
    }
    ~Stmt() { sqlite3_finalize(s); }
    void Bind(int i, std::string_view v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    void Bind(int i, std::int64_t v) { sqlite3_bind_int64(s, i, v); }
};

std::string ColumnText(sqlite3_stmt* s, int i) {
    const unsigned char* t = sqlite3_column_text(s, i);
    return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_column_bytes(s, i)) : std::string();
}

bool SameName(const char* a, const char* b) {
    if (!a) return false;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// Reads one row, each field looked up by its column name.
Offer ReadOffer(sqlite3_stmt* s) {
    Offer o;
    int n = sqlite3_column_count(s);
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(s, i);
        if (SameName(name, "ID")) o.id = sqlite3_column_int64(s, i);
        else if (SameName(name, "Class")) o.cls = ColumnText(s, i);
        else if (SameName(name, "ByName")) o.byName = ColumnText(s, i);
        else if (SameName(name, "AddTime")) o.addTime = ColumnText(s, i);
        else if (SameName(name, "Area")) o.area = ColumnText(s, i);
        else if (SameName(name, "Sheng")) o.sheng = ColumnText(s, i);
        else if (SameName(name, "Status")) o.status = sqlite3_column_int(s, i);
        else if (SameName(name, "BodyIs")) o.body = ColumnText(s, i);
        else if (SameName(name, "xian")) o.xian = ColumnText(s, i);
    }
    return o;
}

// Client query texts may only read.
int ReadOnlyAuthorizer(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

int ProgressBudget(void* counter) {
    return ++*static_cast<int*>(counter) > kProgressBudget ? 1 : 0;
}

void CharIndexFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    const unsigned char* n = sqlite3_value_text(argv[0]);
    int nlen = sqlite3_value_bytes(argv[0]);
    const unsigned char* h = sqlite3_value_text(argv[1]);
    int hlen = sqlite3_value_bytes(argv[1]);
    if (!n || !h) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    std::string_view needle(reinterpret_cast<const char*>(n), static_cast<std::size_t>(nlen));
    std::string_view hay(reinterpret_cast<const char*>(h), static_cast<std::size_t>(hlen));
    std::size_t from = 0;
    if (argc > 2) {
        sqlite3_int64 start = sqlite3_value_int64(argv[2]);
        // Start at the first character boundary at or after the 1-based start.
        if (start > 1) {
            while (from < hay.size() && static_cast<sqlite3_int64>(from) < start - 1)
                from += GbkCharLen(hay, from);
        }
    }
    std::size_t pos = from <= hay.size() ? GbkFind(hay, needle, from) : std::string_view::npos;
    sqlite3_result_int64(ctx, pos == std::string_view::npos ? 0 : static_cast<sqlite3_int64>(pos) + 1);
}

}  // namespace

void RegisterCharIndex(sqlite3* db) {
    for (int nargs : {2, 3})
        sqlite3_create_function(db, "CHARINDEX", nargs, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                CharIndexFunc, nullptr, nullptr);
}

std::vector<std::int64_t> ParseIdList(std::string_view list) {
    std::vector<std::int64_t> ids;
    std::size_t i = 0;
    while (i <= list.size()) {
        std::size_t comma = list.find(',', i);
        if (comma == std::string_view::npos) comma = list.size();
        std::string_view item = list.substr(i, comma - i);
        bool digits = !item.empty() && item.size() <= 18;
        for (char c : item) digits = digits && c >= '0' && c <= '9';
        if (digits) {
            std::int64_t v = 0;
            for (char c : item) v = v * 10 + (c - '0');
            if (v > 0) ids.push_back(v);
        }
        i = comma + 1;
    }
    return ids;
}

struct OfferStore::ClientStatement {
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
    int progress = 0;
    explicit ClientStatement(sqlite3* d) : db(d) {
        sqlite3_progress_handler(db, kProgressPeriod, ProgressBudget, &progress);
    }
    ~ClientStatement() {
        sqlite3_finalize(stmt);
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
    }
};

std::unique_ptr<OfferStore> OfferStore::Open(const std::string& path, std::string* error) {
    sqlite3* db = nullptr;
    std::string p = path.empty() ? ":memory:" : path;
    if (sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        if (error) *error = db ? sqlite3_errmsg(db) : "cannot open database";
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<OfferStore> store(new OfferStore(db));
    // No single value of a client query may grow beyond this (zeroblob, printf...).
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 20);
    RegisterCharIndex(db);
    if (!store->Exec(kSchema)) {
        if (error) *error = sqlite3_errmsg(db);
        return nullptr;
    }
    return store;
}

OfferStore::~OfferStore() { sqlite3_close(db_); }

bool OfferStore::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void OfferStore::Begin() { Exec("BEGIN"); }
void OfferStore::Commit() { Exec("COMMIT"); }

std::int64_t OfferStore::Add(const Offer& o, const std::vector<std::string>& keywords) {
    Stmt ins(db_,
             "INSERT INTO MsgIs (Class,ByName,AddTime,Area,Sheng,Status,BodyIs,xian)"
             " VALUES (?1,?2,?3,?4,?5,?6,?7,?8)");
    if (!ins.s) return -1;
    ins.Bind(1, GbkCut(o.cls, kClassWidth));
    ins.Bind(2, GbkCut(o.byName, kByNameWidth));
    ins.Bind(3, GbkCut(o.addTime, kAddTimeWidth));
    ins.Bind(4, GbkCut(o.area, kAreaWidth));
    ins.Bind(5, GbkCut(o.sheng, kShengWidth));
    ins.Bind(6, static_cast<std::int64_t>(o.status));
    ins.Bind(7, GbkCut(o.body, kBodyWidth));
    ins.Bind(8, GbkCut(o.xian, kXianWidth));
    if (sqlite3_step(ins.s) != SQLITE_DONE) return -1;
    std::int64_t id = sqlite3_last_insert_rowid(db_);
    Stmt kw(db_, "INSERT INTO msgfull (fid,gjz) VALUES (?1,?2)");
    for (const std::string& k : keywords) {
        if (!kw.s) break;
        sqlite3_reset(kw.s);
        kw.Bind(1, id);
        kw.Bind(2, k);
        sqlite3_step(kw.s);
    }
    return id;
}

std::optional<Offer> OfferStore::Get(std::int64_t id) {
    Stmt q(db_, std::string(kColumns) + " FROM MsgIs WHERE ID=?1");
    if (!q.s) return std::nullopt;
    q.Bind(1, id);
    if (sqlite3_step(q.s) != SQLITE_ROW) return std::nullopt;
    return ReadOffer(q.s);
}

std::int64_t OfferStore::Size() {
    Stmt q(db_, "SELECT COUNT(*) FROM MsgIs");
    return q.s && sqlite3_step(q.s) == SQLITE_ROW ? sqlite3_column_int64(q.s, 0) : 0;
}

std::int64_t OfferStore::CountArea(std::string_view key) {
    Stmt q(db_, std::string("SELECT COUNT(*)") + kAreaWhere);
    if (!q.s) return 0;
    q.Bind(1, key);
    return sqlite3_step(q.s) == SQLITE_ROW ? sqlite3_column_int64(q.s, 0) : 0;
}

std::vector<Offer> OfferStore::AreaRows(std::string_view key, std::int64_t first, std::int64_t count) {
    std::vector<Offer> rows;
    if (first < 0 || count <= 0) return rows;
    if (count > kMaxRowsPerRequest) count = kMaxRowsPerRequest;
    Stmt q(db_, std::string(kColumns) + kAreaWhere + " ORDER BY ID DESC LIMIT ?2 OFFSET ?3");
    if (!q.s) return rows;
    q.Bind(1, key);
    q.Bind(2, count);
    q.Bind(3, first);
    while (sqlite3_step(q.s) == SQLITE_ROW) rows.push_back(ReadOffer(q.s));
    return rows;
}

std::int64_t OfferStore::CountByUser(std::string_view userId) {
    Stmt q(db_, "SELECT COUNT(*) FROM MsgIs WHERE ByName=?1");
    if (!q.s) return 0;
    q.Bind(1, userId);
    return sqlite3_step(q.s) == SQLITE_ROW ? sqlite3_column_int64(q.s, 0) : 0;
}

std::unique_ptr<OfferStore::ClientStatement> OfferStore::PrepareClientQuery(std::string_view sql) {
    lastQueryError_.clear();
    auto cs = std::make_unique<ClientStatement>(db_);
    const char* tail = nullptr;
    sqlite3_set_authorizer(db_, ReadOnlyAuthorizer, nullptr);
    int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &cs->stmt, &tail);
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    if (rc != SQLITE_OK || !cs->stmt) {
        lastQueryError_ = rc != SQLITE_OK ? sqlite3_errmsg(db_) : "empty query";
        return nullptr;
    }
    // One statement only: nothing but blanks and ";" may follow it.
    for (const char* t = tail; t && t < sql.data() + sql.size(); ++t) {
        if (!std::isspace(static_cast<unsigned char>(*t)) && *t != ';') {
            lastQueryError_ = "more than one statement";
            return nullptr;
        }
    }
    if (!sqlite3_stmt_readonly(cs->stmt)) {
        lastQueryError_ = "not a read-only statement";
        return nullptr;
    }
    return cs;
}

std::int64_t OfferStore::CountQuery(std::string_view sql) {
    auto cs = PrepareClientQuery(sql);
    if (!cs) return 0;
    int rc = sqlite3_step(cs->stmt);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) lastQueryError_ = sqlite3_errmsg(db_);
        return 0;
    }
    if (sqlite3_column_count(cs->stmt) < 1) return 0;
    std::int64_t n = sqlite3_column_int64(cs->stmt, 0);
    return n < 0 ? 0 : n;
}

std::vector<Offer> OfferStore::RowsQuery(std::string_view sql, std::int64_t first, std::int64_t count) {
    std::vector<Offer> rows;
    if (first < 0 || count <= 0) return rows;
    if (count > kMaxRowsPerRequest) count = kMaxRowsPerRequest;
    auto cs = PrepareClientQuery(sql);
    if (!cs) return rows;
    std::int64_t index = 0;
    int rc;
    while ((rc = sqlite3_step(cs->stmt)) == SQLITE_ROW) {
        if (index++ < first) continue;
        rows.push_back(ReadOffer(cs->stmt));
        if (static_cast<std::int64_t>(rows.size()) >= count) break;
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        lastQueryError_ = sqlite3_errmsg(db_);
        rows.clear();
    }
    return rows;
}

std::vector<std::int64_t> OfferStore::CloseDeals(const std::vector<std::int64_t>& ids, std::string_view owner) {
    std::vector<std::int64_t> closed;
    Stmt up(db_, owner.empty() ? "UPDATE MsgIs SET Status=1 WHERE ID=?1"
                               : "UPDATE MsgIs SET Status=1 WHERE ID=?1 AND ByName=?2");
    if (!up.s) return closed;
    for (std::int64_t id : ids) {
        sqlite3_reset(up.s);
        up.Bind(1, id);
        if (!owner.empty()) up.Bind(2, owner);
        if (sqlite3_step(up.s) == SQLITE_DONE && sqlite3_changes(db_) > 0) closed.push_back(id);
    }
    return closed;
}

bool OfferStore::Delete(std::int64_t id) {
    Stmt kw(db_, "DELETE FROM msgfull WHERE fid=?1");
    if (kw.s) {
        kw.Bind(1, id);
        sqlite3_step(kw.s);
    }
    Stmt del(db_, "DELETE FROM MsgIs WHERE ID=?1");
    if (!del.s) return false;
    del.Bind(1, id);
    return sqlite3_step(del.s) == SQLITE_DONE && sqlite3_changes(db_) > 0;
}

}  // namespace exsim
