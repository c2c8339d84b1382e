#include "client/windows/tools_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/windows/logic/settings_dialogs.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

namespace {

// The open-file dialog for one existing program; the path in its short
// form where the platform has one.
bool BrowseForProgram(HWND owner, std::string& path) {
    char file[MAX_PATH] = "*.exe";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "可执行文件 (*.exe)\0*.exe\0\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOLONGNAMES | OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return false;
    char shortPath[256] = {};
    const DWORD n = GetShortPathNameA(file, shortPath, sizeof shortPath);
    path = n > 0 && n < sizeof shortPath ? std::string(shortPath, n) : std::string(file);
    return true;
}

}  // namespace

// ---------------------------------------------------------------- CToolBj

CToolBj::CToolBj(HWND parent) : CDialogEx(IDD_TOOL_EDIT, parent), browseFile(BrowseForProgram) {}

void CToolBj::BindControls() {
    Bind(browseButton_, IDC_TOOL_BROWSE);
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CToolBj::OnInitDialog() {
    CDialogEx::OnInitDialog();
    if (editing) {
        SetItemText(IDC_TOOL_NAME, name);
        SetItemText(IDC_TOOL_PATH, path);
    }
    return TRUE;
}

bool CToolBj::OnCommand(int id, int code, HWND) {
    if (id != IDC_TOOL_BROWSE || code != BN_CLICKED) return false;
    std::string chosen;
    if (browseFile && browseFile(hwnd(), chosen)) SetItemText(IDC_TOOL_PATH, chosen);
    return true;
}

void CToolBj::Refuse(const char* text, int focusId) {
    ShowMessage(text, "实用工具");
    SetFocus(Item(focusId));
}

void CToolBj::OnOK() {
    const std::string newName = tovan::ToolNameOf(ItemText(IDC_TOOL_NAME));
    if (newName.empty()) return Refuse("请填写工具名称", IDC_TOOL_NAME);
    const std::string newPath = tovan::WithoutBlanks(ItemText(IDC_TOOL_PATH));
    if (newPath.empty()) return Refuse("请选择文件路径", IDC_TOOL_PATH);
    name = newName;
    path = newPath;
    CDialogEx::OnOK();
}

// ---------------------------------------------------------------- CTools

CTools::CTools(HWND parent)
    : CDialogEx(IDD_TOOLS, parent),
      configFile(fw::ProgramFilePath("Config.ini")),
      runEditor([](CToolBj& editor) { return editor.DoModal(); }) {}

void CTools::BindControls() {
    Bind(addButton_, IDC_TOOLS_ADD);
    Bind(deleteButton_, IDC_TOOLS_DELETE);
    Bind(editButton_, IDC_TOOLS_EDIT);
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CTools::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    RECT rc;
    GetClientRect(list, &rc);
    char nameCaption[] = "工具名称", pathCaption[] = "文件路径";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = nameCaption;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = rc.right - rc.left - 150;
    column.pszText = pathCaption;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));

    WinProfileReader profiles;
    const std::vector<tovan::ExternalTool> tools = tovan::ReadExternalTools(profiles, configFile);
    for (std::size_t i = 0; i < tools.size(); ++i)
        SetRow(static_cast<int>(i), tools[i].name, tools[i].path, true);
    EnableRowButtons(false);
    return TRUE;
}

void CTools::SetRow(int row, const std::string& name, const std::string& path, bool insert) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(name.c_str());
    if (insert)
        row = static_cast<int>(SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    else
        SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(path.c_str());
    SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string CTools::CellText(int row, int column) const {
    // A path is at most 500 bytes as stored; a name fits a 2000-byte ToolString.
    std::vector<char> text(2048, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text.data();
}

HWND CTools::List() const { return Item(IDC_TOOLS_LIST); }

int CTools::SelectedRow() const {
    return static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CTools::EnableRowButtons(bool on) {
    EnableItem(IDC_TOOLS_DELETE, on);
    EnableItem(IDC_TOOLS_EDIT, on);
}

LRESULT CTools::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr->idFrom == IDC_TOOLS_LIST && hdr->code == LVN_ITEMCHANGED) {
            EnableRowButtons(reinterpret_cast<const NMLISTVIEW*>(lp)->iItem > -1);
            return 0;
        }
    }
    return CDialogEx::HandleMessage(msg, wp, lp);
}

bool CTools::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_TOOLS_ADD: AddTool(); return true;
    case IDC_TOOLS_DELETE: DeleteTool(); return true;
    case IDC_TOOLS_EDIT: EditTool(); return true;
    }
    return false;
}

void CTools::AddTool() {
    CToolBj editor(hwnd());
    editor.editing = 0;
    if (runEditor(editor) == IDOK) SetRow(0, editor.name, editor.path, true);
}

void CTools::DeleteTool() {
    // The buttons stay enabled after a row lost its selection: then there is
    // nothing to delete.
    const int row = SelectedRow();
    if (row < 0) return;
    SendMessageA(List(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) {
        EnableRowButtons(false);
        return;
    }
    const int next = row < count ? row : count - 1;
    ListView_SetItemState(List(), next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CTools::EditTool() {
    const int row = SelectedRow();
    if (row < 0) return;
    CToolBj editor(hwnd());
    editor.editing = 1;
    editor.name = CellText(row, 0);
    editor.path = CellText(row, 1);
    if (runEditor(editor) == IDOK) SetRow(row, editor.name, editor.path, false);
}

void CTools::OnOK() {
    std::vector<tovan::ExternalTool> tools;
    const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) tools.push_back({CellText(row, 0), CellText(row, 1)});
    WinProfileWriter profiles;
    tovan::WriteExternalTools(profiles, configFile, tools);
    CDialogEx::OnOK();
}
