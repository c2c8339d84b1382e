#include "tools/exchange-sim/sim_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/exchange-sim/address_server.h"
#include "tools/exchange-sim/control.h"
#include "tools/exchange-sim/exchange.h"
#include "tools/exchange-sim/offer_store.h"
#include "tools/exchange-sim/sample_offers.h"
#include "tools/exchange-sim/web.h"

namespace exsim {

namespace {

constexpr std::size_t kMaxOutput = 16u << 20;    // unsent bytes per connection
constexpr std::size_t kMaxControlLine = 1u << 20;
constexpr std::size_t kMaxHttpHead = 16u << 10;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

std::string PeerText(const sockaddr_in& a) {
    char ip[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &a.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(a.sin_port));
}

// A socket bound to 127.0.0.1:port; -1 on failure. *bound gets the real port.
int BindLoopback(int type, std::uint16_t port, std::uint16_t* bound) {
    int fd = socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        (type == SOCK_STREAM && listen(fd, 64) != 0) ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(fd);
        return -1;
    }
    *bound = ntohs(a.sin_port);
    return fd;
}

enum class Kind { kExchange, kControl, kHttp };

struct Conn {
    Kind kind;
    ConnId id = 0;          // exchange connection number
    std::string in;         // control and web: unread request bytes
    std::string out;
    bool closeAfterFlush = false;
    bool held = false;      // web: a request that is never answered
    bool dead = false;
    std::int64_t readRate = -1;  // exchange: bytes read per round of 10 ms; -1 no limit
    std::chrono::steady_clock::time_point nextRead{};
};

class Simulator : public Transport, public ControlHost {
public:
    Simulator(const SimOptions& o, OfferStore& store, std::FILE* logFile)
        : options_(o), store_(store), web_(o.webRoot),
          exchange_(store, *this, ExchangeOptions{o.acceptAnyPassword, nullptr, LogWriter(logFile)}) {}

    ~Simulator() override {
        for (auto& [fd, c] : conns_) close(fd);
        for (int fd : {tcp_, udp_, http_, control_})
            if (fd >= 0) close(fd);
    }

    bool Open(std::FILE* out) {
        tcp_ = BindLoopback(SOCK_STREAM, options_.tcpPort, &tcpPort_);
        std::uint16_t udpPort = 0, httpPort = 0, controlPort = 0;
        udp_ = BindLoopback(SOCK_DGRAM, options_.udpPort, &udpPort);
        http_ = BindLoopback(SOCK_STREAM, options_.httpPort, &httpPort);
        control_ = BindLoopback(SOCK_STREAM, options_.controlPort, &controlPort);
        if (tcp_ < 0 || udp_ < 0 || http_ < 0 || control_ < 0) {
            std::fprintf(stderr, "exchange-sim: cannot bind a port on 127.0.0.1: %s\n", std::strerror(errno));
            return false;
        }
        std::fprintf(out, "tcp %u\nudp %u\nhttp %u\ncontrol %u\nready\n", tcpPort_, udpPort, httpPort, controlPort);
        std::fflush(out);
        return true;
    }

    void Run() {
        ControlContext ctx{exchange_, store_, web_, address_, *this};
        while (!quit_ && !g_stop) {
            std::vector<pollfd> fds;
            for (int fd : {tcp_, udp_, http_, control_})
                if (fd >= 0) fds.push_back({fd, POLLIN, 0});
            for (auto& [fd, c] : conns_) {
                short ev = c.closeAfterFlush || !Readable(c) ? 0 : POLLIN;
                if (!c.out.empty()) ev |= POLLOUT;
                fds.push_back({fd, ev, 0});
            }
            if (poll(fds.data(), fds.size(), SlowReaders() ? 10 : -1) < 0) {
                if (errno == EINTR) continue;
                std::perror("exchange-sim: poll");
                return;
            }
            for (const pollfd& p : fds) {
                if (!p.revents) continue;
                if (p.fd == tcp_) Accept(tcp_, Kind::kExchange);
                else if (p.fd == http_) Accept(http_, Kind::kHttp);
                else if (p.fd == control_) Accept(control_, Kind::kControl);
                else if (p.fd == udp_) Datagrams();
                else {
                    auto it = conns_.find(p.fd);
                    if (it == conns_.end() || it->second.dead) continue;
                    if ((p.revents & (POLLIN | POLLHUP | POLLERR)) && Readable(it->second))
                        Read(p.fd, it->second, ctx);
                    if (!it->second.dead && (p.revents & POLLOUT)) Flush(p.fd, it->second);
                }
            }
            Reap();
        }
        // Let the last control replies (QUIT's "OK") reach their readers.
        for (auto& [fd, c] : conns_)
            if (c.kind == Kind::kControl && !c.out.empty()) send(fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    }

    // Transport
    void Send(ConnId conn, std::string_view bytes) override {
        auto fd = exchangeFds_.find(conn);
        if (fd == exchangeFds_.end()) return;
        Conn& c = conns_.at(fd->second);
        if (c.dead || c.closeAfterFlush) return;
        if (c.out.size() + bytes.size() > kMaxOutput) {
            // A reader that does not read: give up on it.
            c.dead = true;
            return;
        }
        c.out.append(bytes.data(), bytes.size());
        Flush(fd->second, c);
    }
    void Close(ConnId conn) override {
        auto fd = exchangeFds_.find(conn);
        if (fd != exchangeFds_.end()) conns_.at(fd->second).closeAfterFlush = true;
    }

    // ControlHost
    bool SetListening(bool on) override {
        if (!on) {
            if (tcp_ >= 0) close(tcp_);
            tcp_ = -1;
            return true;
        }
        if (tcp_ >= 0) return true;
        std::uint16_t port = 0;
        tcp_ = BindLoopback(SOCK_STREAM, tcpPort_, &port);
        return tcp_ >= 0;
    }
    int SetReadRate(std::string_view target, std::int64_t bytes) override {
        int n = 0;
        for (ConnId id : exchange_.Targets(target)) {
            auto fd = exchangeFds_.find(id);
            if (fd == exchangeFds_.end()) continue;
            conns_.at(fd->second).readRate = bytes;
            ++n;
        }
        return n;
    }
    void SetCloseOnAccept(bool on) override { closeOnAccept_ = on; }
    void Quit() override { quit_ = true; }

private:
    static std::function<void(const std::string&)> LogWriter(std::FILE* f) {
        if (!f) return nullptr;
        return [f](const std::string& line) {
            std::fwrite(line.data(), 1, line.size(), f);
            std::fputc('\n', f);
            std::fflush(f);
        };
    }

    void Accept(int listener, Kind kind) {
        for (int n = 0; n < 64; ++n) {
            sockaddr_in a{};
            socklen_t len = sizeof a;
            int fd = accept4(listener, reinterpret_cast<sockaddr*>(&a), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) return;
            if (kind == Kind::kExchange && closeOnAccept_) {
                close(fd);
                continue;
            }
            Conn c;
            c.kind = kind;
            if (kind == Kind::kExchange) {
                c.id = nextId_++;
                exchangeFds_[c.id] = fd;
                conns_[fd] = std::move(c);
                exchange_.Connected(conns_[fd].id, PeerText(a));
            } else {
                conns_[fd] = std::move(c);
            }
        }
    }

    void Datagrams() {
        for (int n = 0; n < 64; ++n) {
            char buf[2048];
            sockaddr_in a{};
            socklen_t len = sizeof a;
            ssize_t got = recvfrom(udp_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&a), &len);
            if (got < 0) return;
            char ip[INET_ADDRSTRLEN] = "?";
            inet_ntop(AF_INET, &a.sin_addr, ip, sizeof ip);
            auto reply = address_.Answer(std::string_view(buf, static_cast<std::size_t>(got)), ip, ntohs(a.sin_port));
            if (reply) sendto(udp_, reply->data(), reply->size(), 0, reinterpret_cast<sockaddr*>(&a), len);
        }
    }

    // A slow reader reads once per round of 10 ms, a stopped one never.
    static bool Readable(const Conn& c) {
        return c.readRate < 0 || (c.readRate > 0 && std::chrono::steady_clock::now() >= c.nextRead);
    }
    bool SlowReaders() const {
        for (const auto& [fd, c] : conns_)
            if (c.readRate > 0) return true;
        return false;
    }

    void Read(int fd, Conn& c, ControlContext& ctx) {
        char buf[65536];
        std::size_t want = sizeof buf;
        if (c.readRate > 0) {
            want = std::min<std::size_t>(want, static_cast<std::size_t>(c.readRate));
            c.nextRead = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
        }
        ssize_t got = recv(fd, buf, want, 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            c.dead = true;
            return;
        }
        if (got < 0) return;
        std::string_view bytes(buf, static_cast<std::size_t>(got));
        switch (c.kind) {
        case Kind::kExchange:
            exchange_.Received(c.id, bytes);
            break;
        case Kind::kControl:
            c.in.append(bytes);
            for (std::size_t nl; !c.dead && (nl = c.in.find('\n')) != std::string::npos;) {
                std::string line = c.in.substr(0, nl);
                c.in.erase(0, nl + 1);
                c.out += RunControlCommand(line, ctx);
            }
            if (c.in.size() > kMaxControlLine) {
                c.out += "ERR line too long\n";
                c.in.clear();
                c.closeAfterFlush = true;
            }
            Flush(fd, c);
            break;
        case Kind::kHttp:
            c.in.append(bytes);
            ServeHttp(fd, c);
            break;
        }
    }

    void ServeHttp(int fd, Conn& c) {
        if (c.held) c.in.clear();
        if (c.closeAfterFlush || c.held) return;
        std::string method, target;
        std::size_t headLen = 0;
        int r = ParseRequestHead(c.in, kMaxHttpHead, &method, &target, &headLen);
        if (r == 0) return;
        HttpResponse resp;
        if (r < 0) {
            resp.status = 400;
            resp.contentType = "text/plain";
            resp.body = "bad request\r\n";
            web_.Log("? (bad request)");
        } else if (method != "GET" && method != "HEAD") {
            resp.status = 405;
            resp.contentType = "text/plain";
            web_.Log(method + " " + target);
        } else if (web_.FaultOf(target) == PageFault::kNoAnswer) {
            // Held open without a word until the client gives up.
            web_.Log(method + " " + target + " held");
            c.in.clear();
            c.held = true;
            return;
        } else {
            resp = web_.Get(target);
            web_.Log(method + " " + target + " " + std::to_string(resp.status));
        }
        c.out += SerializeResponse(resp, method == "HEAD");
        c.in.clear();
        c.closeAfterFlush = true;
        Flush(fd, c);
    }

    void Flush(int fd, Conn& c) {
        while (!c.out.empty()) {
            ssize_t n = send(fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) c.dead = true;
                return;
            }
            c.out.erase(0, static_cast<std::size_t>(n));
        }
    }

    // Closes what is finished. Done once per round, so that no descriptor is
    // reused while the round's poll results still name it.
    void Reap() {
        for (auto it = conns_.begin(); it != conns_.end();) {
            Conn& c = it->second;
            if (!c.dead && !(c.closeAfterFlush && c.out.empty())) {
                ++it;
                continue;
            }
            if (c.kind == Kind::kExchange) {
                exchange_.Disconnected(c.id);
                exchangeFds_.erase(c.id);
            }
            close(it->first);
            it = conns_.erase(it);
        }
    }

    SimOptions options_;
    OfferStore& store_;
    WebService web_;
    AddressServer address_;
    Exchange exchange_;
    int tcp_ = -1, udp_ = -1, http_ = -1, control_ = -1;
    std::uint16_t tcpPort_ = 0;
    std::map<int, Conn> conns_;
    std::map<ConnId, int> exchangeFds_;
    ConnId nextId_ = 1;
    bool quit_ = false;
    bool closeOnAccept_ = false;
};

}  // namespace

int RunSimulator(const SimOptions& options, std::FILE* out) {
    struct sigaction sa {};
    sa.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &sa, nullptr);
    sa.sa_handler = OnSignal;  // no SA_RESTART: poll() returns at once
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    std::string error;
    std::unique_ptr<OfferStore> store = OfferStore::Open(options.db, &error);
    if (!store) {
        std::fprintf(stderr, "exchange-sim: cannot open the offer store %s: %s\n", options.db.c_str(), error.c_str());
        return 1;
    }
    if (options.samples && store->Size() == 0) LoadSampleOffers(*store, std::time(nullptr));

    std::FILE* logFile = nullptr;
    if (!options.logFile.empty()) {
        logFile = std::fopen(options.logFile.c_str(), "ab");
        if (!logFile) {
            std::fprintf(stderr, "exchange-sim: cannot open the log %s\n", options.logFile.c_str());
            return 1;
        }
    }
    int rc = 1;
    {
        Simulator sim(options, *store, logFile);
        if (sim.Open(out)) {
            sim.Run();
            rc = 0;
        }
    }
    if (logFile) std::fclose(logFile);
    return rc;
}

}  // namespace exsim
