// Vokar.ocx: its entry points, the class table and self-registration.
#include <winsock2.h>
#include <windows.h>
#include <olectl.h>

#include "fw/com_registry.h"
#include "fw/com_server.h"
#include "control/voice_control.h"
#include "control/vokar_ids.h"
#include "control/vokar_prop_page.h"
#include "fw/window.h"

namespace vokar {
namespace {

HINSTANCE g_module = nullptr;

// {7DD95801-9882-11CF-9FA9-00AA006C42C4}
constexpr GUID kCatidSafeForScripting = {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
// {7DD95802-9882-11CF-9FA9-00AA006C42C4}
constexpr GUID kCatidSafeForInitializing = {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

const fw::com::ClassEntry kClasses[] = {
    {&kClsidVoice, &Voice::Create},
    {&kClsidPropPage, &CVokarPropPage::Create},
};

std::string LoadText(int id) {
    char text[256] = "";
    LoadStringA(g_module, static_cast<UINT>(id), text, sizeof text);
    return text;
}

struct Registrations {
    std::string path = fw::com::ModulePath(g_module);
    std::string controlName = LoadText(kIdsControlName);
    std::string pageName = LoadText(kIdsPropPageName);
    fw::com::ClassRegistration control, page;

    Registrations() {
        control.clsid = &kClsidVoice;
        control.name = controlName.c_str();
        control.progId = kProgId;
        control.modulePath = path.c_str();
        control.control = true;
        control.insertable = true;
        control.toolboxBitmap = kIdbToolbox;
        control.miscStatus = kMiscStatus;
        control.typeLib = &kLibid;
        control.version = "1.0";
        page.clsid = &kClsidPropPage;
        page.name = pageName.c_str();
        page.progId = kPropPageProgId;
        page.modulePath = path.c_str();
    }
};

}  // namespace

HINSTANCE Module() { return g_module; }

}  // namespace vokar

using namespace vokar;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        fw::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return fw::com::GetClassObject(kClasses, sizeof kClasses / sizeof kClasses[0], clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return fw::com::CanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    if (FAILED(fw::com::RegisterModuleTypeLib(g_module))) return SELFREG_E_TYPELIB;
    const Registrations r;
    if (!fw::com::RegisterClassKeys(r.control) || !fw::com::RegisterClassKeys(r.page)) return SELFREG_E_CLASS;
    if (FAILED(fw::com::RegisterCategory(kCatidSafeForScripting, L"Controls that are safely scriptable")) ||
        FAILED(fw::com::RegisterCategory(kCatidSafeForInitializing,
                                         L"Controls safely initializable from persistent data")))
        return SELFREG_E_CLASS;
    if (FAILED(fw::com::MarkClassImplements(kClsidVoice, kCatidSafeForScripting)) ||
        FAILED(fw::com::MarkClassImplements(kClsidVoice, kCatidSafeForInitializing)))
        return SELFREG_E_CLASS;
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    if (FAILED(fw::com::UnregisterModuleTypeLib(g_module))) return SELFREG_E_TYPELIB;
    const Registrations r;
    // The category marks stay: other controls may share the categories.
    if (!fw::com::UnregisterClassKeys(r.control) || !fw::com::UnregisterClassKeys(r.page)) return SELFREG_E_CLASS;
    return S_OK;
}
