#include "control/vokar_prop_page.h"

#include "control/vokar_ids.h"

namespace vokar {
namespace {

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The page's size in pixels: that of its dialog made from the template, so
// that the template's own font and form (an extended template here) decide
// it as they do when the page is shown. The dialog is a child window and
// stays hidden under the desktop while it is measured.
SIZE PageSize() {
    SIZE size = {0, 0};
    HWND measured = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kIddPropPage), GetDesktopWindow(), PageProc, 0);
    if (!measured) return size;
    RECT r;
    GetWindowRect(measured, &r);
    DestroyWindow(measured);
    size.cx = r.right - r.left;
    size.cy = r.bottom - r.top;
    return size;
}

LPOLESTR TaskMemText(int stringId) {
    char text[128] = "";
    LoadStringA(Module(), static_cast<UINT>(stringId), text, sizeof text);
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc(static_cast<size_t>(n) * sizeof(wchar_t)));
    if (out) MultiByteToWideChar(CP_ACP, 0, text, -1, out, n);
    return out;
}

}  // namespace

HRESULT CVokarPropPage::Create(REFIID iid, void** out) {
    const fw::com::ComPtr<CVokarPropPage> page(new CVokarPropPage());
    return page->QueryInterface(iid, out);
}

CVokarPropPage::~CVokarPropPage() {
    if (dialog_) DestroyWindow(dialog_);
}

HRESULT CVokarPropPage::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
        *out = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CVokarPropPage::SetPageSite(IPropertyPageSite* site) {
    site_ = fw::com::ComPtr<IPropertyPageSite>::Share(site);
    return S_OK;
}

HRESULT CVokarPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (dialog_) return E_UNEXPECTED;
    dialog_ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kIddPropPage), parent, PageProc, 0);
    if (!dialog_) return E_FAIL;
    return Move(rect);
}

HRESULT CVokarPropPage::Deactivate() {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
    return S_OK;
}

HRESULT CVokarPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->pszTitle = TaskMemText(kIdsPropPageCaption);
    info->size = PageSize();
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

HRESULT CVokarPropPage::Show(UINT cmd) {
    if (!dialog_) return E_UNEXPECTED;
    ShowWindow(dialog_, static_cast<int>(cmd));
    return S_OK;
}

HRESULT CVokarPropPage::Move(LPCRECT rect) {
    if (!dialog_) return E_UNEXPECTED;
    if (rect) MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

}  // namespace vokar
