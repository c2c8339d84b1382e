// Self-registration of an in-process COM server: its classes under
// HKEY_CLASSES_ROOT, its type library from the module's resources, and
// component categories.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

namespace fw::com {

struct ClassRegistration {
    const CLSID* clsid = nullptr;
    const char* name = nullptr;            // default value of the CLSID key
    const char* progId = nullptr;          // null: none
    const char* modulePath = nullptr;      // the DLL serving the class
    const char* threadingModel = "Apartment";
    bool control = false;                  // "Control" key
    bool insertable = false;               // "Insertable" keys
    int toolboxBitmap = 0;                 // resource id; 0: none
    DWORD miscStatus = 0;                  // "MiscStatus\1" for DVASPECT_CONTENT; 0: none
    const GUID* typeLib = nullptr;         // "TypeLib" key; null: none
    const char* version = nullptr;         // "Version" key; null: none
};

// Writes the class's keys, overwriting earlier ones. False on any failure.
bool RegisterClassKeys(const ClassRegistration& c);
// Removes the keys RegisterClassKeys wrote. The CLSID key itself goes only when
// nothing else (category marks, for instance) is left under it.
bool UnregisterClassKeys(const ClassRegistration& c);

// The type library in the module's TYPELIB resource 1.
HRESULT RegisterModuleTypeLib(HMODULE module);
HRESULT UnregisterModuleTypeLib(HMODULE module);
HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** out);

// Component categories through the standard category manager. The
// description is cut to 127 characters, as the category manager keeps it.
HRESULT RegisterCategory(REFGUID catid, const wchar_t* description, LCID lcid = 1033);
HRESULT MarkClassImplements(REFCLSID clsid, REFGUID catid);

std::string GuidText(REFGUID guid);  // "{XXXXXXXX-...}"
std::string ModulePath(HMODULE module);

}  // namespace fw::com
