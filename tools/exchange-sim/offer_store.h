// The simulator's offer store: SQLite tables MsgIs (offers) and msgfull
// (destination keywords), shaped as the client's query texts expect them.
// Query texts that come from a client run read-only: an authorizer admits
// only reading, one statement per text, with bounded work.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace exsim {

struct Offer {
    std::int64_t id = 0;
    std::string cls;     // "货" or "车"
    std::string byName;  // publisher's user id
    std::string addTime;
    std::string area;
    std::string body;
    std::string sheng;
    int status = 0;      // 1 = deal closed
    std::string xian;
};

class OfferStore {
public:
    // path ":memory:" (or empty) keeps the store in memory. nullptr on failure
    // with the reason in *error.
    static std::unique_ptr<OfferStore> Open(const std::string& path, std::string* error);
    ~OfferStore();
    OfferStore(const OfferStore&) = delete;
    OfferStore& operator=(const OfferStore&) = delete;

    // Stores an offer (its id is assigned) and its destination keywords.
    // Returns the new id, or -1.
    std::int64_t Add(const Offer& offer, const std::vector<std::string>& keywords);
    // Many Add()s in one transaction.
    void Begin();
    void Commit();

    std::optional<Offer> Get(std::int64_t id);
    std::int64_t Size();

    // Offers of an area key (matched against Area, Sheng or xian), newest first.
    std::int64_t CountArea(std::string_view key);
    std::vector<Offer> AreaRows(std::string_view key, std::int64_t first, std::int64_t count);
    std::int64_t CountByUser(std::string_view userId);

    // A client's query text: the first column of its first row as a number,
    // 0 when the text fails in any way.
    std::int64_t CountQuery(std::string_view sql);
    // A client's query text: rows first .. first+count-1 of its result, columns
    // found by name (ID, Class, ByName, AddTime, Area, Sheng, Status, BodyIs,
    // xian); no rows when the text fails in any way.
    std::vector<Offer> RowsQuery(std::string_view sql, std::int64_t first, std::int64_t count);
    // Why the last client query failed ("" when it ran).
    const std::string& lastQueryError() const { return lastQueryError_; }

    // Marks offers as closed deals; with a non-empty owner only that user's
    // offers. Returns the ids that exist (and belong to owner).
    std::vector<std::int64_t> CloseDeals(const std::vector<std::int64_t>& ids, std::string_view owner);
    bool Delete(std::int64_t id);

    sqlite3* handle() { return db_; }

private:
    explicit OfferStore(sqlite3* db) : db_(db) {}
    bool Exec(const char* sql);
    struct ClientStatement;
    std::unique_ptr<ClientStatement> PrepareClientQuery(std::string_view sql);

    sqlite3* db_;
    std::string lastQueryError_;
};

// Registers CHARINDEX(needle, haystack [, start]) on a connection: the 1-based
// byte position of the first occurrence at a character boundary, 0 when absent.
void RegisterCharIndex(sqlite3* db);

// Parses "12,345,..." into ids; items that are not plain positive decimals are skipped.
std::vector<std::int64_t> ParseIdList(std::string_view list);

}  // namespace exsim
