// The client's main window: the Win32 shell over the portable client core
// (the model, the record handlers, the commands and the paging), which it
// shows through ClientView. It owns the server session and its socket, the
// record view, the panes, bars, menus and tray icon, and the chat windows.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "client/core/tv_socket.h"  // winsock2.h before windows.h

#include "client/core/area_tree_pane.h"
#include "client/core/browser_status_bar.h"
#include "client/windows/logic/chat_conversation.h"
#include "client/model/chat_relay.h"
#include "client/model/client_core.h"
#include "client/core/connection_log_dlg.h"
#include "client/windows/guanzhu_dlg.h"
#include "client/core/login_dlg.h"
#include "client/core/notice_dlg.h"
#include "client/windows/publish_dialogs_win.h"
#include "client/model/record_handlers.h"
#include "client/model/resend_schedule.h"
#include "client/model/search_commands.h"
#include "client/windows/search_dlg.h"
#include "client/core/search_pane.h"
#include "client/model/session.h"
#include "client/controls/session_ports_win.h"
#include "client/controls/toolbar_ex.h"
#include "client/core/web_pane.h"
#include "client/core/tovan_client_view.h"
#include "fw/scoped_gdi.h"
#include "fw/window.h"

extern const char kMainFrameClass[];

// Callback message of the tray icon.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 5;
// Frame timer that blinks the tray icon.
constexpr UINT_PTR kTrayBlinkTimer = 7;
// Frame timer that brings held window updates up to date (see BeginReceived).
constexpr UINT_PTR kHeldUpdatesTimer = 100;
// Posted to the frame once the first rows are on the screen; the timer makes
// the same step when no rows have come kAfterFirstRowsLatestMs after creation.
constexpr UINT kAfterFirstRowsMessage = WM_APP + 21;
constexpr UINT_PTR kAfterFirstRowsTimer = 101;
constexpr UINT kAfterFirstRowsLatestMs = 1000;
// Posted by the worker that reads the machine identifier.
constexpr UINT kMachineIdReadMessage = WM_APP + 22;

class CMainFrame : public fw::Window,
                   private tovan::ClientView,
                   private ReceiveBatch {
public:
    CMainFrame();

    // Creates the window, hidden and maximised; WM_CREATE reads the settings
    // and the machine identifier, creates the record view and makes the
    // first connection. The banner's and the web panes' browsers come once
    // the first rows are on the screen (CreateWindowsAfterFirstRows).
    bool CreateFrame();
    // Registers the chat control. The first rows need it not, so it runs
    // after them, or earlier at the first chat window: a request relayed
    // before the rows are painted must find the control.
    std::function<void()> registerChatControl;
    // Makes the browsers and loads the pages that waited for them; registers
    // the chat control. Once; later calls do nothing.
    void CreateWindowsAfterFirstRows();
    // The first, silent connection, once the record view exists.
    void StartSession() { session_.Connect(); }
    // The record view, once it exists; its grid then shows currentList.
    void AttachView(CTovanClientView& view);

    tovan::Session& session() { return session_; }
    // What the client knows; the frame shows it.
    tovan::ClientModel& model() { return client_.model(); }
    tovan::AccountState& account() { return client_.model().account; }
    tovan::RecordLists& lists() { return client_.model().lists; }
    // The platform is of the NT family: the grids draw pictures.
    bool UsePictures() const { return client_.model().usePictures; }
    CToolBarEx& toolbar() { return toolbar_; }
    HWND statusBar() const { return statusBar_.hwnd(); }
    // The status bar's banner browser, once made (CreateWindowsAfterFirstRows).
    HWND banner() const { return statusBar_.banner(); }
    CTovanClientView& view() { return view_; }
    // The search results grid, once the search pane exists.
    CViewGrid* SearchGrid() { return searchPane_.hwnd() ? &searchPane_.grid : nullptr; }
    CGridDialog& searchPane() { return searchPane_; }
    CDockDialog& areaTreePane() { return areaTreePane_; }
    CIEBar& topWebPane() { return topWebPane_; }
    CIEBar& rightWebPane() { return rightWebPane_; }
    // Opens a chat with user `id` or points his unconnected window at the
    // addresses; the grids' talk column calls it with initiated 1.
    void OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                  const std::string& localAddress, int localPort, int initiated);
    // The open chat windows.
    tovan::ChatList& chatWindows() { return chatWindows_; }
    // Every server message goes through here (the socket's handler).
    tovan::ServerMessageSink& messageHandler() { return messages_; }
    // Fills the area tree from an area.ini file.
    void LoadAreaTree(const std::string& iniPath);
    // Shows or hides a docked pane and lays the frame out again.
    void ShowPane(CSizingControlBar& pane, bool show);

    // Rebuilds the toolbar from dmr.ini [ToolBar]; relabels the current
    // information button once the user's area is known.
    void BuildToolBar();
    void BuildToolBar(tovan::ProfileReader& profiles);
    void UpdateCurrentInfoButton();
    // Rebuilds the tools menu from Config.ini [Tools].
    void BuildToolsMenu();
    // A new watched or searched offer: a sound, and the tray icon blinks
    // while the window is hidden.
    void Notify(const std::string& text) override;
    void RestoreFromTray();
    bool TrayIconShown() const { return trayIconShown_; }
    // The icon and tip the notification area took last (none once removed).
    HICON TrayIcon() const { return trayIcon_; }
    const std::string& TrayTip() const { return trayTip_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG& m) override;

private:
    // The connection log window as the session sees it (test builds also
    // copy every line to a file).
    struct LogWindowLines : tovan::LogWindowSink {
        explicit LogWindowLines(CDlgDlrz& w) : window(w) {}
        void AddLine(const std::string& line) override;
        void ShowAndRaise() override { window.ShowAndRaise(); }
        CDlgDlrz& window;
    };
    // The chat list's reach into the frame: new windows and the own user id.
    struct ChatPorts : tovan::ChatListPorts {
        explicit ChatPorts(CMainFrame& f) : frame(f) {}
        std::unique_ptr<tovan::ChatWindowLink> CreateChatWindow(const tovan::ChatPeer& peer) override;
        std::string OwnUserId() override { return frame.account().ownUserId; }
        void RefuseRelayed(const std::string& id) override;
        CMainFrame& frame;
    };

    // ClientView: what the portable client shows through the frame.
    std::string FrameTitle() const override;
    void SetFrameTitle(const std::string& title) override;
    std::string SearchPaneCaption() const override { return searchPaneCaption_; }
    void SetSearchPaneCaption(const std::string& c) override;
    bool SearchPaneVisible() const override { return searchPane_.Shown(); }
    void ShowSearchPane() override { ShowPane(searchPane_, true); }
    void RecalcLayout() override;
    void ShowLimitedRightsBox() override;
    void ShowCriteriaTooLongBox() override;
    void ScrollViewToTop() override;
    void SelectCurrentAreaInTree() override;

    // ReceiveBatch: while the messages of a burst arrive, the grids' scroll
    // bars and repaints, the title, the search pane's caption and the
    // notification wait, and are brought up to date once when no more bytes
    // are waiting (or the burst has run for kMaxHeldMs).
    void BeginReceived() override;
    void EndReceived(bool moreWaiting) override;
    void ReleaseHeldUpdates();

    tovan::SessionHooks MakeSessionHooks();
    void Publish(const char* offerClass);
    void ShowMyOffers();
    void UpdateTitleAndPages();
    int OnCreate();
    bool CreateBars();
    bool CreatePanes();
    void ToggleAreaTree();
    void SelectOwnAreaInTree();
    // Places the visible panes of one edge in rows inside `room`; returns the
    // room the edge takes from the frame's middle.
    int LayoutEdge(std::initializer_list<CSizingControlBar*> panes, CSizingControlBar::Dock dock,
                   const RECT& room);
    // Idle work: the panes' captions follow the keyboard focus.
    static void OnIdle(HWND frame);
    bool OnCommand(int id);
    // The user's masking switch, for the record view and the search grid alike.
    void ToggleMask();
    void OnInitMenuPopup(HMENU popup);
    bool OnSysCommand(WPARAM id);
    void OnTrayNotify(LPARAM event);
    void BlinkTray();
    bool SetTrayIcon(DWORD action, HICON icon, const std::string& tip);
    void MarkPublishMode(int kind);
    void MarkMinimiseMode(int mode);
    void SetPublishMode(int kind);
    void SetMinimiseMode(int mode);
    void RunTool(int id);
    // registerChatControl, once.
    void EnsureChatControlRegistered();
    void OpenSupportPage();

    CTvSocket socket_;
    TvSessionSocket sessionSocket_{socket_};
    WindowTimers timers_{*this};
    LocalClock clock_;
    CDenglu loginDialog_;
    CNotify noticeWindow_;
    CDlgDlrz logWindow_;
    LogWindowLines logLines_{logWindow_};
    // The client without its windows; it shows through this frame and sends
    // through the session (bound before the session exists, used after).
    tovan::ClientCore client_{*this, session_, [](int ms) { Sleep(static_cast<DWORD>(ms)); }};
    tovan::Session session_;
    // Chat windows: the values they read of the frame (the account as it is
    // now), one voice conversation per client, and the list itself.
    struct ChatValues : tovan::ChatFrameValues {
        explicit ChatValues(CMainFrame& f) : frame(f) {}
        std::string ContactName() const override { return frame.account().contactName; }
        std::string OwnUserId() const override { return frame.account().ownUserId; }
        std::string ServerHost() const override;
        CMainFrame& frame;
    };
    ChatValues chatValues_{*this};
    int voiceBusy = 0;
    bool chatRefusalShowing_ = false;  // the box about a chat that cannot open is up
    ChatPorts chatPorts_{*this};
    tovan::ChatList chatWindows_{chatPorts_, session_};
    // Every server message goes to the session, the offer lists and the chats.
    tovan::ServerMessageHandlers messages_{&session_, &client_.records(), &chatWindows_};
    // Offers published with repeats, worked by timer 12.
    tovan::ResendSchedule resendSchedule_{clock_, session_};
    PublishDialogsWin publishDialogs_{session_.account()};
    CSousuo searchDialog_;
    CGjSousuo quickSearchDialog_;
    CGuanzhu watchSettingsDialog_;
    std::string searchPaneCaption_;
    bool updatesHeld_ = false;
    DWORD heldSince_ = 0;  // tick count when the hold began
    std::optional<std::string> heldTitle_, heldNotice_;
    bool captionHeld_ = false;  // searchPaneCaption_ waits for the release
    bool treeSelectionRan_ = false;  // the area tree's handler ran since last cleared
    CToolBarEx toolbar_;
    CBrowserStatusBar statusBar_;
    std::string blinkTip_;                 // tray tip while blinking
    int blinkPhase_ = 0;
    bool trayIconShown_ = false;
    HICON trayIcon_ = nullptr;
    std::string trayTip_;
    int toolItemCount_ = 0;                // tools menu items last inserted
    CDockDialog areaTreePane_;
    CGridDialog searchPane_;
    CIEBar topWebPane_;
    CIEBar rightWebPane_;
    bool rightPaneClosed_ = false;  // the user closed the right web pane
    bool afterFirstRowsDone_ = false;
    bool chatControlRegistered_ = false;
    std::string siteBase_;          // the service's site, from Config.ini [URL] Merovan
    CTovanClientView view_;
};
