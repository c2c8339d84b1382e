#include "client/windows/guanzhu_dlg.h"

#include "client/model/area_scope.h"
#include "client/controls/list_box_text.h"
#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/windows/logic/search_criteria.h"
#include "client/windows/logic/watch_cities.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

namespace {
constexpr WPARAM kWatchedColumnWidth = 60;  // pixels
}

CGuanzhu::CGuanzhu()
    : fw::Dialog(IDD_GUANZHU),
      areaIniFile(fw::ProgramFilePath("area.ini")),
      settingsFile(fw::ProgramFilePath("guanzhu.ini")) {}

BOOL CGuanzhu::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SendItem(IDC_WATCH_LIST, LB_RESETCONTENT);
    SendItem(IDC_WATCH_PROVINCE, LB_RESETCONTENT);
    SendItem(IDC_WATCH_LIST, LB_SETCOLUMNWIDTH, kWatchedColumnWidth);

    WinProfileReader profiles;
    const tovan::AreaIni areas(profiles, areaIniFile);
    listbox::Fill(Item(IDC_WATCH_PROVINCE), areas.List("全国省城", "SF"));
    const tovan::WatchCitySettings s = tovan::ReadWatchCities(profiles, settingsFile);
    listbox::Fill(Item(IDC_WATCH_LIST), s.cities);
    SetChecked(IDC_WATCH_CARGO, s.cargo);
    SetChecked(IDC_WATCH_VEHICLE, s.vehicle);
    return TRUE;
}

bool CGuanzhu::OnCommand(int id, int code, HWND) {
    if (code == LBN_SELCHANGE) {
        if (id != IDC_WATCH_PROVINCE && id != IDC_WATCH_CITY && id != IDC_WATCH_COUNTY) return false;
        if (id == IDC_WATCH_PROVINCE) SendItem(IDC_WATCH_CITY, LB_RESETCONTENT);
        if (id != IDC_WATCH_COUNTY) SendItem(IDC_WATCH_COUNTY, LB_RESETCONTENT);
        if (!listbox::HasSelection(Item(id))) return true;
        const std::string chosen = listbox::SelectedText(Item(id));
        WinProfileReader profiles;
        const tovan::AreaIni areas(profiles, areaIniFile);
        if (id == IDC_WATCH_PROVINCE) {
            listbox::Fill(Item(IDC_WATCH_CITY), tovan::PlacesOf(areas, chosen));
        } else if (id == IDC_WATCH_CITY) {
            listbox::Fill(Item(IDC_WATCH_COUNTY), areas.List(chosen, "XIAN"));
            Watch(chosen);
        } else {
            Watch(chosen);
        }
        return true;
    }
    if (code == LBN_DBLCLK && id == IDC_WATCH_LIST) {
        listbox::DeleteSelected(Item(id));
        return true;
    }
    return false;
}

void CGuanzhu::OnOK() {
    tovan::WatchCitySettings s;
    s.cities = listbox::Texts(Item(IDC_WATCH_LIST));
    s.cargo = IsChecked(IDC_WATCH_CARGO);
    s.vehicle = IsChecked(IDC_WATCH_VEHICLE);
    WinProfileWriter profiles;
    tovan::WriteWatchCities(profiles, settingsFile, s);
    fw::Dialog::OnOK();
}

void CGuanzhu::Watch(const std::string& name) const {
    listbox::AddUnlessPrefixed(Item(IDC_WATCH_LIST), name);
}
