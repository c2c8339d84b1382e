// The exchange server's protocol, apart from sockets: logon, keep-alive,
// count and row replies, publishing with pushes, closed deals, deletions,
// notices and the chat relay. The event loop feeds it received bytes and
// carries out what it asks of its Transport.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/exchange-sim/offer_store.h"
#include "tools/exchange-sim/wire.h"

namespace exsim {

using ConnId = std::int64_t;

class Transport {
public:
    virtual ~Transport() = default;
    virtual void Send(ConnId conn, std::string_view bytes) = 0;
    // Closes the connection once what was sent has gone out.
    virtual void Close(ConnId conn) = 0;
};

struct ExchangeOptions {
    bool acceptAnyPassword = false;
    std::function<std::time_t()> clock;  // defaults to time()
    std::function<void(const std::string&)> logLine;  // every log line as it is made
};

class Exchange {
public:
    Exchange(OfferStore& store, Transport& transport, ExchangeOptions options);

    // Connection events from the event loop.
    void Connected(ConnId conn, std::string peer);
    void Received(ConnId conn, std::string_view bytes);
    void Disconnected(ConnId conn);

    // One complete message (without "^") from a connection.
    void Handle(ConnId conn, const std::string& msg);

    // Control operations (see README). Texts are GBK bytes.
    const std::vector<std::string>& log() const { return log_; }
    void ClearLog() { log_.clear(); }
    std::vector<std::string> ClientLines() const;
    int Notify(std::string_view text);                          // connections reached
    int SendRaw(std::string_view target, std::string_view raw);  // connections reached
    int Drop(std::string_view target);                          // connections closed
    // Stores an offer as published by userId and pushes it; -1 when refused.
    std::int64_t Publish(std::string_view userId, std::string_view cls, std::string_view body);
    std::int64_t PublishAt(std::string_view userId, std::string_view area, std::string_view sheng,
                           std::string_view xian, std::string_view cls, std::string_view body);
    // Stores count such offers and pushes them all in one write, as a busy
    // exchange does; the last ID, or -1 when refused.
    std::int64_t PublishBurst(int count, std::string_view userId, std::string_view area,
                              std::string_view sheng, std::string_view xian, std::string_view cls,
                              std::string_view body);
    void PushDeals(std::string_view idList);  // marks them closed and pushes the list
    bool DeleteOffer(std::int64_t id);         // pushes the deletion in any case

    // Hostile server modes for the client's tests: count replies name
    // `extra` rows more than the row replies serve (rows deleted between a
    // count and the request, a server bug); every logon accepted is followed
    // by a close (the account logged on elsewhere, a server that restarts).
    void SetCountExtra(std::int64_t extra) { countExtra_ = extra; }
    void SetCloseAfterLogon(bool on) { closeAfterLogon_ = on; }

    // Connections a control target names: a connection number, a user id, or "*".
    std::vector<ConnId> Targets(std::string_view target) const;
    std::size_t connectionCount() const { return clients_.size(); }

private:
    struct Client {
        std::string peer;
        std::string userId;  // empty until logged on
        bool closing = false;  // refused or dropped: no more answers
        MessageFramer framer{64 * 1024};
    };

    void Logon(ConnId conn, Client& c, const std::vector<std::string>& f);
    void AddMsg(Client& c, const std::string& msg, const std::vector<std::string>& f);
    void RowReplies(ConnId conn, std::string_view word, const std::vector<Offer>& rows,
                    std::int64_t first, std::string_view key);
    void ClientDeals(Client& c, const std::vector<std::string>& f);
    void Relay(ConnId conn, Client& c, const std::string& word, const std::string& msg,
               const std::vector<std::string>& f);
    void Broadcast(std::string_view bytes);  // to every logged-on connection
    void AddLog(ConnId conn, const Client& c, std::string_view msg);
    std::int64_t Store(Offer offer);
    // Stores the offer and appends its push message to `pushes`; its ID or -1.
    std::int64_t StoreOnly(Offer offer, std::string& pushes);

    OfferStore& store_;
    Transport& transport_;
    ExchangeOptions options_;
    std::map<ConnId, Client> clients_;
    std::vector<std::string> log_;
    std::int64_t countExtra_ = 0;
    bool closeAfterLogon_ = false;
};

// "!NEWRECORD!|ID|Class|ByName|AddTime|Area|BodyIs|Sheng|Status|xian^"
std::string NewRecordMessage(const Offer& o);
// "<word>|ID|Class|ByName|AddTime|Area|BodyIs|Sheng|Status|key|row|xian^"
std::string RowMessage(std::string_view word, const Offer& o, std::string_view key, std::int64_t row);

}  // namespace exsim
