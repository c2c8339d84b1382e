// Opening chat windows from the frame.
#include "client/core/main_frame.h"

#include <memory>
#include <string>

#include "client/windows/chat_dlg.h"
#include "fw/dialog.h"
#include "fw/logic/dotted_ipv4.h"
#include "fw/message_box.h"
#include "text/gbk.h"

namespace {

// A peer id from the network, as much of it as the log shows.
constexpr std::size_t kLoggedIdBytes = 64;

}  // namespace

// The address server is the exchange's host: the address the session's
// connection reached, so that no chat window looks the name up on this thread.
std::string CMainFrame::ChatValues::ServerHost() const {
    const std::string connected = frame.socket_.PeerAddress();
    if (!connected.empty()) return connected;
    const std::string& configured = frame.session_.serverHost();
    return fw::IsDottedIPv4(configured) ? configured : std::string();
}

void CMainFrame::ChatPorts::RefuseRelayed(const std::string& id) {
    frame.session_.Log(tovan::logline::kChatRequestRefused,
                       std::string(tovan::GbkCut(id, kLoggedIdBytes)) + " (地址无效)");
}

void CMainFrame::OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                          const std::string& localAddress, int localPort, int initiated) {
    chatWindows_.OpenChat(id, publicAddress, publicPort, localAddress, localPort, initiated);
}

void CMainFrame::EnsureChatControlRegistered() {
    if (chatControlRegistered_) return;
    chatControlRegistered_ = true;
    if (registerChatControl) registerChatControl();
}

std::unique_ptr<tovan::ChatWindowLink> CMainFrame::ChatPorts::CreateChatWindow(const tovan::ChatPeer& peer) {
    frame.EnsureChatControlRegistered();
    ChatOwner owner;
    owner.frame = frame.hwnd();
    owner.outbox = &frame.session_;
    owner.values = &frame.chatValues_;
    owner.voiceBusy = &frame.voiceBusy;
    auto window = std::make_unique<CChat>(peer, owner);
    if (!window->Open()) {
        const bool noControl = window->HostFailureClass() == CDVokar::kClassId;
        if (!peer.initiatedLocally) {
            // Another user's request: turned down without a box, which the
            // network could otherwise pile up one inside the other.
            frame.session_.Log(tovan::logline::kChatRequestRefused,
                               std::string(tovan::GbkCut(peer.peerUserId, kLoggedIdBytes)) +
                                   (noControl ? " (交谈控件未安装或未注册)" : ""));
            return nullptr;
        }
        // The user's own double-click: told why, once at a time.
        if (frame.chatRefusalShowing_) return nullptr;
        frame.chatRefusalShowing_ = true;
        fw::AppMessageBox(frame.hwnd(),
                          noControl ? "交谈控件未安装或未注册,无法打开交谈窗口。请重新安装本程序。"
                                    : "无法打开交谈窗口。",
                          nullptr, MB_OK | MB_ICONERROR);
        frame.chatRefusalShowing_ = false;
        return nullptr;
    }
    window->ShowInFront(peer.initiatedLocally != 0);
    return window;
}
