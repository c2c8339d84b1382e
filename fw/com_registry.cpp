#include "fw/com_registry.h"

#include <comcat.h>

#include <cstdio>
#include <string>

#include "fw/scoped_com.h"

namespace fw::com {
namespace {

bool SetKey(const std::string& path, const char* valueName, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG r = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

// Deletes a key and everything below it; a key that is not there counts as gone.
bool DeleteTree(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return true;
    char sub[256];
    for (;;) {
        DWORD n = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (!DeleteTree(path + "\\" + sub)) {
            RegCloseKey(key);
            return false;
        }
    }
    RegCloseKey(key);
    const LONG r = RegDeleteKeyA(HKEY_CLASSES_ROOT, path.c_str());
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool HasSubkeys(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return count > 0;
}

const char* const kClassSubkeys[] = {"InprocServer32", "ProgID", "Control", "Insertable", "ToolboxBitmap32",
                                     "MiscStatus", "TypeLib", "Version"};

}  // namespace

std::string GuidText(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    return n && n < MAX_PATH ? std::string(path, n) : std::string();
}

bool RegisterClassKeys(const ClassRegistration& c) {
    const std::string clsid = GuidText(*c.clsid);
    const std::string base = "CLSID\\" + clsid;
    bool ok = SetKey(base, nullptr, c.name) && SetKey(base + "\\InprocServer32", nullptr, c.modulePath) &&
              SetKey(base + "\\InprocServer32", "ThreadingModel", c.threadingModel);
    if (c.progId) {
        ok = ok && SetKey(base + "\\ProgID", nullptr, c.progId) && SetKey(c.progId, nullptr, c.name) &&
             SetKey(std::string(c.progId) + "\\CLSID", nullptr, clsid);
        if (c.insertable) ok = ok && SetKey(std::string(c.progId) + "\\Insertable", nullptr, "");
    }
    if (c.control) ok = ok && SetKey(base + "\\Control", nullptr, "");
    if (c.insertable) ok = ok && SetKey(base + "\\Insertable", nullptr, "");
    if (c.toolboxBitmap)
        ok = ok && SetKey(base + "\\ToolboxBitmap32", nullptr,
                          std::string(c.modulePath) + ", " + std::to_string(c.toolboxBitmap));
    if (c.miscStatus)
        ok = ok && SetKey(base + "\\MiscStatus", nullptr, "0") &&
             SetKey(base + "\\MiscStatus\\1", nullptr, std::to_string(c.miscStatus));
    if (c.typeLib) ok = ok && SetKey(base + "\\TypeLib", nullptr, GuidText(*c.typeLib));
    if (c.version) ok = ok && SetKey(base + "\\Version", nullptr, c.version);
    return ok;
}

bool UnregisterClassKeys(const ClassRegistration& c) {
    const std::string base = "CLSID\\" + GuidText(*c.clsid);
    bool ok = true;
    for (const char* sub : kClassSubkeys) ok = DeleteTree(base + "\\" + sub) && ok;
    if (c.progId) ok = DeleteTree(c.progId) && ok;
    if (!HasSubkeys(base)) ok = DeleteTree(base) && ok;
    return ok;
}

HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** out) {
    const std::string path = ModulePath(module);
    if (path.empty()) return E_FAIL;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return E_FAIL;
    return LoadTypeLibEx(wide, REGKIND_NONE, out);
}

HRESULT RegisterModuleTypeLib(HMODULE module) {
    const std::string path = ModulePath(module);
    wchar_t wide[MAX_PATH];
    if (path.empty() || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return E_FAIL;
    ComPtr<ITypeLib> lib;
    const HRESULT hr = LoadTypeLibEx(wide, REGKIND_NONE, lib.Out());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(lib.Get(), wide, nullptr);
}

HRESULT UnregisterModuleTypeLib(HMODULE module) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadModuleTypeLib(module, lib.Out());
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    hr = lib->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        lib->ReleaseTLibAttr(attr);
    }
    return hr;
}

HRESULT RegisterCategory(REFGUID catid, const wchar_t* description, LCID lcid) {
    ComPtr<ICatRegister> reg;
    const HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_ICatRegister, reg.OutVoid());
    if (FAILED(hr)) return hr;
    CATEGORYINFO info = {};
    info.catid = catid;
    info.lcid = lcid;
    lstrcpynW(info.szDescription, description, 128);  // 127 characters and the end
    return reg->RegisterCategories(1, &info);
}

HRESULT MarkClassImplements(REFCLSID clsid, REFGUID catid) {
    ComPtr<ICatRegister> reg;
    const HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_ICatRegister, reg.OutVoid());
    if (FAILED(hr)) return hr;
    CATID ids[1] = {catid};
    return reg->RegisterClassImplCategories(clsid, 1, ids);
}

}  // namespace fw::com
