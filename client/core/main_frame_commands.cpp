// The menu and toolbar commands and the menus they change.
#include "client/core/main_frame.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/core/about_dlg.h"
#include "client/model/area_scope.h"
#include "client/model/profile_reader.h"
#include "client/model/publish_path.h"
#include "client/model/tools_menu.h"
#include "client/controls/win_profile_reader.h"
#include "client/res/resource.h"
#include "client/windows/display_apply.h"
#include "client/windows/html_help.h"
#include "client/windows/my_msg_dlg.h"
#include "client/windows/phrase_lists_dlg.h"
#include "client/windows/resend_list_dlg.h"
#include "client/windows/text_background_dlg.h"
#include "client/windows/toolbar_items_dlg.h"
#include "client/windows/tools_dlg.h"
#include "fw/message_box.h"
#include "fw/profile.h"
#include "fw/program_path.h"

namespace {

// Positions of "功能设置" and "实用工具" in the menu bar.
constexpr int kSettingsMenu = 1;
constexpr int kToolsMenu = 4;

}  // namespace

void CMainFrame::ToggleAreaTree() {
    if (account().isFullMember == 0) {
        ShowLimitedRightsBox();
        return;
    }
    const bool show = !areaTreePane_.Shown();
    ShowPane(areaTreePane_, show);
    // The right web pane goes with the tree, unless the user closed it.
    if (!rightPaneClosed_) ShowPane(rightWebPane_, show);
}

void CMainFrame::MarkPublishMode(int kind) {
    HMENU settings = GetSubMenu(GetMenu(hwnd()), kSettingsMenu);
    CheckMenuRadioItem(settings, ID_PUBLISH_EXPERT, ID_PUBLISH_FREE,
                       kind ? ID_PUBLISH_EXPERT : ID_PUBLISH_FREE, MF_BYCOMMAND);
}

void CMainFrame::MarkMinimiseMode(int mode) {
    HMENU settings = GetSubMenu(GetMenu(hwnd()), kSettingsMenu);
    CheckMenuRadioItem(settings, ID_MINIMISE_TASKBAR, ID_MINIMISE_TRAY,
                       mode ? ID_MINIMISE_TRAY : ID_MINIMISE_TASKBAR, MF_BYCOMMAND);
}

void CMainFrame::SetPublishMode(int kind) {
    MarkPublishMode(kind);
    fw::WriteProfileString(tovan::kUserIni, "Publish", "Kind", kind ? "1" : "0");
}

void CMainFrame::SetMinimiseMode(int mode) {
    MarkMinimiseMode(mode);
    fw::WriteProfileString(tovan::kUserIni, "Display", "Min", mode ? "1" : "0");
}

void CMainFrame::BuildToolsMenu() {
    HMENU tools = GetSubMenu(GetMenu(hwnd()), kToolsMenu);
    if (!tools) return;
    // Every item of the last build goes, also those past the last tool id.
    const int lastId = std::max(tovan::kLastToolCommand, tovan::kFirstToolCommand + toolItemCount_ - 1);
    for (int id = tovan::kFirstToolCommand; id <= lastId; ++id) {
        while (DeleteMenu(tools, static_cast<UINT>(id), MF_BYCOMMAND)) {
        }
    }
    const std::string toolString = fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "Tools",
                                                         "ToolString", "", 2000);
    const std::vector<std::string> names = tovan::SplitToolNames(toolString);
    int id = tovan::kFirstToolCommand;
    for (const std::string& name : names) {
        InsertMenuA(tools, 0, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id++), name.c_str());
    }
    toolItemCount_ = static_cast<int>(names.size());
    DrawMenuBar(hwnd());
}

void CMainFrame::RunTool(int id) {
    char name[500] = {};
    GetMenuStringA(GetMenu(hwnd()), static_cast<UINT>(id), name, sizeof name, MF_BYCOMMAND);
    const std::string path =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "Tools", name, "", 500);
    ShellExecuteA(hwnd(), nullptr, path.c_str(), "", "", SW_SHOW);
}

void CMainFrame::OpenSupportPage() {
    const std::string url =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Support", "", 1000);
    // Without an address the browser would open its own home page instead.
    if (url.empty()) {
        fw::AppMessageBox(hwnd(), "没有设置技术支持网页。", nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShellExecuteA(hwnd(), "open", "iexplore.exe", url.c_str(), nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OnInitMenuPopup(HMENU popup) {
    if (GetMenuState(popup, ID_TOGGLE_MASK, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    ModifyMenuA(popup, ID_TOGGLE_MASK, MF_BYCOMMAND | MF_STRING, ID_TOGGLE_MASK,
                view_.grid().maskDigits ? "解密(&A)" : "加密(&A)");
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_USER_LOGIN: session_.LoginCommand(); return true;
    case ID_APP_ABOUT: ShowAboutBox(hwnd()); return true;
    case ID_APP_EXIT: PostMessageA(hwnd(), WM_CLOSE, 0, 0); return true;
    case ID_TOGGLE_MASK: ToggleMask(); return true;
    case ID_PUBLISH_EXPERT: SetPublishMode(1); return true;
    case ID_PUBLISH_FREE: SetPublishMode(0); return true;
    case ID_MINIMISE_TASKBAR: SetMinimiseMode(0); return true;
    case ID_MINIMISE_TRAY: SetMinimiseMode(1); return true;
    case ID_SUPPORT_PAGE:
    case ID_SUPPORT_TOOLBAR: OpenSupportPage(); return true;
    case ID_TRAY_SHOW: RestoreFromTray(); return true;
    case ID_PUBLISH_VEHICLE: Publish(tovan::kVehicleClass); return true;
    case ID_PUBLISH_CARGO: Publish(tovan::kCargoClass); return true;
    case ID_ADVANCED_SEARCH: {
        client_.Search(SearchDialogRunOf(searchDialog_));
        return true;
    }
    case ID_SEARCH: {
        client_.Search(SearchDialogRunOf(quickSearchDialog_));
        return true;
    }
    case ID_WATCH: {
        WinProfileReader profiles;
        const tovan::AreaIni areas(profiles, fw::ProgramFilePath("area.ini"));
        client_.Watch(profiles, areas);
        return true;
    }
    case ID_WATCH_SETTINGS: watchSettingsDialog_.DoModal(); return true;
    case ID_CURRENT_INFO: {
        client_.BackToCurrentInfo();
        return true;
    }
    case ID_AREA_LIST:
    case ID_AREA_LIST_TOOLBAR: ToggleAreaTree(); return true;
    case ID_MY_OFFERS: ShowMyOffers(); return true;
    case ID_RESEND_MANAGER: {
        CCongfaDlg dlg(resendSchedule_, account(), hwnd());
        dlg.DoModal();
        return true;
    }
    case ID_PHRASE_LISTS: {
        CDysz dlg(hwnd());
        dlg.DoModal();
        return true;
    }
    case ID_TOOLBAR_OPTIONS: {
        CGjlsz dlg(hwnd());
        if (dlg.DoModal() == IDOK) BuildToolBar();
        return true;
    }
    case ID_TOOLS_MANAGE: {
        CTools dlg(hwnd());
        if (dlg.DoModal() == IDOK) BuildToolsMenu();
        return true;
    }
    case ID_TEXT_AND_BACKGROUND: {
        CWenzi dlg(hwnd());
        if (dlg.DoModal() == IDOK) {
            ApplyDisplayChoice(view_.grid(), dlg.choice, model().usePictures);
            if (CViewGrid* search = SearchGrid()) ApplyDisplayChoice(*search, dlg.choice, model().usePictures);
        }
        return true;
    }
    case ID_HELP:
        help::ShowContents(hwnd());
        return true;
    case CIEBar::kRightPane:
        ShowPane(rightWebPane_, false);
        rightPaneClosed_ = true;
        return true;
    case CIEBar::kTopPane: ShowPane(topWebPane_, false); return true;
    default:
        break;
    }
    if (id >= tovan::kFirstToolCommand && id <= tovan::kLastToolCommand) {
        RunTool(id);
        return true;
    }
    return false;
}

void CMainFrame::ToggleMask() {
    view_.ToggleMask();
    if (CViewGrid* search = SearchGrid()) {
        search->maskDigits = !search->maskDigits;
        // Binding again repaints the search grid from its first row.
        searchPane_.BindRecords(model().lists.searchList);
    }
}

void CMainFrame::Publish(const char* offerClass) {
    WinProfileReader profiles;
    tovan::PublishPorts ports{profiles, publishDialogs_, clock_, session_};
    if (tovan::PublishOffer(offerClass, account(), ports, resendSchedule_) ==
        tovan::PublishOutcome::NotFullMember) {
        ShowLimitedRightsBox();
    }
}

void CMainFrame::ShowMyOffers() {
    MyOffersContext c;
    c.lists = &model().lists;
    c.outbox = &session_;
    c.dropResend = [this](const std::string& body) { resendSchedule_.RemoveByBody(body); };
    const tovan::AccountState& a = model().account;
    c.userId = a.ownUserId;
    c.contacts = {a.contactName, a.contactPhone, a.contactMobile};
    c.frame = hwnd();
    CMyMsg dlg(hwnd(), std::move(c));
    // The closed deals the user marked go out after the dialog closes.
    if (dlg.DoModal() == IDOK && dlg.Result().size() > 10) session_.Send(dlg.Result());
}
