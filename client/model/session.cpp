#include "client/model/session.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "client/model/logon_fields.h"
#include "client/model/outgoing_messages.h"
#include "text/gbk.h"

namespace tovan {
namespace {

constexpr const char* kCannotConnect = "无法连接服务器，请检查网络";
constexpr const char* kBadAccountReply = "!ERR!|客户信息错误，请联系管理员";

// What a char[bufferSize] keeps, ending on a whole character: each of these
// values is a field of the logon line, and a "|" follows it.
std::string Cut(const std::string& s, std::size_t bufferSize) {
    return std::string(GbkCutField(s, bufferSize - 1));
}

std::string DroppedQueueNotice(std::size_t count) {
    return "已换用其他客户号登录，上一客户号未发出的 " + std::to_string(count) + " 条信息已丢弃";
}

}  // namespace

std::string FormatLogLine(const char* pattern, const std::tm& now, const std::string& text) {
    char time[16];
    if (std::strftime(time, sizeof time, "%H:%M:%S", &now) == 0) time[0] = '\0';
    std::string line;
    int filled = 0;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            line += filled++ == 0 ? std::string(time) : text;
            ++p;
        } else {
            line += *p;
        }
    }
    return line;
}

Session::Session(SessionPorts ports, AccountState& account, SessionHooks hooks)
    : ports_(ports), hooks_(std::move(hooks)), account_(account) {}

void Session::Configure(const SessionSettings& settings, std::function<std::string()> machineId) {
    serverHost_ = Cut(settings.serverHost, kNameBufferSize);
    serverPort_ = settings.serverPort;
    userName_ = Cut(settings.userName, kNameBufferSize);
    password_ = Cut(settings.password, kNameBufferSize);
    machineIdSource_ = std::move(machineId);
    machineId_.reset();
}

const std::string& Session::MachineId() {
    if (!machineId_) machineId_ = Cut(machineIdSource_ ? machineIdSource_() : std::string(), kNameBufferSize);
    return *machineId_;
}

AreaScope Session::areaScope() const {
    return AreaScope{account_.areaLevel, account_.homeProvince, account_.homeCity,
                     account_.thirdArea};
}

void Session::Log(const char* pattern, const std::string& text) {
    logLines_.Add(FormatLogLine(pattern, ports_.clock.LocalNow(), text));
    ports_.log.AddLine(logLines_.Lines().back());
}

void Session::Connect() {
    // The dialog runs a message loop: a close or retry arriving meanwhile must
    // not open a second dialog; the one showing decides what happens next.
    if (loginShowing_) return;

    Log(logline::kConnecting);
    // A stored name or password that cannot be sent (dmr.ini written by
    // hand, or before the dialog refused such fields) is not tried: the
    // dialog asks for acceptable ones.
    if (!showLoginFirst_) {
        const std::string problem = LogonFieldsProblem(userName_, password_);
        if (!problem.empty()) {
            showLoginFirst_ = true;
            pendingLoginError_ = problem;
        }
    }
    const bool interactive = showLoginFirst_;
    std::string droppedNotice;
    if (interactive) {
        std::string name, password;
        loginShowing_ = true;
        const bool ok = ports_.login.Ask(pendingLoginError_, name, password);
        loginShowing_ = false;
        if (!ok) {  // socket untouched, flag stays: the dialog comes again next time
            pendingLoginError_.clear();
            return;
        }
        name = Cut(name, kNameBufferSize);
        // The queue is what this account did: it goes out after its logon
        // again, but never under another account's name.
        if (name != userName_ && !unsentQueue_.empty()) {
            droppedNotice = DroppedQueueNotice(unsentQueue_.size());
            unsentQueue_.clear();
        }
        userName_ = name;
        password_ = Cut(password, kNameBufferSize);
    }

    // A retry due from a failed attempt before the dialog would replace the
    // connection opened now.
    ports_.timers.Stop(kReconnectTimer);
    ports_.socket.Close();
    int error = ports_.socket.Create();
    if (error == 0) error = ports_.socket.Connect(serverHost_, serverPort_);
    if (error != 0) {
        Log(logline::kConnectFailed);
        ports_.log.ShowAndRaise();
        if (interactive) ports_.socket.ShutdownSend();
        showLoginFirst_ = false;  // the retry does not ask again
        ports_.timers.Start(kReconnectTimer, kReconnectDelayMs);
    }
    pendingLoginError_.clear();
    // Told once the new connect is under way: the box waits for the user.
    if (!droppedNotice.empty()) {
        Log(logline::kUnsentDropped, droppedNotice);
        if (hooks_.tellUser) hooks_.tellUser(droppedNotice);
    }
}

void Session::LoginCommand() {
    showLoginFirst_ = true;
    Connect();
}

void Session::OnConnect(int error) {
    showLoginFirst_ = false;
    if (error != 0) {
        pendingLoginError_ = kCannotConnect;
        ports_.timers.Start(kReconnectTimer, kReconnectDelayMs);
        Log(logline::kConnectFailed);
        ports_.log.ShowAndRaise();
        return;
    }
    SendUnqueued(LogonMessage(userName_, password_, MachineId()));
    ports_.timers.Start(kPagingTimer, kPagingPeriodMs);
    pagingArmed_ = true;
    ports_.timers.Start(kKeepAliveTimer, kKeepAlivePeriodMs);
    Log(logline::kConnected);
}

void Session::OnClose(int /*error*/) {
    ports_.timers.Stop(kPagingTimer);
    pagingArmed_ = false;
    ports_.timers.Stop(kKeepAliveTimer);
    ports_.timers.Stop(kLogonHeldTimer);
    const bool closedSoonAfterLogon = std::exchange(logonHolding_, false);
    Log(logline::kClosed);
    // The login dialog is a wait of its own; otherwise a server that keeps
    // closing before the logon holds gets one try per retry period.
    if (++closesBeforeLogon_ >= kImmediateClosesBeforeWait && !showLoginFirst_) {
        if (closedSoonAfterLogon) Log(logline::kClosedAfterLogon);
        ports_.timers.Start(kReconnectTimer, kReconnectDelayMs);
        return;
    }
    Connect();
}

bool Session::OnTimer(unsigned id) {
    switch (id) {
    case kPagingTimer:
        PagingTick();
        return true;
    case kKeepAliveTimer:
        KeepAliveTick();
        return true;
    case kReconnectTimer:
        ports_.timers.Stop(kReconnectTimer);
        Connect();
        return true;
    case kLogonHeldTimer:
        ports_.timers.Stop(kLogonHeldTimer);
        logonHolding_ = false;
        closesBeforeLogon_ = 0;
        return true;
    default:
        return false;
    }
}

void Session::PagingTick() {
    // A tick already queued when the connection closed must not restart paging.
    if (!pagingArmed_) return;
    ports_.timers.Stop(kPagingTimer);
    pagingArmed_ = false;
    if (hooks_.pagingTick) hooks_.pagingTick();
    ports_.timers.Start(kPagingTimer, kPagingPeriodMs);
    pagingArmed_ = true;
}

void Session::KeepAliveTick() {
    if (unsentQueue_.empty()) {
        SendUnqueued(kKeepAliveMessage);
        return;
    }
    // Oldest first; what fails stays in its place for the next tick.
    for (std::size_t i = 0; i < unsentQueue_.size();) {
        if (ports_.socket.Send(unsentQueue_[i]) != -1) {
            unsentQueue_.erase(unsentQueue_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

void Session::Send(const std::string& message) {
    if (ports_.socket.Send(message) == -1) unsentQueue_.push_back(message);
}

void Session::SendUnqueued(const std::string& message) { ports_.socket.Send(message); }

void Session::OnOk(const char* message) {
    if (hooks_.clearRecordLists) hooks_.clearRecordLists();  // also for a reply that then fails

    const std::optional<LogonReply> reply = ParseLogonReply(message);
    if (!reply) {
        OnErr(kBadAccountReply);
        showLoginFirst_ = true;
        OnClose(0);  // restart the session through the login dialog
        return;
    }

    // A close within kLogonHeldMs still counts toward the retry wait.
    logonHolding_ = true;
    ports_.timers.Start(kLogonHeldTimer, kLogonHeldMs);
    AccountState& a = account_;
    a.homeCity = reply->homeCity;
    a.homeProvince = reply->homeProvince;
    a.ownUserId = reply->ownUserId;
    a.areaLevel = reply->areaLevel;
    a.currentArea = reply->AreaKey();
    a.contactName = reply->contactName;
    a.contactPhone = reply->contactPhone;
    a.contactMobile = reply->contactMobile;
    a.serviceDaysLeft = reply->serviceDaysLeft;
    a.publishRights = reply->publishRights;
    a.thirdArea = reply->thirdArea;

    // Selecting the own area starts a new list: requests queued for the old one go.
    DropQueuedListRequests();
    const bool treeAskedForList = hooks_.selectOwnAreaInTree && hooks_.selectOwnAreaInTree();

    a.isFullMember = reply->fullRights ? 1 : 0;
    if (hooks_.setLimitedRights) hooks_.setLimitedRights(a.isFullMember == 0);
    a.accountTitle = reply->accountTitle;
    if (hooks_.updateTitleAndPages) hooks_.updateTitleAndPages();

    // A second request would bring a second count, and the first rows twice.
    if (!treeAskedForList) SendUnqueued(TodayRecordMessage(a.currentArea));
    if (hooks_.refillShownList) hooks_.refillShownList();
    if (hooks_.updateCurrentInfoButton) hooks_.updateCurrentInfoButton();
    Log(logline::kLoggedOn);
}

void Session::OnErr(const char* message) {
    // The working copy holds at most kErrCopySize - 1 bytes; longer text is cut.
    const std::string_view whole(message);
    const std::vector<std::string> f = SplitFields(whole.substr(0, kErrCopySize - 1));
    if (f.size() > 1) {
        pendingLoginError_ = f[1];
        Log(logline::kError, f[1]);
    }
    showLoginFirst_ = true;
}

void Session::OnSendNotify(const char* message) {
    const std::vector<std::string> f = SplitFields(message);
    ports_.notice.ShowNotice(f.size() > 1 ? f[1] : std::string());
}

void Session::DropQueuedListRequests() {
    unsentQueue_.erase(std::remove_if(unsentQueue_.begin(), unsentQueue_.end(),
                                      [](const std::string& m) { return IsListRequest(m); }),
                       unsentQueue_.end());
}

}  // namespace tovan
