#include "tools/exchange-sim/control.h"

#include <cstdint>
#include <vector>

#include "tools/exchange-sim/address_server.h"
#include "tools/exchange-sim/exchange.h"
#include "tools/exchange-sim/offer_store.h"
#include "tools/exchange-sim/web.h"
#include "tools/exchange-sim/wire.h"

namespace exsim {

namespace {

// Splits off the first blank-separated word; the rest keeps its blanks.
std::string_view Word(std::string_view& rest) {
    std::size_t sp = rest.find(' ');
    std::string_view w = rest.substr(0, sp);
    rest = sp == std::string_view::npos ? std::string_view() : rest.substr(sp + 1);
    return w;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

std::string OfferLine(const Offer& o) {
    return OneLine(std::to_string(o.id) + "|" + o.cls + "|" + o.byName + "|" + o.addTime + "|" + o.area + "|" +
                   o.body + "|" + o.sheng + "|" + std::to_string(o.status) + "|" + o.xian);
}

const char* const kOk = "OK\n";

}  // namespace

std::string RunControlCommand(std::string_view line, ControlContext& ctx) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view rest = line;
    std::string cmd = Upper(Word(rest));

    if (cmd == "LOG") return Lines(ctx.exchange.log()) + kOk;
    if (cmd == "CLEARLOG") {
        ctx.exchange.ClearLog();
        return kOk;
    }
    if (cmd == "CLIENTS") return Lines(ctx.exchange.ClientLines()) + kOk;
    if (cmd == "NOTIFY") return std::to_string(ctx.exchange.Notify(rest)) + "\n" + kOk;
    if (cmd == "SEND") {
        std::string_view target = Word(rest);
        if (target.empty() || rest.empty()) return "ERR usage: SEND <conn|user|*> <raw message>\n";
        return std::to_string(ctx.exchange.SendRaw(target, rest)) + "\n" + kOk;
    }
    if (cmd == "DROP") {
        if (rest.empty()) return "ERR usage: DROP <conn|user|*>\n";
        return std::to_string(ctx.exchange.Drop(rest)) + "\n" + kOk;
    }
    if (cmd == "LISTEN") {
        if (rest != "0" && rest != "1") return "ERR usage: LISTEN 0|1\n";
        return ctx.host.SetListening(rest == "1") ? kOk : "ERR cannot listen on the exchange port\n";
    }
    if (cmd == "SLOWREAD") {
        std::string_view target = Word(rest);
        std::int64_t bytes = rest == "off" ? -1 : 0;
        bool ok = !target.empty() && !rest.empty() && rest.size() <= 7;
        for (char c : rest == "off" ? std::string_view() : rest) {
            ok = ok && c >= '0' && c <= '9';
            bytes = bytes * 10 + (c - '0');
        }
        if (!ok) return "ERR usage: SLOWREAD <conn|user|*> <bytes per 10 ms>|off\n";
        return std::to_string(ctx.host.SetReadRate(target, bytes)) + "\n" + kOk;
    }
    if (cmd == "CLOSEONACCEPT") {
        if (rest != "0" && rest != "1") return "ERR usage: CLOSEONACCEPT 0|1\n";
        ctx.host.SetCloseOnAccept(rest == "1");
        return kOk;
    }
    if (cmd == "OVERCOUNT") {
        const std::vector<std::int64_t> n = ParseIdList(rest);
        if (rest != "0" && (n.size() != 1 || n[0] > 1000000)) return "ERR usage: OVERCOUNT <rows>\n";
        ctx.exchange.SetCountExtra(rest == "0" ? 0 : n[0]);
        return kOk;
    }
    if (cmd == "CLOSEAFTERLOGON") {
        if (rest != "0" && rest != "1") return "ERR usage: CLOSEAFTERLOGON 0|1\n";
        ctx.exchange.SetCloseAfterLogon(rest == "1");
        return kOk;
    }
    if (cmd == "PUBLISH") {
        std::string_view user = Word(rest);
        std::string_view cls = Word(rest);
        if (user.empty() || cls.empty() || rest.empty()) return "ERR usage: PUBLISH <user> <class> <body>\n";
        std::int64_t id = ctx.exchange.Publish(user, cls, rest);
        return id > 0 ? std::to_string(id) + "\n" + kOk : "ERR unknown user\n";
    }
    if (cmd == "PUBLISHAT") {
        std::string_view user = Word(rest), area = Word(rest), sheng = Word(rest), xian = Word(rest),
                         cls = Word(rest);
        if (user.empty() || area.empty() || sheng.empty() || xian.empty() || cls.empty() || rest.empty())
            return "ERR usage: PUBLISHAT <user> <area> <province> <county> <class> <body>\n";
        std::int64_t id = ctx.exchange.PublishAt(user, area, sheng, xian, cls, rest);
        return id > 0 ? std::to_string(id) + "\n" + kOk : "ERR not stored\n";
    }
    if (cmd == "BURST") {
        const std::vector<std::int64_t> n = ParseIdList(Word(rest));
        const std::int64_t count = n.size() == 1 ? n[0] : 0;
        const bool counted = count >= 1 && count <= 100000;
        std::string_view user = Word(rest), area = Word(rest), sheng = Word(rest), xian = Word(rest),
                         cls = Word(rest);
        if (!counted || user.empty() || area.empty() || sheng.empty() || xian.empty() || cls.empty() ||
            rest.empty())
            return "ERR usage: BURST <count> <user> <area> <province> <county> <class> <body>\n";
        std::int64_t id =
            ctx.exchange.PublishBurst(static_cast<int>(count), user, area, sheng, xian, cls, rest);
        return id > 0 ? std::to_string(id) + "\n" + kOk : "ERR not stored\n";
    }
    if (cmd == "DEAL") {
        if (rest.empty()) return "ERR usage: DEAL <id,id,...>\n";
        ctx.exchange.PushDeals(rest);
        return kOk;
    }
    if (cmd == "DELETE") {
        std::vector<std::int64_t> ids = ParseIdList(rest);
        if (ids.size() != 1) return "ERR usage: DELETE <id>\n";
        ctx.exchange.DeleteOffer(ids[0]);
        return kOk;
    }
    if (cmd == "OFFER") {
        std::vector<std::int64_t> ids = ParseIdList(rest);
        if (ids.size() != 1) return "ERR usage: OFFER <id>\n";
        std::optional<Offer> o = ctx.store.Get(ids[0]);
        return o ? OfferLine(*o) + "\n" + kOk : "ERR no such offer\n";
    }
    if (cmd == "UDPLOG") return Lines(ctx.address.log()) + kOk;
    if (cmd == "HTTPLOG") return Lines(ctx.web.log()) + kOk;
    if (cmd == "WEBFAULT") {
        // WEBFAULT <path> 404|HANG|OFF
        const std::size_t sp = rest.find(' ');
        const std::string_view path = rest.substr(0, sp);
        const std::string_view mode = sp == std::string_view::npos ? std::string_view() : rest.substr(sp + 1);
        PageFault fault;
        if (mode == "404") fault = PageFault::kNotFound;
        else if (mode == "HANG") fault = PageFault::kNoAnswer;
        else if (mode == "OFF") fault = PageFault::kNone;
        else return "ERR usage: WEBFAULT <path> 404|HANG|OFF\n";
        if (path.empty() || path[0] != '/') return "ERR usage: WEBFAULT <path> 404|HANG|OFF\n";
        ctx.web.SetFault(path, fault);
        return kOk;
    }
    if (cmd == "VERSIONS") {
        ctx.web.SetVersions(std::string(rest));
        return kOk;
    }
    if (cmd == "QUIT") {
        ctx.host.Quit();
        return kOk;
    }
    return "ERR unknown command\n";
}

}  // namespace exsim
