#include "tools/exchange-sim/exchange.h"

#include <cstdio>
#include <cstdlib>

#include "tools/exchange-sim/accounts.h"
#include "tools/exchange-sim/areas.h"
#include "tools/exchange-sim/sample_offers.h"

namespace exsim {

namespace {

// Label of the current-list count reply (the client's title reads key + label).
const char* const kCurrentLabel = "当前";
// Row replies of queries carry no area key; the client does not check it there.
const char* const kNoKey = "-";

bool ParseCount(std::string_view text, std::int64_t* out) {
    if (text.empty() || text.size() > 9) return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *out = v;
    return true;
}

// An offer as a publisher sends it; the store adds ID and time.
Offer NewOffer(std::string_view userId, std::string_view area, std::string_view sheng, std::string_view xian,
               std::string_view cls, std::string_view body) {
    Offer o;
    o.cls = cls;
    o.byName = userId;
    o.area = area;
    o.sheng = sheng;
    o.xian = xian;
    o.body = body;
    return o;
}

// An offer is filed under the county its text starts from, else under the city.
std::string CountyOrCity(std::string_view body, const std::string& homeCity) {
    std::string county = OriginCounty(body, homeCity);
    return county.empty() ? homeCity : county;
}

}  // namespace

std::string NewRecordMessage(const Offer& o) {
    return "!NEWRECORD!|" + std::to_string(o.id) + "|" + WireField(o.cls, kClassWidth) + "|" +
           WireField(o.byName, kByNameWidth) + "|" + WireField(o.addTime, kAddTimeWidth) + "|" +
           WireField(o.area, kAreaWidth) + "|" + WireField(o.body, kBodyWidth) + "|" +
           WireField(o.sheng, kShengWidth) + "|" + std::to_string(o.status) + "|" +
           WireField(o.xian, kXianWidth) + "^";
}

std::string RowMessage(std::string_view word, const Offer& o, std::string_view key, std::int64_t row) {
    return std::string(word) + "|" + std::to_string(o.id) + "|" + WireField(o.cls, kClassWidth) + "|" +
           WireField(o.byName, kByNameWidth) + "|" + WireField(o.addTime, kAddTimeWidth) + "|" +
           WireField(o.area, kAreaWidth) + "|" + WireField(o.body, kBodyWidth) + "|" +
           WireField(o.sheng, kShengWidth) + "|" + std::to_string(o.status) + "|" + WireField(key, 199) +
           "|" + std::to_string(row) + "|" + WireField(o.xian, kXianWidth) + "^";
}

Exchange::Exchange(OfferStore& store, Transport& transport, ExchangeOptions options)
    : store_(store), transport_(transport), options_(std::move(options)) {
    if (!options_.clock) options_.clock = [] { return std::time(nullptr); };
}

void Exchange::Connected(ConnId conn, std::string peer) {
    clients_[conn].peer = std::move(peer);
}

void Exchange::Disconnected(ConnId conn) { clients_.erase(conn); }

void Exchange::Received(ConnId conn, std::string_view bytes) {
    auto it = clients_.find(conn);
    if (it == clients_.end()) return;
    std::vector<std::string> messages;
    it->second.framer.Feed(bytes, messages);
    for (const std::string& m : messages) Handle(conn, m);
}

void Exchange::AddLog(ConnId conn, const Client& c, std::string_view msg) {
    std::string line = std::to_string(conn) + " " + (c.userId.empty() ? "-" : c.userId) + " " + OneLine(msg);
    if (options_.logLine) options_.logLine(line);
    log_.push_back(std::move(line));
}

void Exchange::Handle(ConnId conn, const std::string& msg) {
    auto it = clients_.find(conn);
    if (it == clients_.end()) return;
    Client& c = it->second;
    AddLog(conn, c, msg);
    if (c.closing || msg == "LOOP") return;  // closing, or keep-alive: nothing to answer

    std::vector<std::string> f = SplitFields(msg);
    if (f.empty()) return;
    const std::string& word = f[0];
    if (word == "!LOGON!") {
        Logon(conn, c, f);
        return;
    }
    if (c.userId.empty()) return;  // everything else needs a logon

    std::int64_t first = 0, count = 0;
    if (word == "!TODAYRECORD!" && f.size() >= 2) {
        transport_.Send(conn, "!RECORDCOUNT!|" + WireField(f[1], 199) + "|" + kCurrentLabel + "|" +
                                  std::to_string(store_.CountArea(f[1]) + countExtra_) + "^");
    } else if (word == "!SINGLERECORD!" && f.size() >= 4 && ParseCount(f[1], &first) && ParseCount(f[2], &count)) {
        std::string key(TailAfterFields(msg, 3));
        RowReplies(conn, word, store_.AreaRows(key, first, count), first, key);
    } else if ((word == "!SOUSUOCOUNT!" || word == "!GUANZHUCOUNT!") && f.size() >= 2) {
        std::int64_t n = store_.CountQuery(TailAfterFields(msg, 1));
        if (!store_.lastQueryError().empty())
            std::fprintf(stderr, "exchange-sim: query of %s failed: %s\n", word.c_str(), store_.lastQueryError().c_str());
        transport_.Send(conn, word + "|" + std::to_string(n + countExtra_) + "^");
    } else if ((word == "!SOUSUORECORD!" || word == "!GUANZHURECORD!" || word == "!MYMSGRECORD!") &&
               f.size() >= 4 && ParseCount(f[1], &first) && ParseCount(f[2], &count)) {
        std::vector<Offer> rows = store_.RowsQuery(TailAfterFields(msg, 3), first, count);
        if (!store_.lastQueryError().empty())
            std::fprintf(stderr, "exchange-sim: query of %s failed: %s\n", word.c_str(), store_.lastQueryError().c_str());
        RowReplies(conn, word, rows, first, kNoKey);
    } else if (word == "!MYRECORDCOUNT!" && f.size() >= 2) {
        transport_.Send(conn, "!MYRECORDCOUNT!|" + std::to_string(store_.CountByUser(f[1])) + "^");
    } else if (word == "!ADDMSG!") {
        AddMsg(c, msg, f);
    } else if (word == "!CHENGJIAO!") {
        ClientDeals(c, f);
    } else if (word == "!ADDCHATER!" || word == "!BDDCHATER!") {
        Relay(conn, c, word, msg, f);
    }
}

void Exchange::Logon(ConnId conn, Client& c, const std::vector<std::string>& f) {
    auto refuse = [&](const char* text) {
        transport_.Send(conn, std::string("!ERR!|") + text + "^");
        c.closing = true;
        transport_.Close(conn);
    };
    if (f.size() < 3) return refuse(kErrIncomplete);
    const Account* a = FindAccount(f[1]);
    if (!a || (!options_.acceptAnyPassword && a->password != f[2])) return refuse(kErrBadLogon);
    if (a->disabled) return refuse(kErrDisabled);
    c.userId = a->userId;
    transport_.Send(conn, LogonReply(*a));
    if (closeAfterLogon_) {
        c.closing = true;
        transport_.Close(conn);
    }
}

void Exchange::RowReplies(ConnId conn, std::string_view word, const std::vector<Offer>& rows,
                          std::int64_t first, std::string_view key) {
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += RowMessage(word, rows[i], key, first + static_cast<std::int64_t>(i));
    if (!out.empty()) transport_.Send(conn, out);
}

std::int64_t Exchange::StoreOnly(Offer offer, std::string& pushes) {
    offer.addTime = FormatAddTime(options_.clock());
    offer.body = std::string(GbkCut(offer.body, kBodyWidth));
    offer.id = store_.Add(offer, DestinationKeywords(offer.body, offer.area));
    if (offer.id <= 0) return -1;
    if (auto stored = store_.Get(offer.id)) pushes += NewRecordMessage(*stored);
    return offer.id;
}

std::int64_t Exchange::Store(Offer offer) {
    std::string push;
    const std::int64_t id = StoreOnly(std::move(offer), push);
    if (!push.empty()) Broadcast(push);
    return id;
}

std::int64_t Exchange::PublishBurst(int count, std::string_view userId, std::string_view area,
                                    std::string_view sheng, std::string_view xian, std::string_view cls,
                                    std::string_view body) {
    if (count < 1 || userId.empty() || cls.empty() || body.empty()) return -1;
    std::string pushes;
    std::int64_t last = -1;
    for (int i = 0; i < count; ++i) {
        const std::int64_t id = StoreOnly(NewOffer(userId, area, sheng, xian, cls, body), pushes);
        if (id <= 0) return -1;
        last = id;
    }
    Broadcast(pushes);
    return last;
}

void Exchange::AddMsg(Client& c, const std::string& msg, const std::vector<std::string>& f) {
    if (f.size() < 3 || (f[1] != "货" && f[1] != "车")) return;
    const Account* a = FindAccountById(c.userId);
    if (!a) return;
    Offer o;
    o.cls = f[1];
    o.byName = c.userId;
    o.area = a->homeCity;
    o.sheng = a->homeProvince;
    o.body = std::string(TailAfterFields(msg, 2));
    o.xian = CountyOrCity(o.body, a->homeCity);
    Store(std::move(o));
}

std::int64_t Exchange::Publish(std::string_view userId, std::string_view cls, std::string_view body) {
    const Account* a = FindAccountById(userId);
    if (!a) a = FindAccount(userId);
    if (!a) return -1;
    return PublishAt(a->userId, a->homeCity, a->homeProvince, CountyOrCity(body, a->homeCity), cls, body);
}

std::int64_t Exchange::PublishAt(std::string_view userId, std::string_view area, std::string_view sheng,
                                 std::string_view xian, std::string_view cls, std::string_view body) {
    if (userId.empty() || cls.empty() || body.empty()) return -1;
    return Store(NewOffer(userId, area, sheng, xian, cls, body));
}

void Exchange::ClientDeals(Client& c, const std::vector<std::string>& f) {
    if (f.size() < 2) return;
    std::vector<std::int64_t> closed = store_.CloseDeals(ParseIdList(f[1]), c.userId);
    if (closed.empty()) return;
    std::string list;
    for (std::int64_t id : closed) list += (list.empty() ? "" : ",") + std::to_string(id);
    Broadcast("!CHENGJIAO!|" + list + "^");
}

void Exchange::PushDeals(std::string_view idList) {
    store_.CloseDeals(ParseIdList(idList), "");
    Broadcast("!CHENGJIAO!|" + std::string(idList) + "^");
}

bool Exchange::DeleteOffer(std::int64_t id) {
    bool existed = store_.Delete(id);
    Broadcast("!DELETEMSG!|" + std::to_string(id) + "^");
    return existed;
}

void Exchange::Relay(ConnId conn, Client& c, const std::string& word, const std::string& msg,
                     const std::vector<std::string>& f) {
    if (f.size() < 2) return;
    // The receiver reads field 1 as the other user: put the sender there.
    std::string out = word + "|" + c.userId;
    std::string_view rest = TailAfterFields(msg, 2);
    if (!rest.empty()) out += "|" + std::string(rest);
    out += "^";
    for (auto& [id, other] : clients_)
        if (id != conn && other.userId == f[1]) transport_.Send(id, out);
}

void Exchange::Broadcast(std::string_view bytes) {
    for (auto& [id, c] : clients_)
        if (!c.userId.empty() && !c.closing) transport_.Send(id, bytes);
}

int Exchange::Notify(std::string_view text) {
    int n = 0;
    std::string out = "!SENDNOTIFY!|" + std::string(text) + "^";
    for (auto& [id, c] : clients_) {
        if (c.userId.empty() || c.closing) continue;
        transport_.Send(id, out);
        ++n;
    }
    return n;
}

std::vector<ConnId> Exchange::Targets(std::string_view target) const {
    std::vector<ConnId> out;
    std::int64_t number = -1;
    bool numeric = ParseCount(target, &number);
    for (const auto& [id, c] : clients_) {
        if (target == "*" || (numeric && id == number) || (!c.userId.empty() && c.userId == target))
            out.push_back(id);
    }
    return out;
}

int Exchange::SendRaw(std::string_view target, std::string_view raw) {
    std::vector<ConnId> to = Targets(target);
    for (ConnId id : to) transport_.Send(id, raw);
    return static_cast<int>(to.size());
}

int Exchange::Drop(std::string_view target) {
    std::vector<ConnId> to = Targets(target);
    for (ConnId id : to) {
        clients_.at(id).closing = true;
        transport_.Close(id);
    }
    return static_cast<int>(to.size());
}

std::vector<std::string> Exchange::ClientLines() const {
    std::vector<std::string> out;
    for (const auto& [id, c] : clients_)
        out.push_back(std::to_string(id) + " " + (c.userId.empty() ? "-" : c.userId) + " " + c.peer);
    return out;
}

}  // namespace exsim
