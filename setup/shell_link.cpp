#include "setup/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "fw/scoped_com.h"

bool CreateShortcut(const std::string& target, const std::string& linkPath) {
    const fw::com::ComScope com;
    fw::com::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())))
        return false;
    link->SetPath(target.c_str());
    const auto file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file) return false;
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) <= 0) return false;
    return SUCCEEDED(file->Save(wide, TRUE));
}
