// Opening chat windows from the frame.
#include "client/core/main_frame.h"

#include <memory>
#include <string>

#include "client/windows/chat_dlg.h"
#include "fw/message_box.h"

std::string CMainFrame::ChatValues::ServerHost() const { return frame.session_.serverHost(); }

void CMainFrame::OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                          const std::string& localAddress, int localPort, int initiated) {
    chatWindows_.OpenChat(id, publicAddress, publicPort, localAddress, localPort, initiated);
}

std::unique_ptr<tovan::ChatWindowLink> CMainFrame::ChatPorts::CreateChatWindow(const tovan::ChatPeer& peer) {
    ChatOwner owner;
    owner.frame = frame.hwnd();
    owner.outbox = &frame.session_;
    owner.values = &frame.chatValues_;
    owner.voiceBusy = &frame.voiceBusy;
    auto window = std::make_unique<CChat>(peer, owner);
    if (!window->Open()) {
        // No half-built window: the user learns why the chat did not open.
        const bool noControl = window->HostFailureClass() == CDVokar::kClassId;
        fw::AppMessageBox(frame.hwnd(),
                          noControl ? "交谈控件未安装或未注册,无法打开交谈窗口。请重新安装本程序。"
                                    : "无法打开交谈窗口。",
                          nullptr, MB_OK | MB_ICONERROR);
        return nullptr;
    }
    ShowWindow(window->hwnd(), SW_SHOW);
    SetFocus(frame.hwnd());
    return window;
}
