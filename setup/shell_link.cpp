#include "setup/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

bool CreateShortcut(const std::string& target, const std::string& linkPath) {
    const HRESULT init = CoInitialize(nullptr);
    bool saved = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0) {
                saved = SUCCEEDED(file->Save(wide, TRUE));
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return saved;
}
