#include "client/windows/toolbar_items_dlg.h"

#include <commctrl.h>

#include <vector>

#include "client/res/resource.h"
#include "client/windows/logic/settings_dialogs.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

CGjlsz::CGjlsz(HWND parent) : CDialogEx(IDD_TOOLBAR_ITEMS, parent) {}

void CGjlsz::BindControls() {
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CGjlsz::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HWND list = Item(IDC_TOOLBAR_ITEM_LIST);
    ListView_SetExtendedListViewStyle(
        list, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    RECT rc;
    GetClientRect(list, &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = rc.right - rc.left;
    char caption[] = "栏目名称";
    column.pszText = caption;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    WinProfileReader profiles;
    const std::vector<bool> shown = tovan::ReadToolbarChoices(profiles);
    const auto& rows = tovan::ToolbarChoices();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(rows[i].caption);
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        ListView_SetCheckState(list, at, shown[i] ? TRUE : FALSE);
    }
    return TRUE;
}

void CGjlsz::OnOK() {
    HWND list = Item(IDC_TOOLBAR_ITEM_LIST);
    std::vector<bool> shown;
    for (std::size_t i = 0; i < tovan::ToolbarChoices().size(); ++i)
        shown.push_back(ListView_GetCheckState(list, static_cast<int>(i)) != 0);
    WinProfileWriter profiles;
    tovan::WriteToolbarChoices(profiles, shown);
    CDialogEx::OnOK();
}
