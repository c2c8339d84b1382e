// ActiveX hosting under Wine: dialogs whose template items name a class id
// host the chat control (Vokar.ocx, registered from beside this program),
// calls by dispatch id through the client's wrapper, events through the
// host's sink, clean refusal of a class nobody registered, the release of
// every reference (the control's module may unload afterwards), and the
// system's web browser control asked to load a page from a loopback server.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <olectl.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fw/control_host.h"
#include "tests/wine/control_host_test_ids.h"
#include "fw/dialog.h"
#include "fw/dialog_template.h"
#include "client/windows/dvokar.h"
#include "client/controls/explorer1.h"
#include "tests/wine/gui_test_util.h"
#include "fw/scoped_com.h"

namespace {

HMODULE g_ocx = nullptr;

using EntryPoint = HRESULT(STDAPICALLTYPE*)();
HRESULT CallExport(const char* name) {
    auto f = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(g_ocx, name)));
    return f ? f() : E_NOTIMPL;
}

std::string BesideProgram(const char* file) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + file;
}

class HostEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        g_ocx = LoadLibraryA(BesideProgram("Vokar.ocx").c_str());
        ASSERT_NE(g_ocx, nullptr);
        ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
    }
    void TearDown() override { OleUninitialize(); }
};
const auto* const g_env = testing::AddGlobalTestEnvironment(new HostEnvironment);

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        testutil::Pump(20);
    }
    return true;
}

// Every control instance of Vokar.ocx holds its module; none left means
// every reference the container took was given back.
bool NoControlAlive() {
    return PumpUntil([] { return CallExport("DllCanUnloadNow") == S_OK; }, 2000);
}

class HostDialog : public fw::Dialog {
public:
    explicit HostDialog(UINT id) : fw::Dialog(id) {}
    bool hostAtInit = false;

protected:
    BOOL OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        hostAtInit = HostedControl(IDC_HOST_CONTROL) != nullptr;
        return TRUE;
    }
};

RECT DialogUnits(HWND dialog, RECT r) {
    MapDialogRect(dialog, &r);
    return r;
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(DialogTemplate, ListsClassIdItemsAndKeepsTheRest) {
    struct Case {
        UINT id;
        std::vector<int> hosted;
        int previous;  // the item before the first hosted one
    };
    for (const Case& c : {Case{IDD_HOST_CHAT_TEST, {IDC_HOST_CONTROL}, IDC_HOST_EDIT},
                          Case{IDD_HOST_PLAIN_FORM_TEST, {IDC_HOST_CONTROL}, -1},
                          Case{IDD_HOST_UNREGISTERED_TEST, {IDC_HOST_CONTROL, IDC_HOST_MISSING}, IDC_HOST_EDIT}}) {
        SCOPED_TRACE(c.id);
        fw::DialogTemplate tpl;
        ASSERT_TRUE(tpl.Load(GetModuleHandleA(nullptr), c.id));
        std::vector<int> ids;
        for (const auto& item : tpl.ControlItems()) ids.push_back(item.id);
        EXPECT_EQ(ids, c.hosted);
        EXPECT_EQ(tpl.ControlItems()[0].previousId, c.previous);
        EXPECT_EQ(tpl.ControlItems()[0].classId, "{6B4602D7-8EC6-45E4-83C5-0D96D25C1C29}");
    }
    fw::DialogTemplate chat;
    ASSERT_TRUE(chat.Load(GetModuleHandleA(nullptr), IDD_HOST_CHAT_TEST));
    const RECT r = chat.ControlItems()[0].dialogUnits;
    EXPECT_EQ(r.left, 221);
    EXPECT_EQ(r.top, 189);
    EXPECT_EQ(r.right, 261);
    EXPECT_EQ(r.bottom, 201);
}

// Every cut of a real template is refused or read within its bytes.
TEST(DialogTemplate, TruncatedTemplatesAreRefused) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_HOST_UNREGISTERED_TEST), MAKEINTRESOURCEA(5));
    ASSERT_NE(res, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    const size_t size = SizeofResource(nullptr, res);
    for (size_t n = 0; n + 2 < size; ++n) {
        std::vector<BYTE> cut(data, data + n);  // exactly n bytes: a read past them is a fault
        fw::DialogTemplate tpl;
        EXPECT_FALSE(tpl.Parse(cut.data(), cut.size())) << n;
    }
    fw::DialogTemplate whole;
    EXPECT_TRUE(whole.Parse(data, size));
}

TEST(DialogHosting, ChatControlFromTheTemplateTakesCallsAndFiresEvents) {
    HostDialog a(IDD_HOST_CHAT_TEST), b(IDD_HOST_CHAT_TEST);
    ASSERT_TRUE(a.CreateModeless());
    ASSERT_TRUE(b.CreateModeless());
    EXPECT_TRUE(a.hostAtInit);  // there before OnInitDialog
    EXPECT_EQ(a.HostFailure(), S_OK);

    fw::ControlHost* hostA = a.HostedControl(IDC_HOST_CONTROL);
    fw::ControlHost* hostB = b.HostedControl(IDC_HOST_CONTROL);
    ASSERT_NE(hostA, nullptr);
    ASSERT_NE(hostB, nullptr);
    EXPECT_EQ(a.HostedControl(IDC_HOST_EDIT), nullptr);
    EXPECT_TRUE(hostA->EventsConnected());

    // The item's place, id and order among its siblings.
    HWND w = hostA->Window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(a.Item(IDC_HOST_CONTROL), w);
    EXPECT_EQ(GetParent(w), a.hwnd());
    const RECT want = DialogUnits(a.hwnd(), {221, 189, 261, 201});
    const RECT got = ChildRect(w);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
    EXPECT_EQ(GetWindow(a.Item(IDC_HOST_EDIT), GW_HWNDNEXT), w);
    EXPECT_TRUE(IsWindowVisible(a.hwnd()));  // the template's WS_VISIBLE, shown once complete

    CDVokar va, vb;
    ASSERT_TRUE(va.Attach(hostA));
    ASSERT_TRUE(vb.Attach(hostB));
    va.Bind(0);
    vb.Bind(0);
    const long portA = va.LocalPort(), portB = vb.LocalPort();
    EXPECT_GT(portA, 0);
    EXPECT_GT(portB, 0);
    EXPECT_FALSE(va.LocalAddress().empty());

    std::string addIp, text;
    long addPort = 0, acceptPort = 0, textPort = 0;
    hostB->OnEvent(CDVokar::kPeerAdd, [&](const fw::com::EventArgs& e) {
        addIp = e.Text(0);
        addPort = e.Long(1);
        vb.RemoveAllChaters();
        vb.AcceptChater(addIp, addPort);  // back into the control from inside its event
    });
    hostA->OnEvent(CDVokar::kPeerAccept, [&](const fw::com::EventArgs& e) { acceptPort = e.Long(1); });
    hostB->OnEvent(CDVokar::kNewMessage, [&](const fw::com::EventArgs& e) {
        text = e.Text(2);
        textPort = e.Long(1);
    });

    va.AddChater("127.0.0.1", portB);
    ASSERT_TRUE(PumpUntil([&] { return acceptPort != 0; }, 5000));
    EXPECT_EQ(addIp, "127.0.0.1");
    EXPECT_EQ(addPort, portA);
    EXPECT_EQ(acceptPort, portB);

    va.SendShortMessage("", 0, "!ANAME!~张三 货运");
    ASSERT_TRUE(PumpUntil([&] { return !text.empty(); }, 3000));
    EXPECT_EQ(text, "!ANAME!~张三 货运");  // GBK both ways
    EXPECT_EQ(textPort, portA);

    // A's dialog goes: its control closes, B hears of it.
    long closedPort = 0;
    hostB->OnEvent(CDVokar::kPeerClose, [&](const fw::com::EventArgs& e) { closedPort = e.Long(1); });
    a.Destroy();
    EXPECT_FALSE(IsWindow(w));
    ASSERT_TRUE(PumpUntil([&] { return closedPort != 0; }, 3000));
    EXPECT_EQ(closedPort, portA);
    b.Destroy();
    EXPECT_TRUE(NoControlAlive());
}

TEST(DialogHosting, OldTemplateFormAndModalShowing) {
    HWND seen = nullptr;
    long port = -1;
    struct Probe : HostDialog {
        using HostDialog::HostDialog;
        HWND* seen;
        long* port;
        BOOL OnInitDialog() override {
            HostDialog::OnInitDialog();
            CDVokar v;
            if (v.Attach(HostedControl(IDC_HOST_CONTROL))) {
                *seen = v.Host()->Window();
                v.Bind(0);
                *port = v.LocalPort();
            }
            PostMessageA(hwnd(), WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        }
    } probe(IDD_HOST_PLAIN_FORM_TEST);
    probe.seen = &seen;
    probe.port = &port;
    EXPECT_EQ(probe.DoModal(), IDCANCEL);
    EXPECT_NE(seen, nullptr);
    EXPECT_GT(port, 0);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(NoControlAlive());
}

// One class nobody registered: no dialog, the reason for the caller's
// message, and the control created before it released again.
TEST(DialogHosting, UnregisteredClassRefusesTheWholeDialog) {
    HostDialog modeless(IDD_HOST_UNREGISTERED_TEST);
    EXPECT_FALSE(modeless.CreateModeless());
    EXPECT_EQ(modeless.hwnd(), nullptr);
    EXPECT_EQ(modeless.HostFailure(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(modeless.HostFailureClass(), "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_EQ(FindWindowA(nullptr, "未注册控件"), nullptr);

    HostDialog modal(IDD_HOST_UNREGISTERED_TEST);
    EXPECT_EQ(modal.DoModal(), -1);
    EXPECT_EQ(modal.HostFailure(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(FindWindowA(nullptr, "未注册控件"), nullptr);
    EXPECT_TRUE(NoControlAlive());

    // The same object opens a good template afterwards.
    HostDialog good(IDD_HOST_CHAT_TEST);
    EXPECT_TRUE(good.CreateModeless());
    EXPECT_EQ(good.HostFailure(), S_OK);
    good.Destroy();
    EXPECT_TRUE(NoControlAlive());
}

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  500, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND parent_ = nullptr;
};

TEST_F(HostWindow, CreateByProgIdMoveFocusAndDestroy) {
    fw::ControlHost host;
    ASSERT_EQ(host.Create("VOKAR.Voice", parent_, {5, 6, 25, 26}, 77), S_OK);
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_EQ(GetDlgItem(parent_, 77), host.Window());
    // The control's window object lives in the control's module: ours must
    // not take it for one of theirs (nor theirs for ours).
    EXPECT_EQ(fw::Window::FromHandle(host.Window()), nullptr);
    host.Move({30, 40, 90, 60});
    const RECT r = ChildRect(host.Window());
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right, 90);
    EXPECT_EQ(r.bottom, 60);
    SetForegroundWindow(parent_);
    host.Focus();
    EXPECT_EQ(GetFocus(), host.Window());

    HWND w = host.Window();
    host.Destroy();
    host.Destroy();
    EXPECT_FALSE(host.IsCreated());
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(NoControlAlive());

    for (const char* bad : {"VOKAR.Nothing", "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", "{not a class id}", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(FAILED(host.Create(bad, parent_, {0, 0, 10, 10}, 1)));
        EXPECT_FALSE(host.IsCreated());
        EXPECT_EQ(host.Dispatch(), nullptr);
    }
    // Calls without a control fail, they do not crash.
    LONG v = 0;
    EXPECT_EQ(host.GetLong(12, &v), E_POINTER);
}

// What a control learns from its site: the ambient properties.
TEST_F(HostWindow, AmbientPropertiesOfTheSite) {
    fw::ControlHost host;
    ASSERT_EQ(host.Create(CDVokar::kClassId, parent_, {0, 0, 0, 0}, 1), S_OK);
    fw::com::ComPtr<IOleObject> ole = fw::com::ComPtr<IUnknown>::Share(host.Object()).As<IOleObject>(IID_IOleObject);
    fw::com::ComPtr<IOleClientSite> site;
    ASSERT_EQ(ole->GetClientSite(site.Out()), S_OK);
    auto ambient = site.As<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(ambient);
    struct Case {
        DISPID id;
        VARTYPE type;
        LONG value;  // VT_BOOL: -1 true, 0 false
    };
    for (const Case& c : {Case{DISPID_AMBIENT_USERMODE, VT_BOOL, -1}, Case{DISPID_AMBIENT_UIDEAD, VT_BOOL, 0},
                          Case{DISPID_AMBIENT_SHOWHATCHING, VT_BOOL, 0}, Case{DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, 0},
                          Case{DISPID_AMBIENT_LOCALEID, VT_I4, static_cast<LONG>(GetUserDefaultLCID())}}) {
        SCOPED_TRACE(c.id);
        fw::com::Variant v;
        DISPPARAMS none = {};
        ASSERT_EQ(ambient->Invoke(c.id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, v.Out(), nullptr, nullptr), S_OK);
        ASSERT_EQ(V_VT(&v.Get()), c.type);
        EXPECT_EQ(c.type == VT_BOOL ? V_BOOL(&v.Get()) : V_I4(&v.Get()), c.value);
    }
    fw::com::Variant v;
    DISPPARAMS none = {};
    EXPECT_EQ(ambient->Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, v.Out(), nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    auto inPlace = site.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    ASSERT_TRUE(inPlace);
    HWND w = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&w), S_OK);
    EXPECT_EQ(w, parent_);
    site.Reset();
    ambient.Reset();
    inPlace.Reset();
    ole.Reset();
    host.Destroy();
    EXPECT_TRUE(NoControlAlive());
}

// A loopback HTTP server that answers every request with a small page and
// keeps the request lines it saw.
class TinyHttpServer {
public:
    TinyHttpServer() {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        int len = sizeof a;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        listen(listen_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TinyHttpServer() {
        stop_ = true;
        closesocket(listen_);
        thread_.join();
    }
    unsigned short port() const { return port_; }
    std::string FirstRequestLine() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_.empty() ? std::string() : requests_.front();
    }
    std::vector<std::string> RequestLines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve() {
        while (!stop_) {
            SOCKET c = accept(listen_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            char buf[2048];
            const int n = recv(c, buf, sizeof buf - 1, 0);
            if (n > 0) {
                std::string req(buf, static_cast<size_t>(n));
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    requests_.push_back(req.substr(0, req.find("\r\n")));
                }
                const char reply[] =
                    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 22\r\n\r\n<html>photo ok</html>\n";
                send(c, reply, sizeof reply - 1, 0);
            }
            closesocket(c);
        }
    }

    SOCKET listen_;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

TEST_F(HostWindow, WebBrowserCreatesAndNavigates) {
    TinyHttpServer server;
    CExplorer1 page;
    const HRESULT created = page.Create("", WS_CHILD | WS_VISIBLE, {10, 10, 310, 210}, parent_, 1003);
    ASSERT_EQ(created, S_OK);
    ASSERT_NE(page.hwnd(), nullptr);
    EXPECT_EQ(GetDlgItem(parent_, 1003), page.hwnd());
    const std::string address =
        "http://127.0.0.1:" + std::to_string(server.port()) + "/userphoto.asp?user=D5C5C8FD";
    const HRESULT navigated = page.Navigate(address);
    const bool requested = PumpUntil([&] { return !server.FirstRequestLine().empty(); }, 8000);
    RecordProperty("navigate_hresult", std::to_string(navigated));
    RecordProperty("request", server.FirstRequestLine());
    std::printf("web browser: Navigate 0x%08lX, request \"%s\"\n", static_cast<unsigned long>(navigated),
                server.FirstRequestLine().c_str());
    EXPECT_EQ(navigated, S_OK);
    EXPECT_TRUE(requested);
    EXPECT_EQ(server.FirstRequestLine(), "GET /userphoto.asp?user=D5C5C8FD HTTP/1.1");
    page.Destroy();
}

// Addresses given before the control exists wait and are loaded in order
// once it does; when it cannot be made they are dropped and nothing fails.
TEST_F(HostWindow, WebBrowserAddressesWaitForTheControl) {
    TinyHttpServer server;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    CExplorer1 page;
    EXPECT_EQ(page.Navigate(base + "/first.asp"), S_FALSE);
    EXPECT_EQ(page.Navigate(base + "/second.asp"), S_FALSE);
    testutil::Pump(200);
    EXPECT_TRUE(server.RequestLines().empty()) << "nothing is asked for before the control exists";
    ASSERT_EQ(page.Create("", WS_CHILD | WS_VISIBLE, {10, 10, 310, 210}, parent_, 1004), S_OK);
    EXPECT_TRUE(page.NavigateNextWaiting());
    EXPECT_TRUE(PumpUntil([&] { return !server.RequestLines().empty(); }, 8000));
    EXPECT_TRUE(page.NavigateNextWaiting());
    EXPECT_FALSE(page.NavigateNextWaiting()) << "both addresses were waiting, no more";
    EXPECT_TRUE(PumpUntil([&] { return server.RequestLines().size() >= 2; }, 8000));
    const std::vector<std::string> lines = server.RequestLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "GET /first.asp HTTP/1.1");
    EXPECT_EQ(lines[1], "GET /second.asp HTTP/1.1");
    page.Destroy();

    CExplorer1 none;
    none.Navigate(base + "/never.asp");
    EXPECT_TRUE(FAILED(none.Create("", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, nullptr, 1005)));
    EXPECT_EQ(none.hwnd(), nullptr);
    EXPECT_FALSE(none.NavigateNextWaiting()) << "the waiting address is dropped";
    EXPECT_TRUE(FAILED(none.Navigate(base + "/later.asp")));
    testutil::Pump(200);
    for (const std::string& line : server.RequestLines()) EXPECT_EQ(line.find("never"), std::string::npos);
}

}  // namespace
