// The client's one session with the exchange server: connecting and
// reconnecting, the login dialog flag, the logon line, keep-alive and the
// queue of messages whose send failed, the frame timers that drive them, the
// logon reply and error handlers, and the connection log lines.
//
// Everything runs on the user-interface thread; the outside is reached only
// through the small interfaces below, so the rules can be tested natively.
#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/account_state.h"
#include "client/model/area_scope.h"
#include "client/model/outbox.h"
#include "client/model/recent_lines.h"
#include "client/model/server_message.h"
#include "client/model/session_settings.h"

namespace tovan {

// Frame timers the session owns.
constexpr unsigned kPagingTimer = 1;       // row paging; each tick re-arms it
constexpr unsigned kKeepAliveTimer = 2;    // unsent queue or "LOOP^"
constexpr unsigned kReconnectTimer = 8;    // one retry after a failed connect
constexpr unsigned kLogonHeldTimer = 10;   // one shot: the logon has held
constexpr unsigned kPagingPeriodMs = 500;
constexpr unsigned kKeepAlivePeriodMs = 1400;
constexpr unsigned kReconnectDelayMs = 1500;
constexpr unsigned kLogonHeldMs = 10000;

constexpr std::size_t kErrCopySize = 1000;  // "!ERR!" is handled in a copy this big

// Connections in a row that closed before their logon was answered or within
// kLogonHeldMs after it, after which the next connect waits kReconnectDelayMs
// like a failed one: a server that accepts and closes at once (or accepts the
// logon and closes, as for an account logged on elsewhere) must not be
// hammered hundreds of times a second.
constexpr int kImmediateClosesBeforeWait = 3;

// The connection log keeps this many of its newest lines: left running
// against a server that is down, the client writes two lines every retry.
constexpr std::size_t kConnectionLogLines = 1000;

// The session socket as the session sees it.
class SessionSocket {
public:
    virtual ~SessionSocket() = default;
    // Closes the socket without any notification; closing none does nothing.
    virtual void Close() = 0;
    // Creates a stream socket reporting every network event; 0 or an error code.
    virtual int Create() = 0;
    // Starts connecting: 0 when the outcome will come through
    // Session::OnConnect, else the error code of the failure.
    virtual int Connect(const std::string& host, int port) = 0;
    // Hands the whole text to one send call: bytes taken, or -1.
    virtual int Send(std::string_view text) = 0;
    virtual void ShutdownSend() = 0;
};

class SessionTimers {
public:
    virtual ~SessionTimers() = default;
    virtual void Start(unsigned id, unsigned periodMs) = 0;
    virtual void Stop(unsigned id) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::tm LocalNow() = 0;
};

// The login dialog: shows `message` in its red line; on OK gives the name and
// password typed and returns true.
class LoginPrompt {
public:
    virtual ~LoginPrompt() = default;
    virtual bool Ask(const std::string& message, std::string& name, std::string& password) = 0;
};

// The connection log window.
class LogWindowSink {
public:
    virtual ~LogWindowSink() = default;
    virtual void AddLine(const std::string& line) = 0;
    virtual void ShowAndRaise() = 0;  // after a failed connect
};

// The administrator notice window.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    virtual void ShowNotice(const std::string& text) = 0;
};

// What the rest of the frame does at the session's points; each may be empty.
struct SessionHooks {
    std::function<void()> clearRecordLists;             // "!OK!": both grids to 0 rows, current and search lists emptied
    // "!OK!": select currentArea in the area tree; true when the tree's
    // selection handler asked for the area's list itself.
    std::function<bool()> selectOwnAreaInTree;
    std::function<void(bool limited)> setLimitedRights; // "!OK!": both grids' limited mode
    std::function<void()> updateTitleAndPages;          // "!OK!": window title and web panes
    std::function<void()> updateCurrentInfoButton;      // "!OK!": toolbar caption
    std::function<void()> refillShownList;              // "!OK!": after the area request (watch mode asks again)
    std::function<void()> pagingTick;                   // timer 1 body, between stop and re-arm
    std::function<void(const std::string&)> tellUser;   // a message box the user must answer
};

struct SessionPorts {
    SessionSocket& socket;
    SessionTimers& timers;
    Clock& clock;
    LoginPrompt& login;
    LogWindowSink& log;
    NoticeSink& notice;
};

class Session : public Outbox, public ServerMessageHandler {
public:
    // The logon reply writes `account` (the client model's).
    Session(SessionPorts ports, AccountState& account, SessionHooks hooks = {});

    // Server address and stored user, from frame creation. The machine
    // identifier is asked for at the first logon and kept: reading the
    // network adapters can take long, so the frame looks it up meanwhile.
    void Configure(const SessionSettings& settings, std::function<std::string()> machineId);

    // Opens (or re-opens) the session; first shows the login dialog when the
    // flag is set.
    void Connect();
    // The login command: the dialog comes first, then a new session.
    void LoginCommand();

    // Socket notifications.
    void OnConnect(int error);
    void OnClose(int error);

    // Frame timers 1, 2, 8 and 10; false for any other id.
    bool OnTimer(unsigned id);

    // Outbox: the one "send, or queue when the send fails" of the client.
    void Send(const std::string& message) override;
    void DropQueuedListRequests() override;
    void ClearUnsentQueue() { unsentQueue_.clear(); }

    // The server messages the session serves: the logon reply, errors and
    // the administrator's notices.
    void OnOk(const char* message) override;
    void OnErr(const char* message) override;
    void OnSendNotify(const char* message) override;

    const AccountState& account() const { return account_; }
    AccountState& account() { return account_; }
    AreaScope areaScope() const;
    bool showLoginFirst() const { return showLoginFirst_; }
    const std::string& pendingLoginError() const { return pendingLoginError_; }
    const std::vector<std::string>& unsentQueue() const { return unsentQueue_; }
    const std::deque<std::string>& logLines() const { return logLines_.Lines(); }
    const std::string& userName() const { return userName_; }
    const std::string& password() const { return password_; }
    const std::string& serverHost() const { return serverHost_; }
    int serverPort() const { return serverPort_; }

    // Adds a line to the connection log (the time takes the pattern's first
    // "%s", text the second), for what the rest of the client notes there.
    void Log(const char* pattern, const std::string& text = std::string());

private:
    const std::string& MachineId();
    void SendUnqueued(const std::string& message);
    void KeepAliveTick();
    void PagingTick();

    SessionPorts ports_;
    SessionHooks hooks_;
    AccountState& account_;
    std::string serverHost_ = "127.0.0.1";
    int serverPort_ = 8000;
    std::string userName_;
    std::string password_;
    std::function<std::string()> machineIdSource_;
    std::optional<std::string> machineId_;
    bool showLoginFirst_ = false;
    bool loginShowing_ = false;   // the modal dialog is up
    bool pagingArmed_ = false;
    int closesBeforeLogon_ = 0;  // connections in a row that ended before a logon held
    bool logonHolding_ = false;  // logged on, kLogonHeldMs not yet over
    std::string pendingLoginError_;
    std::vector<std::string> unsentQueue_;
    RecentLines logLines_{kConnectionLogLines};  // what the log window shows
};

// Connection log patterns: the time "%H:%M:%S" takes the first "%s".
namespace logline {
constexpr const char* kConnecting = "%s 正在连接服务器...";
constexpr const char* kConnectFailed = "%s 连接服务器失败";
constexpr const char* kConnected = "%s 连接服务器成功";
constexpr const char* kClosed = "%s 连接已关闭";
constexpr const char* kError = "%s 发生错误:%s";
constexpr const char* kLoggedOn = "%s 已成功登录";
// The unsent queue dropped at a logon as another account; the text says how many.
constexpr const char* kUnsentDropped = "%s %s";
// The server closed soon after accepting the logon, again: the next try waits.
constexpr const char* kClosedAfterLogon = "%s 登录后连接随即被服务器关闭（该帐号可能已在别处登录），稍后重新连接";
// Another user's chat request that could not be taken (no chat window).
constexpr const char* kChatRequestRefused = "%s 未能接受交谈请求:%s";
}  // namespace logline

// Fills the pattern's "%s" places with the time and then the text.
std::string FormatLogLine(const char* pattern, const std::tm& now, const std::string& text);

}  // namespace tovan
