// The whole receive path under arbitrary server bytes: framing, dispatch, the
// logon reply and error handlers of the session, every record handler, and
// paging ticks, reconnects, watch mode and the search pane switched between
// the chunks. After every step the lists must be consistent: each grid shows
// exactly its list's rows, every row with data lies inside its list and is
// counted, nothing is redrawn outside a list, and every row request asks only
// for rows the list has.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "client/model/record_handlers.h"
#include "client/model/row_paging.h"
#include "client/model/server_message.h"
#include "client/model/session.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

// A grid that keeps only its row count and checks what it is told.
class CountingGrid : public tovan::RecordGridView {
public:
    explicit CountingGrid(const tovan::RecordStore& list) : list_(list) {}
    int firstVisible = 0;
    int rows = 0;
    int FirstVisibleRow() const override { return firstVisible; }
    void ResetRows(int count) override { rows = count; }
    void InsertTopRow() override { ++rows; }
    void DeleteRow(int row) override {
        Require(row >= 0 && row < rows);
        --rows;
    }
    void RedrawRow(int row) override { Require(row >= 0 && row < list_.Size()); }

private:
    const tovan::RecordStore& list_;
};

struct NullSocket : tovan::SessionSocket {
    void Close() override {}
    int Create() override { return 0; }
    int Connect(const std::string&, int) override { return 0; }
    int Send(std::string_view text) override { return static_cast<int>(text.size()); }
    void ShutdownSend() override {}
};
struct NullTimers : tovan::SessionTimers {
    void Start(unsigned, unsigned) override {}
    void Stop(unsigned) override {}
};
struct FixedClock : tovan::Clock {
    std::tm LocalNow() override { return std::tm{}; }
};
struct NoLogin : tovan::LoginPrompt {
    bool Ask(const std::string&, std::string&, std::string&) override { return false; }
};
struct NullLog : tovan::LogWindowSink {
    void AddLine(const std::string&) override {}
    void ShowAndRaise() override {}
};
struct NullNotice : tovan::NoticeSink {
    void ShowNotice(const std::string&) override {}
};

struct Frame : tovan::RecordFrameEffects {
    std::string title, caption;
    bool searchVisible = false;
    std::string FrameTitle() const override { return title; }
    void SetFrameTitle(const std::string& t) override { title = t; }
    std::string SearchPaneCaption() const override { return caption; }
    void SetSearchPaneCaption(const std::string& c) override { caption = c; }
    bool SearchPaneVisible() const override { return searchVisible; }
    void Notify(const std::string&) override {}
};

struct Client {
    NullSocket socket;
    NullTimers timers;
    FixedClock clock;
    NoLogin login;
    NullLog log;
    NullNotice notice;
    tovan::ClientModel model;
    tovan::RecordLists& lists = model.lists;
    int& watchMode = model.watchMode;
    CountingGrid viewGrid{lists.currentList}, searchGrid{lists.searchList};
    tovan::PendingRequests viewPending, searchPending;
    Frame frame;
    tovan::Session session;
    tovan::RecordHandlers records{model, frame};
    tovan::ServerMessageHandlers messages{&session, &records};

    Client() : session(tovan::SessionPorts{socket, timers, clock, login, log, notice}, model.account, Hooks()) {
        model.titlePrefix = "T";
        model.watch = {"'c','p'", "'货','车'", "", ""};
        model.search = {"'c'", "'货'", "'x'", "k"};
        lists.currentGrid = {&viewGrid, &viewPending};
        lists.searchGrid = {&searchGrid, &searchPending};
    }

    tovan::SessionHooks Hooks() {
        tovan::SessionHooks h;
        h.clearRecordLists = [this] { tovan::ClearCurrentAndSearchLists(lists); };
        return h;
    }

};

// A count announces at most kMaxRows rows; every pushed offer adds one, and
// each push takes more than one byte of the input.
void CheckList(tovan::RecordStore& list, std::size_t inputSize) {
    int withData = 0;
    list.ForEachLoaded([&](int row, tovan::MsgInfo& rec) {
        Require(row >= 0 && row < list.Size());
        Require(rec.loaded == 1);
        Require(std::memchr(rec.BodyIs, '\0', sizeof rec.BodyIs) != nullptr);
        ++withData;
    });
    Require(withData == list.LoadedCount());
    Require(list.Size() >= 0 &&
            static_cast<std::size_t>(list.Size()) <= tovan::RecordStore::kMaxRows + inputSize);
}

// A row request: "!WORD!|first|count|selector^" for rows inside the list.
void CheckRequest(const std::string& msg, const tovan::RecordStore& current,
                  const tovan::RecordStore& search) {
    const std::vector<std::string> f = tovan::SplitFields(msg);
    Require(f.size() >= 3 && msg.back() == '^');
    const long first = std::strtol(f[1].c_str(), nullptr, 10);
    const long count = std::strtol(f[2].c_str(), nullptr, 10);
    const tovan::RecordStore& list = f[0] == "!SOUSUORECORD!" ? search : current;
    Require(first >= 0 && count > 0 && count <= tovan::kPagingWindow && first + count <= list.Size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Client c;
    tovan::ServerMessageFramer framer;
    c.session.Connect();
    c.session.OnConnect(0);

    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t op = data[i++];
        if (op < 200) {
            // A receive call of 1..1024 bytes.
            std::size_t len = 1 + (static_cast<std::size_t>(op) * 7) % tovan::kReceiveChunk;
            if (len > size - i) len = size - i;
            char chunk[tovan::kReceiveChunk + 1] = {};
            std::memcpy(chunk, data + i, len);
            framer.Feed(chunk, len, c.messages);
            i += len;
        } else if (op < 220) {
            // A paging tick with the grids scrolled somewhere.
            const int first = i + 1 < size ? (data[i] << 8 | data[i + 1]) : 0;
            i += 2;
            c.viewGrid.firstVisible = first;
            c.searchGrid.firstVisible = first / 2;
            struct CheckedRequests : tovan::Outbox {
                explicit CheckedRequests(Client& client) : c(client) {}
                void Send(const std::string& m) override {
                    CheckRequest(m, c.lists.currentList, c.lists.searchList);
                }
                void DropQueuedListRequests() override {}
                Client& c;
            } requests{c};
            const tovan::PagingIo io{requests, {}};
            tovan::RunPagingTick(c.lists.currentList, c.lists.currentGrid, c.lists.searchList,
                                 c.lists.searchGrid, c.watchMode != 0, c.session.account().currentArea,
                                 "w", "s", io);
        } else if (op < 230) {
            c.watchMode = !c.watchMode;
        } else if (op < 240) {
            c.frame.searchVisible = !c.frame.searchVisible;
        } else if (op < 250) {
            // The server drops the connection; a new one starts empty.
            c.session.OnClose(0);
            framer.Clear();
            c.session.OnConnect(0);
        } else {
            c.session.OnTimer(tovan::kKeepAliveTimer);
        }
        CheckList(c.lists.currentList, size);
        CheckList(c.lists.searchList, size);
        CheckList(c.lists.myList, size);
        Require(c.viewGrid.rows == c.lists.currentList.Size());
        Require(c.searchGrid.rows == c.lists.searchList.Size());
        Require(c.lists.myMsgCount == c.lists.myList.Size() || c.lists.myMsgCount == 0);
    }
    return 0;
}
