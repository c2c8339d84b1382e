// Both halves of the ActiveX contract in one program: a small control built
// on fw::com::OleControl (registered for this process only) hosted by
// fw::ControlHost in a window and in a dialog. Calls, events, frozen events,
// the connection-point enumeration, persistence, the reflected notifications
// of a dialog, activation and release of every reference.
#include <windows.h>

#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

#include "fw/com_server.h"
#include "fw/control_host.h"
#include "tests/wine/control_host_test_ids.h"
#include "fw/dialog.h"
#include "tests/wine/gui_test_util.h"
#include "fw/ole_control.h"
#include "fw/scoped_com.h"
#include "fw/window.h"

namespace {

// {3C1E7A52-0B9D-4F61-9A8E-5D2B7C4E9F10}
constexpr CLSID kClsidEcho = {0x3C1E7A52, 0x0B9D, 0x4F61, {0x9A, 0x8E, 0x5D, 0x2B, 0x7C, 0x4E, 0x9F, 0x10}};
// {3C1E7A53-0B9D-4F61-9A8E-5D2B7C4E9F10}
constexpr IID kDiidEcho = {0x3C1E7A53, 0x0B9D, 0x4F61, {0x9A, 0x8E, 0x5D, 0x2B, 0x7C, 0x4E, 0x9F, 0x10}};
// {3C1E7A54-0B9D-4F61-9A8E-5D2B7C4E9F10}
constexpr IID kDiidEchoEvents = {0x3C1E7A54, 0x0B9D, 0x4F61, {0x9A, 0x8E, 0x5D, 0x2B, 0x7C, 0x4E, 0x9F, 0x10}};

constexpr DISPID kSay = 1;        // method (text): fires kHeard(text, byte length)
constexpr DISPID kCommands = 2;   // property get: reflected commands seen
constexpr DISPID kHeard = 1;      // event
constexpr DISPID kCreated = 2;    // event, when the window exists

HMODULE ThisModule() { return GetModuleHandleA(nullptr); }

const fw::com::OleControlClass kEchoClass = {
    &ThisModule, kClsidEcho, kDiidEcho, kDiidEchoEvents, CLSID_NULL, L"Echo", OLEMISC_SETCLIENTSITEFIRST, 0x00020003,
};

class Echo;

class EchoWindow : public fw::Window {
public:
    explicit EchoWindow(Echo& owner) : owner_(owner) {}

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Echo& owner_;
};

class Echo final : public fw::com::OleControl {
public:
    static HRESULT Create(REFIID iid, void** out) {
        Echo* e = new Echo();
        const HRESULT hr = e->QueryInterface(iid, out);
        e->Release();
        return hr;
    }
    int commands = 0;
    void Touch() { SetModified(); }

private:
    Echo() : fw::com::OleControl(kEchoClass), window_(*this) {}
    ~Echo() override {
        ClearEvents();
        window_.Destroy();
    }

    HRESULT InvokeMember(DISPID id, fw::com::DispatchCall& call) override {
        HRESULT hr = S_OK;
        if (id == kSay && call.IsMethod()) {
            std::string text;
            if (FAILED(hr = call.Expect(1)) || FAILED(hr = call.Text(0, &text))) return hr;
            FireEvent(kHeard, {text, static_cast<LONG>(text.size())});
            return S_OK;
        }
        if (id == kCommands && call.IsGet()) {
            call.ReturnLong(commands);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    bool CreateControlWindow(HWND parent, const RECT& r) override {
        return window_.Create("fw.EchoControl", "", WS_CHILD | WS_VISIBLE, 0, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr);
    }
    HWND WindowHandle() const override { return window_.hwnd(); }
    void DestroyControlWindow() override { window_.Destroy(); }
    void OnControlWindowCreated() override { FireEvent(kCreated); }

    EchoWindow window_;
};

LRESULT EchoWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == OCM_COMMAND) {
        ++owner_.commands;
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

const fw::com::ClassEntry kClasses[] = {{&kClsidEcho, &Echo::Create}};

class EchoFactoryRegistration {
public:
    EchoFactoryRegistration() {
        fw::com::ComPtr<IClassFactory> factory;
        fw::com::GetClassObject(kClasses, 1, kClsidEcho, IID_IClassFactory, factory.OutVoid());
        CoRegisterClassObject(kClsidEcho, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    ~EchoFactoryRegistration() { CoRevokeClassObject(cookie_); }

private:
    DWORD cookie_ = 0;
};

class OleControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }

    // Objects alive in this module: the echo control and everything it hands out.
    static long Alive() { return fw::com::ModuleLockCount(); }

    EchoFactoryRegistration registration_;
    HWND parent_ = nullptr;
};

TEST_F(OleControlTest, HostedCallsEventsAndRelease) {
    const long before = Alive();
    {
        fw::ControlHost host;
        int created = 0;
        std::vector<std::pair<std::string, LONG>> heard;
        host.OnEvent(kCreated, [&](const fw::com::EventArgs&) { ++created; });
        host.OnEvent(kHeard, [&](const fw::com::EventArgs& e) { heard.emplace_back(e.Text(0), e.Long(1)); });
        ASSERT_EQ(host.Create(kClsidEcho, parent_, {4, 5, 54, 25}, 31), S_OK);
        EXPECT_EQ(created, 1);  // fired while activating: the sink was there first
        ASSERT_NE(host.Window(), nullptr);
        EXPECT_EQ(GetParent(host.Window()), parent_);
        EXPECT_EQ(GetDlgItem(parent_, 31), host.Window());

        EXPECT_EQ(host.Call(kSay, {"货到付款"}), S_OK);
        EXPECT_EQ(host.Call(kSay, {""}), S_OK);
        EXPECT_EQ(heard, (std::vector<std::pair<std::string, LONG>>{{"货到付款", 8}, {"", 0}}));
        EXPECT_EQ(host.Call(kSay), DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(host.Call(99), DISP_E_MEMBERNOTFOUND);

        // Frozen events are dropped, not queued.
        auto control = fw::com::ComPtr<IUnknown>::Share(host.Object()).As<IOleControl>(IID_IOleControl);
        ASSERT_TRUE(control);
        control->FreezeEvents(TRUE);
        host.Call(kSay, {"冻结"});
        control->FreezeEvents(FALSE);
        host.Call(kSay, {"解冻"});
        ASSERT_EQ(heard.size(), 3u);
        EXPECT_EQ(heard.back().first, "解冻");

        HWND w = host.Window();
        control.Reset();
        host.Destroy();
        EXPECT_FALSE(IsWindow(w));
    }
    EXPECT_EQ(Alive(), before);
}

TEST_F(OleControlTest, ConnectionPointsAreEnumerable) {
    fw::com::ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(CoCreateInstance(kClsidEcho, nullptr, CLSCTX_INPROC_SERVER, IID_IConnectionPointContainer,
                               container.OutVoid()),
              S_OK);
    fw::com::ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Out()), S_OK);
    IConnectionPoint* got[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(points->Next(2, got, &fetched), S_FALSE);  // there is one
    ASSERT_EQ(fetched, 1u);
    IID iid = {};
    EXPECT_EQ(got[0]->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, kDiidEchoEvents));
    fw::com::ComPtr<IConnectionPoint> found;
    ASSERT_EQ(container->FindConnectionPoint(kDiidEchoEvents, found.Out()), S_OK);
    EXPECT_EQ(found.Get(), got[0]);
    got[0]->Release();

    EXPECT_EQ(points->Next(1, got, nullptr), S_FALSE);  // at the end
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Skip(1), S_FALSE);
    points->Reset();
    fw::com::ComPtr<IEnumConnectionPoints> clone;
    ASSERT_EQ(points->Clone(clone.Out()), S_OK);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    got[0]->Release();
    EXPECT_EQ(points->Next(1, got, nullptr), S_OK);  // the clone moves on its own
    got[0]->Release();
}

TEST_F(OleControlTest, PersistenceHoldsTheVersionAndDirtiness) {
    fw::com::ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(CoCreateInstance(kClsidEcho, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit,
                               persist.OutVoid()),
              S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    auto dispatch = persist.As<IDispatch>(IID_IDispatch);
    static_cast<Echo*>(dispatch.Get())->Touch();
    EXPECT_EQ(persist->IsDirty(), S_OK);

    fw::com::ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), S_OK);
    EXPECT_EQ(persist->Save(stream.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    ULONG read = 0;
    stream->Read(&version, sizeof version, &read);
    EXPECT_EQ(version, 0x00020003u);
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kClsidEcho));
}

// A dialog sends a hosted control's WM_COMMAND back to it as OCM_COMMAND.
TEST_F(OleControlTest, DialogReflectsCommandsToTheControl) {
    fw::Dialog dialog(IDD_HOST_CHAT_TEST);
    ASSERT_TRUE(dialog.CreateModeless());
    fw::ControlHost echo;
    echo.SetReflectsMessages(true);
    ASSERT_EQ(echo.Create(kClsidEcho, dialog.hwnd(), {0, 0, 20, 20}, 55), S_OK);
    // The dialog reflects only for the controls it hosts itself.
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(55, BN_CLICKED), reinterpret_cast<LPARAM>(echo.Window()));
    LONG commands = -1;
    EXPECT_EQ(echo.GetLong(kCommands, &commands), S_OK);
    EXPECT_EQ(commands, 0);

    // The chat control's button, hosted from the template, gets its own click back.
    HWND chat = dialog.HostedControl(IDC_HOST_CONTROL)->Window();
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_HOST_CONTROL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(chat)),
              0);
    EXPECT_TRUE(IsWindow(dialog.hwnd()));  // not taken for IDOK or IDCANCEL
    echo.Destroy();
    dialog.Destroy();
}

TEST_F(OleControlTest, AmbientMessageReflectFollowsTheHost) {
    for (bool reflects : {false, true}) {
        fw::ControlHost host;
        host.SetReflectsMessages(reflects);
        ASSERT_EQ(host.Create(kClsidEcho, parent_, {0, 0, 10, 10}, 1), S_OK);
        auto ole = fw::com::ComPtr<IUnknown>::Share(host.Object()).As<IOleObject>(IID_IOleObject);
        fw::com::ComPtr<IOleClientSite> site;
        ASSERT_EQ(ole->GetClientSite(site.Out()), S_OK);
        auto ambient = site.As<IDispatch>(IID_IDispatch);
        fw::com::Variant v;
        DISPPARAMS none = {};
        ASSERT_EQ(ambient->Invoke(DISPID_AMBIENT_MESSAGEREFLECT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, v.Out(),
                                  nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(V_BOOL(&v.Get()), reflects ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

}  // namespace
