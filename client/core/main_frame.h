// The client's main window. For now a plain top-level window that owns the
// server session: settings, machine identifier, the session socket and the
// frame timers the session runs on.
#pragma once

#include <string>

#include "tv_socket.h"  // winsock2.h before windows.h

#include "session.h"
#include "session_ports_win.h"
#include "window.h"

extern const char kMainFrameClass[];

class CMainFrame : public fw::Window {
public:
    CMainFrame();

    // Creates the window (settings and machine identifier are read on WM_CREATE).
    bool CreateFrame();
    // The first, silent connection.
    void StartSession() { session_.Connect(); }

    tovan::Session& session() { return session_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Until the login dialog exists every login prompt is cancelled: the client
    // then stays offline until it is started again.
    struct NoLoginDialog : tovan::LoginPrompt {
        bool Ask(const std::string&, std::string&, std::string&) override { return false; }
    };
    // Until the connection log window exists the frame shows the log lines itself.
    struct FrameLog : tovan::LogWindowSink {
        explicit FrameLog(CMainFrame& f) : frame(f) {}
        void AddLine(const std::string&) override;
        void ShowAndRaise() override {}
        CMainFrame& frame;
    };
    // Until the notice window exists the last notice is only kept.
    struct KeptNotice : tovan::NoticeSink {
        void ShowNotice(const std::string& text) override { last = text; }
        std::string last;
    };

    int OnCreate();
    void OnPaint();

    CTvSocket socket_;
    TvSessionSocket sessionSocket_{socket_};
    WindowTimers timers_{*this};
    LocalClock clock_;
    NoLoginDialog login_;
    FrameLog log_{*this};
    KeptNotice notice_;
    tovan::Session session_;
    tovan::SessionMessageHandler messages_{session_};
    HFONT font_ = nullptr;
};
