// Vokar.ocx under Wine: self-registration, creation by ProgID, dispatch by the
// ids the client uses, the type library, hosting in a window, and the peer
// handshake and messages between two controls (and a hand-driven peer) over
// loopback UDP, seen through the events.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <olectl.h>

#include <cstring>
#include <string>

#include "control/tests/test_site.h"
#include "control/vokar_ids.h"

using namespace vokar_test;
namespace dispid = vokar::dispid;
namespace event = vokar::event;

namespace {

HMODULE g_ocx = nullptr;
HWND g_host = nullptr;

using EntryPoint = HRESULT(STDAPICALLTYPE*)();
HRESULT CallExport(const char* name) {
    auto f = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(g_ocx, name)));
    return f ? f() : E_NOTIMPL;
}

std::string OcxPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + "Vokar.ocx";
}

bool KeyExists(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string KeyValue(const std::string& path, const char* name = nullptr) {
    char buf[512] = "";
    DWORD size = sizeof buf;
    if (RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return "<none>";
    return buf;
}

const std::string kClsidKey = "CLSID\\{6B4602D7-8EC6-45E4-83C5-0D96D25C1C29}";
const std::string kScriptingMark = kClsidKey + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::string kInitializingMark = kClsidKey + "\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

// A peer driven by hand: a plain non-blocking UDP socket on loopback.
class RawPeer {
public:
    explicit RawPeer(unsigned short port = 0) {
        s_ = socket(AF_INET, SOCK_DGRAM, 0);
        u_long nb = 1;
        ioctlsocket(s_, FIONBIO, &nb);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        bound_ = bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        int len = sizeof a;
        getsockname(s_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~RawPeer() { closesocket(s_); }
    bool bound() const { return bound_; }
    unsigned short port() const { return port_; }

    void Send(unsigned short to, const std::string& text) {
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(to);
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        sendto(s_, text.data(), static_cast<int>(text.size()), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    // Pumps messages until a datagram arrives; its text and source port.
    bool Receive(std::string* text, unsigned short* from = nullptr, DWORD timeoutMs = 3000) {
        return PumpUntil(
            [&] {
                char buf[4096];
                sockaddr_in a = {};
                int len = sizeof a;
                const int n = recvfrom(s_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&a), &len);
                if (n < 0) return false;
                text->assign(buf, static_cast<size_t>(n));
                if (from) *from = ntohs(a.sin_port);
                return true;
            },
            timeoutMs);
    }
    // The next datagram that starts with `word`, skipping others.
    bool ReceiveWord(const std::string& word, std::string* text, unsigned short* from = nullptr,
                     DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            if (Receive(text, from, timeoutMs) && text->compare(0, word.size(), word) == 0) return true;
        }
        return false;
    }

private:
    SOCKET s_;
    bool bound_ = false;
    unsigned short port_ = 0;
};

class VokarEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        g_ocx = LoadLibraryA(OcxPath().c_str());
        ASSERT_NE(g_ocx, nullptr) << OcxPath();
        ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
        g_host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(g_host, nullptr);
    }
    void TearDown() override {
        DestroyWindow(g_host);
        OleUninitialize();
    }
};
const auto* const g_env = testing::AddGlobalTestEnvironment(new VokarEnvironment);

// Members by name as the type library describes them, with the host's ids.
TEST(VokarDispatch, TypeLibraryNamesGiveTheIds) {
    IDispatch* d = nullptr;
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"VOKAR.Voice", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, vokar::kClsidVoice));
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)),
              S_OK);
    const struct {
        const wchar_t* name;
        DISPID id;
    } members[] = {{L"AboutBox", -552}, {L"Bind", 1}, {L"AddChater", 3}, {L"AcceptChater", 4},
                   {L"RemoveChater", 5}, {L"QueryForeignAddress", 6}, {L"RejectChater", 7},
                   {L"SendShortMessage", 8}, {L"StartVoice", 9}, {L"StopVoice", 10}, {L"LocalAddress", 11},
                   {L"LocalPort", 12}, {L"VoiceOn", 13}, {L"SetServerAddress", 17}, {L"QueryServer", 18},
                   {L"SetVolume", 19}, {L"VolumeLeft", 20}, {L"VolumeRight", 21}, {L"RecordVolume", 22},
                   {L"RemoveAllChaters", 23}};
    for (const auto& m : members) {
        LPOLESTR name = const_cast<LPOLESTR>(m.name);
        DISPID id = 0;
        EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK) << Narrow(m.name);
        EXPECT_EQ(id, m.id) << Narrow(m.name);
    }
    // Init is callable by its id but not described.
    LPOLESTR init = const_cast<LPOLESTR>(L"Init");
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &init, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(d, dispid::Init), S_OK);
    d->Release();
}

TEST(VokarDispatch, PropertiesAndArgumentErrors) {
    HostedControl c(g_host);
    ASSERT_EQ(c.Create(vokar::kClsidVoice, false), S_OK);
    IDispatch* d = c.dispatch();

    EXPECT_EQ(GetLong(d, dispid::LocalPort), 0);  // not bound yet
    ASSERT_EQ(Call(d, dispid::Bind, {Long(0)}), S_OK);
    const LONG port = GetLong(d, dispid::LocalPort);
    EXPECT_GT(port, 0);  // the system's choice, not 0
    EXPECT_EQ(c.sink().Count(event::BindError), 0);

    // Read-only properties refuse a put with the set-not-supported error.
    for (DISPID ro : {dispid::LocalAddress, dispid::LocalPort, dispid::VoiceOn}) {
        EXCEPINFO e = {};
        EXPECT_EQ(Call(d, ro, {Long(1)}, nullptr, &e, DISPATCH_PROPERTYPUT), DISP_E_EXCEPTION) << ro;
        EXPECT_EQ(e.scode, CTL_E_SETNOTSUPPORTED) << ro;
    }
    const struct {
        DISPID id;
        std::vector<VARIANT> args;
        HRESULT expected;
    } calls[] = {
        {dispid::Bind, {}, DISP_E_BADPARAMCOUNT},
        {dispid::AddChater, {Text("127.0.0.1")}, DISP_E_BADPARAMCOUNT},
        {dispid::SendShortMessage, {Text("127.0.0.1"), Text("not a number"), Text("x")}, DISP_E_TYPEMISMATCH},
        {14, {}, DISP_E_MEMBERNOTFOUND},
        {dispid::RemoveChater, {Text("127.0.0.1"), Text("9")}, S_OK},  // a numeric text converts
    };
    for (const auto& t : calls) EXPECT_EQ(Call(d, t.id, t.args), t.expected) << t.id;

    const std::string local = GetText(d, dispid::LocalAddress);
    EXPECT_NE(local, "<fail>");

    // A port already taken: BindError, and the control stays usable.
    ASSERT_EQ(Call(d, dispid::Bind, {Long(port)}), S_OK);
    HostedControl other(g_host);
    ASSERT_EQ(other.Create(vokar::kClsidVoice, false), S_OK);
    ASSERT_EQ(Call(other.dispatch(), dispid::Bind, {Long(port)}), S_OK);
    EXPECT_EQ(other.sink().Count(event::BindError), 1);

    // StopVoice before any start fires nothing; VoiceOn is a boolean that
    // follows what StartVoice reported (the sound tests run real devices).
    EXPECT_EQ(Call(d, dispid::StopVoice), S_OK);
    EXPECT_EQ(c.sink().Count(event::VoiceStop), 0);
    EXPECT_EQ(Call(d, dispid::StartVoice), S_OK);
    EXPECT_EQ(c.sink().Count(event::VoiceStart) + c.sink().Count(event::VoiceError), 1);
    VARIANT on;
    VariantInit(&on);
    ASSERT_EQ(Call(d, dispid::VoiceOn, {}, &on, nullptr, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&on), VT_BOOL);
    EXPECT_EQ(V_BOOL(&on), c.sink().Count(event::VoiceStart) ? VARIANT_TRUE : VARIANT_FALSE);
    EXPECT_EQ(Call(d, dispid::StopVoice), S_OK);
    EXPECT_EQ(c.sink().Count(event::VoiceStop), c.sink().Count(event::VoiceStart));

    // A container that freezes events hears none until it thaws them.
    IOleControl* control = nullptr;
    ASSERT_EQ(other.ole()->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)), S_OK);
    control->FreezeEvents(TRUE);
    Call(other.dispatch(), dispid::Bind, {Long(port)});
    EXPECT_EQ(other.sink().Count(event::BindError), 1);
    control->FreezeEvents(FALSE);
    Call(other.dispatch(), dispid::Bind, {Long(port)});
    EXPECT_EQ(other.sink().Count(event::BindError), 2);
    control->Release();

    // Objects alive keep the server loaded.
    EXPECT_EQ(CallExport("DllCanUnloadNow"), S_FALSE);
}

// The About box is modal: a timer inside its loop reads it and closes it.
std::string g_aboutCaption;
void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA("#32770", nullptr);  // the only dialog box of the test
    char caption[128] = "";
    GetWindowTextA(box, caption, sizeof caption);
    if (!box || !strstr(caption, "Vokar")) return;  // not up yet
    g_aboutCaption = caption;
    KillTimer(nullptr, id);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(VokarDispatch, AboutBoxShowsAndCloses) {
    HostedControl c(g_host);
    ASSERT_EQ(c.Create(vokar::kClsidVoice), S_OK);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseAbout);
    EXPECT_EQ(Call(c.dispatch(), dispid::AboutBox), S_OK);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_aboutCaption, "关于 Vokar Control");
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST(VokarDispatch, PropertyPage) {
    IUnknown* control = nullptr;
    ASSERT_EQ(CoCreateInstance(vokar::kClsidVoice, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    ISpecifyPropertyPages* specify = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)), S_OK);
    CAUUID pages = {};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], vokar::kClsidPropPage));
    CoTaskMemFree(pages.pElems);
    specify->Release();
    control->Release();

    IPropertyPage* page = nullptr;
    ASSERT_EQ(CoCreateInstance(vokar::kClsidPropPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               reinterpret_cast<void**>(&page)),
              S_OK);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(Narrow(info.pszTitle), "常规");
    CoTaskMemFree(info.pszTitle);
    // The size the page asks for is the size its dialog has when made from
    // its template, with the template's own font.
    HWND made = CreateDialogParamA(GetModuleHandleA("Vokar.ocx"), MAKEINTRESOURCEA(200), g_host, PlainDialogProc, 0);
    ASSERT_NE(made, nullptr);
    RECT real;
    GetWindowRect(made, &real);
    DestroyWindow(made);
    EXPECT_EQ(info.size.cx, real.right - real.left);
    EXPECT_EQ(info.size.cy, real.bottom - real.top);
    RECT r = {0, 0, info.size.cx, info.size.cy};
    ASSERT_EQ(page->Activate(g_host, &r, TRUE), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Deactivate(), S_OK);
    page->Release();
}

// Two hosted controls: request, acceptance from within PeerAdd (as the chat
// window does), messages both ways, and the close when one goes.
TEST(VokarPeers, HandshakeMessagesAndClose) {
    HostedControl a(g_host), b(g_host);
    ASSERT_EQ(a.Create(vokar::kClsidVoice), S_OK);
    ASSERT_EQ(b.Create(vokar::kClsidVoice), S_OK);
    EXPECT_EQ(a.sink().Count(event::InitSuccess), 1);
    HWND aw = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(a.ole()->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)), S_OK);
    EXPECT_EQ(inPlace->GetWindow(&aw), S_OK);
    inPlace->Release();
    EXPECT_EQ(GetParent(aw), g_host);

    ASSERT_EQ(Call(a.dispatch(), dispid::Bind, {Long(0)}), S_OK);
    ASSERT_EQ(Call(b.dispatch(), dispid::Bind, {Long(0)}), S_OK);
    const LONG aPort = GetLong(a.dispatch(), dispid::LocalPort);
    const LONG bPort = GetLong(b.dispatch(), dispid::LocalPort);

    b.sink().onEvent = [&](const Event& e) {
        if (e.id != event::PeerAdd) return;
        Call(b.dispatch(), dispid::RemoveAllChaters);
        Call(b.dispatch(), dispid::AcceptChater, {Text(e.texts[0].c_str()), Long(e.numbers[0])});
    };
    ASSERT_EQ(Call(a.dispatch(), dispid::AddChater, {Text("127.0.0.1"), Long(bPort)}), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return a.sink().Count(event::PeerAccept) > 0; }, 5000));
    const Event* add = b.sink().Last(event::PeerAdd);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->texts, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(add->numbers, std::vector<LONG>{aPort});
    const Event* accept = a.sink().Last(event::PeerAccept);
    EXPECT_EQ(accept->texts, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(accept->numbers, std::vector<LONG>{bPort});

    // To every peer (empty address); "|" ends the text on the wire.
    ASSERT_EQ(Call(a.dispatch(), dispid::SendShortMessage, {Text(""), Long(0), Text("你好，货到了|x")}), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return b.sink().Count(event::NewMessage) > 0; }, 3000));
    const Event* msg = b.sink().Last(event::NewMessage);
    EXPECT_EQ(msg->texts, (std::vector<std::string>{"127.0.0.1", "你好，货到了"}));
    EXPECT_EQ(msg->numbers, std::vector<LONG>{aPort});

    ASSERT_EQ(Call(b.dispatch(), dispid::SendShortMessage, {Text("127.0.0.1"), Long(aPort), Text("收到")}), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return a.sink().Count(event::NewMessage) > 0; }, 3000));
    EXPECT_EQ(a.sink().Last(event::NewMessage)->texts[1], "收到");

    // Closing A's control window tells B.
    a.Close();
    ASSERT_TRUE(PumpUntil([&] { return b.sink().Count(event::PeerClose) > 0; }, 3000));
    EXPECT_EQ(b.sink().Last(event::PeerClose)->numbers, std::vector<LONG>{aPort});
    EXPECT_TRUE(a.deactivated());
}

// A hand-driven peer sees the wire: own ids, the accept, the keep-alive of
// the control's timer, and the voice-address exchange from the second socket.
TEST(VokarPeers, WireSeenByARawPeer) {
    HostedControl c(g_host), d(g_host);
    ASSERT_EQ(c.Create(vokar::kClsidVoice), S_OK);
    ASSERT_EQ(d.Create(vokar::kClsidVoice), S_OK);
    ASSERT_EQ(Call(c.dispatch(), dispid::Bind, {Long(0)}), S_OK);
    ASSERT_EQ(Call(d.dispatch(), dispid::Bind, {Long(0)}), S_OK);
    const auto cPort = static_cast<unsigned short>(GetLong(c.dispatch(), dispid::LocalPort));
    RawPeer raw;
    c.sink().onEvent = [&](const Event& e) {
        if (e.id == event::PeerAdd)
            Call(c.dispatch(), dispid::AcceptChater, {Text(e.texts[0].c_str()), Long(e.numbers[0])});
    };

    // Lower-case command words are taken too.
    raw.Send(cPort, "!addme!|rawpeer|127.0.0.1:9");
    std::string text;
    ASSERT_TRUE(raw.ReceiveWord("!ADDACCEPT!|rawpeer|127.0.0.1:9|", &text));
    const std::string cId = text.substr(std::string("!ADDACCEPT!|rawpeer|127.0.0.1:9|").size());
    ASSERT_EQ(cId.size(), 36u);
    for (size_t i = 0; i < cId.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) EXPECT_EQ(cId[i], '-');
        else EXPECT_TRUE(isdigit(cId[i]) || (cId[i] >= 'a' && cId[i] <= 'f')) << cId;
    }

    raw.Send(cPort, "!NOOP!");
    ASSERT_TRUE(raw.ReceiveWord("!P!", &text));

    // The voice address is learned from the datagram's source and answered
    // from the voice-receive socket, not the text socket.
    raw.Send(cPort, "!ADDVOICE!|rawpeer");
    unsigned short from = 0;
    ASSERT_TRUE(raw.ReceiveWord("!BDDVOICE!|", &text, &from));
    EXPECT_EQ(text, "!BDDVOICE!|" + cId);
    EXPECT_NE(from, cPort);

    // Timer 1 on the control's window keeps the peer alive.
    ASSERT_TRUE(raw.ReceiveWord("!NOOP!", &text, &from, 5000));
    EXPECT_EQ(from, cPort);

    // Another instance has another id.
    ASSERT_EQ(Call(d.dispatch(), dispid::AddChater, {Text("127.0.0.1"), Long(raw.port())}), S_OK);
    ASSERT_TRUE(raw.ReceiveWord("!ADDME!|", &text));
    EXPECT_EQ(text.size(), std::string("!ADDME!|").size() + 36 + 1 + std::string("127.0.0.1:").size() +
                               std::to_string(raw.port()).size());
    EXPECT_EQ(text.find(cId), std::string::npos);
    EXPECT_NE(text.find("|127.0.0.1:" + std::to_string(raw.port())), std::string::npos);
}

TEST(VokarPeers, AddressServerReply) {
    RawPeer server(4343);
    if (!server.bound()) GTEST_SKIP() << "port 4343 is taken on this machine";
    HostedControl c(g_host);
    ASSERT_EQ(c.Create(vokar::kClsidVoice), S_OK);
    ASSERT_EQ(Call(c.dispatch(), dispid::Bind, {Long(0)}), S_OK);
    const auto cPort = static_cast<unsigned short>(GetLong(c.dispatch(), dispid::LocalPort));
    ASSERT_EQ(Call(c.dispatch(), dispid::QueryForeignAddress, {Text("127.0.0.1")}), S_OK);
    std::string text;
    unsigned short from = 0;
    ASSERT_TRUE(server.ReceiveWord("!MEADDRESS!", &text, &from));
    EXPECT_EQ(from, cPort);
    server.Send(cPort, "!YRADDR!|10.1.2.3|5555");
    ASSERT_TRUE(PumpUntil([&] { return c.sink().Count(event::NotifyAddress) > 0; }, 3000));
    const Event* e = c.sink().Last(event::NotifyAddress);
    EXPECT_EQ(e->texts, std::vector<std::string>{"10.1.2.3"});
    EXPECT_EQ(e->numbers, std::vector<LONG>{5555});
}

TEST(VokarRegistration, KeysTypeLibraryAndUnregister) {
    EXPECT_EQ(CallExport("DllRegisterServer"), S_OK);  // again: overwrites
    EXPECT_EQ(KeyValue(kClsidKey), "Vokar Control");
    EXPECT_EQ(KeyValue(kClsidKey + "\\InprocServer32"), OcxPath());
    EXPECT_EQ(KeyValue(kClsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(KeyValue(kClsidKey + "\\MiscStatus\\1"), "131473");
    EXPECT_EQ(KeyValue(kClsidKey + "\\ProgID"), "VOKAR.Voice");
    EXPECT_EQ(KeyValue(kClsidKey + "\\TypeLib"), "{71C3408A-C398-4154-A252-4383F3682575}");
    EXPECT_TRUE(KeyExists(kClsidKey + "\\Control"));
    EXPECT_TRUE(KeyExists(kScriptingMark));
    EXPECT_TRUE(KeyExists(kInitializingMark));
    EXPECT_EQ(KeyValue("CLSID\\{2A42C8C7-6D34-49A4-AC7F-38A6A2394A5C}"), "Vokar Property Page");

    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(vokar::kLibid, 1, 0, 0, &lib), S_OK);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Narrow(name), "VokarLib");
    EXPECT_EQ(Narrow(doc), "Vokar ActiveX 控件模块");
    SysFreeString(name);
    SysFreeString(doc);
    ITypeInfo* events = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(vokar::kDiidDVokarEvents, &events), S_OK);
    const struct {
        const wchar_t* name;
        DISPID id;
    } names[] = {{L"BindError", 1}, {L"PeerAccept", 3}, {L"PeerAdd", 7}, {L"NewMessage", 8},
                 {L"NotifyServerAddress", 15}, {L"InitSuccess", 16}};
    for (const auto& n : names) {
        LPOLESTR p = const_cast<LPOLESTR>(n.name);
        MEMBERID id = 0;
        EXPECT_EQ(events->GetIDsOfNames(&p, 1, &id), S_OK);
        EXPECT_EQ(id, n.id) << Narrow(n.name);
    }
    events->Release();
    lib->Release();

    // Nothing alive: the server may be unloaded.
    EXPECT_EQ(CallExport("DllCanUnloadNow"), S_OK);

    ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
    CLSID clsid;
    EXPECT_NE(CLSIDFromProgID(L"VOKAR.Voice", &clsid), S_OK);
    EXPECT_FALSE(KeyExists(kClsidKey + "\\InprocServer32"));
    EXPECT_TRUE(KeyExists(kScriptingMark));  // category marks stay
    EXPECT_TRUE(KeyExists(kInitializingMark));
    lib = nullptr;
    EXPECT_NE(LoadRegTypeLib(vokar::kLibid, 1, 0, 0, &lib), S_OK);
    if (lib) lib->Release();
    IUnknown* u = nullptr;
    EXPECT_EQ(CoCreateInstance(vokar::kClsidVoice, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&u)),
              REGDB_E_CLASSNOTREG);
}

}  // namespace
