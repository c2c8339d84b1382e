// The client's main window. It owns the whole client: the server session and
// its socket, the account values, the three offer lists with their handlers
// and paging, the search and watch criteria, and the record view.
#pragma once

#include <string>

#include "tv_socket.h"  // winsock2.h before windows.h

#include "connection_log_dlg.h"
#include "login_dlg.h"
#include "notice_dlg.h"
#include "record_grid_frame.h"
#include "record_handlers.h"
#include "resend_schedule.h"
#include "session.h"
#include "session_ports_win.h"
#include "tovan_client_view.h"
#include "window.h"

extern const char kMainFrameClass[];

class CMainFrame : public fw::Window,
                   public tovan::RecordGridFrame,
                   private tovan::RecordFrameEffects {
public:
    CMainFrame();

    // Creates the window; WM_CREATE reads the settings and the machine
    // identifier, and the record view makes the first connection.
    bool CreateFrame();
    // The first, silent connection (the view asks for it).
    void StartSession() { session_.Connect(); }
    // The record view, once it exists; its grid then shows currentList.
    void AttachView(CTovanClientView& view);

    tovan::Session& session() { return session_; }
    tovan::AccountState& account() { return session_.account(); }
    // An administrator notice: its text in the notice window, shown.
    void ShowNotify(const std::string& text) { noticeWindow_.ShowNotice(text); }
    tovan::RecordLists& lists() { return lists_; }
    tovan::ResendSchedule& resendSchedule() { return resendSchedule_; }

    // RecordGridFrame.
    bool UsePictures() const override { return ntFlag != 0; }
    bool InWatchMode() const override { return watchMode != 0; }
    std::string SearchText() const override { return searchText; }
    std::string SearchDestinations() const override { return searchDestinations; }
    std::string WatchKeywords() const override { return watchKeywords; }
    std::string WatchDestinations() const override { return watchDestinations; }

    // Frame state other windows read and write.
    std::string titlePrefix;  // first part of every title (500-byte buffer)
    std::string searchAreas, searchDestinations, searchClasses, searchText;
    std::string watchAreas, watchDestinations, watchKeywords, watchClasses;
    int watchMode = 0;
    int ntFlag = 0;  // the platform is of the NT family: the grids draw pictures
    // Queries of the watch and search lists, sent with their row requests.
    std::string watchRecordQuery, searchRecordQuery;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The connection log window as the session sees it (test builds also
    // copy every line to a file).
    struct LogWindowLines : tovan::LogWindowSink {
        explicit LogWindowLines(CDlgDlrz& w) : window(w) {}
        void AddLine(const std::string& line) override;
        void ShowAndRaise() override { window.ShowAndRaise(); }
        CDlgDlrz& window;
    };
    // Every server message the client serves, to the session or the lists.
    struct ClientMessages : tovan::SessionMessageHandler {
        ClientMessages(tovan::Session& s, tovan::RecordHandlers& r)
            : SessionMessageHandler(s), records(r) {}
        void OnNewRecord(const char* m) override { records.OnNewRecord(m); }
        void OnChengjiao(const char* m) override { records.OnChengjiao(m); }
        void OnDeleteMsg(const char* m) override { records.OnDeleteMsg(m); }
        void OnRecordCount(const char* m) override { records.OnRecordCount(m); }
        void OnSingleRecord(const char* m) override { records.OnSingleRecord(m); }
        void OnSousuoCount(const char* m) override { records.OnSousuoCount(m); }
        void OnSousuoRecord(const char* m) override { records.OnSousuoRecord(m); }
        void OnGuanzhuCount(const char* m) override { records.OnGuanzhuCount(m); }
        void OnGuanzhuRecord(const char* m) override { records.OnGuanzhuRecord(m); }
        void OnMyRecordCount(const char* m) override { records.OnMyRecordCount(m); }
        void OnMyMsgRecord(const char* m) override { records.OnMyMsgRecord(m); }
        tovan::RecordHandlers& records;
    };

    // RecordFrameEffects.
    std::string FrameTitle() const override;
    void SetFrameTitle(const std::string& title) override;
    std::string SearchPaneCaption() const override { return searchPaneCaption_; }
    void SetSearchPaneCaption(const std::string& c) override { searchPaneCaption_ = c; }
    bool SearchPaneVisible() const override { return false; }  // no search pane yet
    void Notify(const std::string&) override {}

    tovan::SessionHooks MakeSessionHooks();
    void ClearRecordLists();
    void UpdateTitleAndPages();
    void PagingTick();
    int OnCreate();

    CTvSocket socket_;
    TvSessionSocket sessionSocket_{socket_};
    WindowTimers timers_{*this};
    LocalClock clock_;
    CDenglu loginDialog_;
    CNotify noticeWindow_;
    CDlgDlrz logWindow_;
    LogWindowLines logLines_{logWindow_};
    tovan::Session session_;
    tovan::RecordLists lists_;
    tovan::RecordFrameState recordState_;
    tovan::RecordHandlers records_{lists_, recordState_, *this};
    ClientMessages messages_{session_, records_};
    // Offers published with repeats, worked by timer 12.
    tovan::ResendSchedule resendSchedule_{
        clock_, tovan::OfferSender{
                    [this](std::string_view m) { return sessionSocket_.Send(m); },
                    [this](const std::string& m) { session_.QueueUnsent(m); }}};
    std::string searchPaneCaption_;
    CTovanClientView view_;
};
