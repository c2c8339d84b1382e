#include "client/windows/search_dlg.h"

#include "client/controls/list_box_text.h"
#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/windows/logic/search_criteria.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

namespace {

// The controls a fixed origin disables: the origin lists and their buttons.
constexpr int kOriginChoiceControls[] = {IDC_SRCH_FROM_PROVINCE, IDC_SRCH_FROM_CITY,
                                         IDC_SRCH_FROM_COUNTY, IDC_SRCH_ALL_FROM_CITIES,
                                         IDC_SRCH_ALL_FROM_COUNTIES};

}  // namespace

CSearchDialogBase::CSearchDialogBase(UINT templateId)
    : CDialogEx(templateId), areaIniFile(fw::ProgramFilePath("area.ini")) {}

void CSearchDialogBase::BindControls() {
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
    Bind(clearFromButton_, IDC_SRCH_CLEAR_FROM);
    Bind(clearToButton_, IDC_SRCH_CLEAR_TO);
    Bind(allToCitiesButton_, IDC_SRCH_ALL_TO_CITIES);
    Bind(allToCountiesButton_, IDC_SRCH_ALL_TO_COUNTIES);
    Bind(allFromCitiesButton_, IDC_SRCH_ALL_FROM_CITIES);
    Bind(allFromCountiesButton_, IDC_SRCH_ALL_FROM_COUNTIES);
}

tovan::AreaScope CSearchDialogBase::Scope() const {
    tovan::AreaScope s;
    s.areaLevel = areaLevel;
    s.homeProvince = homeProvince;
    s.homeCity = homeCity;
    s.thirdArea = thirdArea;
    return s;
}

BOOL CSearchDialogBase::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SetItemText(IDC_SRCH_HOME_PROVINCE, homeProvince);
    SetItemText(IDC_SRCH_HOME_CITY, homeCity);
    SetItemText(IDC_SRCH_THIRD_AREA, thirdArea);
    CheckRadioButton(hwnd(), IDC_SRCH_HOME_PROVINCE, IDC_SRCH_CHOSEN_AREAS, StartRadio());
    if (areaLevel == 2) EnableItem(IDC_SRCH_HOME_PROVINCE, false);

    ResetList(IDC_SRCH_FROM_LIST);
    ResetList(IDC_SRCH_TO_LIST);
    SetChecked(IDC_SRCH_CARGO, true);
    SetChecked(IDC_SRCH_VEHICLE, true);

    WinProfileReader profiles;
    const tovan::AreaIni areas(profiles, areaIniFile);
    ResetList(IDC_SRCH_FROM_PROVINCE);
    ResetList(IDC_SRCH_TO_PROVINCE);
    FillList(IDC_SRCH_TO_PROVINCE, areas.List("全国省城", "SF"));
    FillList(IDC_SRCH_FROM_PROVINCE, tovan::OriginProvinces(areas, Scope()));
    return TRUE;
}

CSousuo::CSousuo() : CSearchDialogBase(IDD_SOUSUO) {}

int CSousuo::StartRadio() const { return IDC_SRCH_CHOSEN_AREAS; }

BOOL CSousuo::OnInitDialog() {
    CSearchDialogBase::OnInitDialog();
    WinProfileReader profiles;
    const tovan::AreaIni areas(profiles, areaIniFile);
    const std::vector<std::string> origins = tovan::StoredOrigins(profiles, Scope(), areas);
    FillList(IDC_SRCH_FROM_LIST, origins);
    // Nothing stored: at city level the home city is the choice, and the
    // radio that shows it does what clicking it does, so OK can search.
    const std::string stored = profiles.ReadString(tovan::kUserIni, tovan::kSearchSection, "From",
                                                   "", tovan::kSearchListBuffer);
    if (stored.empty() && areaLevel == 2) {
        CheckRadioButton(hwnd(), IDC_SRCH_HOME_PROVINCE, IDC_SRCH_CHOSEN_AREAS, IDC_SRCH_HOME_CITY);
        OnFixedOrigin(homeCity);
    }
    FillList(IDC_SRCH_TO_LIST, tovan::StoredDestinations(profiles));
    return TRUE;
}

CGjSousuo::CGjSousuo() : CSearchDialogBase(IDD_GJSOUSUO) {}

int CGjSousuo::StartRadio() const { return IDC_SRCH_HOME_CITY; }

BOOL CGjSousuo::OnInitDialog() {
    CSearchDialogBase::OnInitDialog();
    AddEntry(IDC_SRCH_FROM_LIST, homeCity);
    WinProfileReader profiles;
    FillList(IDC_SRCH_TO_LIST, tovan::StoredDestinations(profiles));
    return TRUE;
}

// ---------------------------------------------------------------- handlers

bool CSearchDialogBase::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_SRCH_HOME_PROVINCE: OnFixedOrigin(homeProvince); return true;
        case IDC_SRCH_HOME_CITY: OnFixedOrigin(homeCity); return true;
        case IDC_SRCH_THIRD_AREA: OnFixedOrigin(thirdArea); return true;
        case IDC_SRCH_CHOSEN_AREAS: OnChosenOrigins(); return true;
        case IDC_SRCH_ALL_FROM_CITIES:
        case IDC_SRCH_ALL_FROM_COUNTIES:
            for (const std::string& e :
                 ListTexts(id == IDC_SRCH_ALL_FROM_CITIES ? IDC_SRCH_FROM_CITY : IDC_SRCH_FROM_COUNTY))
                listbox::AddUnlessPrefixed(Item(IDC_SRCH_FROM_LIST), e);
            return true;
        case IDC_SRCH_ALL_TO_CITIES:
        case IDC_SRCH_ALL_TO_COUNTIES:
            for (const std::string& e :
                 ListTexts(id == IDC_SRCH_ALL_TO_CITIES ? IDC_SRCH_TO_CITY : IDC_SRCH_TO_COUNTY))
                listbox::AddUnlessPrefixed(Item(IDC_SRCH_TO_LIST), e);
            return true;
        case IDC_SRCH_CLEAR_FROM: ResetList(IDC_SRCH_FROM_LIST); return true;
        case IDC_SRCH_CLEAR_TO: ResetList(IDC_SRCH_TO_LIST); return true;
        case IDC_SRCH_ALL_OFFERS: OnAllOffersOfClass(); return true;
        default: return false;
        }
    }
    if (code == LBN_SELCHANGE) {
        switch (id) {
        case IDC_SRCH_FROM_PROVINCE: OnOriginProvince(); return true;
        case IDC_SRCH_FROM_CITY: OnOriginCity(); return true;
        case IDC_SRCH_FROM_COUNTY:
            if (listbox::HasSelection(Item(id)))
                listbox::AddUnlessPrefixed(Item(IDC_SRCH_FROM_LIST), SelectedText(id));
            return true;
        case IDC_SRCH_TO_PROVINCE: OnDestinationProvince(); return true;
        case IDC_SRCH_TO_CITY: OnDestinationCity(); return true;
        case IDC_SRCH_TO_COUNTY:
            if (listbox::HasSelection(Item(id)))
                listbox::AddUnlessPrefixed(Item(IDC_SRCH_TO_LIST), SelectedText(id));
            return true;
        default: return false;
        }
    }
    if (code == LBN_DBLCLK && (id == IDC_SRCH_FROM_LIST || id == IDC_SRCH_TO_LIST)) {
        listbox::DeleteSelected(Item(id));
        return true;
    }
    return false;
}

void CSearchDialogBase::EnableOriginChoice(bool on) const {
    for (int id : kOriginChoiceControls) EnableItem(id, on);
}

void CSearchDialogBase::OnFixedOrigin(const std::string& area) {
    EnableOriginChoice(false);
    ResetList(IDC_SRCH_FROM_LIST);
    AddEntry(IDC_SRCH_FROM_LIST, area);
}

void CSearchDialogBase::OnChosenOrigins() {
    EnableOriginChoice(true);
    ResetList(IDC_SRCH_FROM_LIST);
}

void CSearchDialogBase::OnOriginProvince() {
    ResetList(IDC_SRCH_FROM_CITY);
    if (!listbox::HasSelection(Item(IDC_SRCH_FROM_PROVINCE))) return;
    WinProfileReader profiles;
    const tovan::AreaIni areas(profiles, areaIniFile);
    FillList(IDC_SRCH_FROM_CITY,
             tovan::OriginPlacesOf(areas, Scope(), SelectedText(IDC_SRCH_FROM_PROVINCE)));
}

void CSearchDialogBase::OnOriginCity() {
    ResetList(IDC_SRCH_FROM_COUNTY);
    if (!listbox::HasSelection(Item(IDC_SRCH_FROM_CITY))) return;
    const std::string city = SelectedText(IDC_SRCH_FROM_CITY);
    listbox::AddUnlessPresent(Item(IDC_SRCH_FROM_LIST), city);
    WinProfileReader profiles;
    FillList(IDC_SRCH_FROM_COUNTY, tovan::AreaIni(profiles, areaIniFile).List(city, "XIAN"));
}

void CSearchDialogBase::OnDestinationProvince() {
    ResetList(IDC_SRCH_TO_CITY);
    ResetList(IDC_SRCH_TO_COUNTY);
    if (!listbox::HasSelection(Item(IDC_SRCH_TO_PROVINCE))) return;
    WinProfileReader profiles;
    FillList(IDC_SRCH_TO_CITY, tovan::PlacesOf(tovan::AreaIni(profiles, areaIniFile),
                                               SelectedText(IDC_SRCH_TO_PROVINCE)));
}

void CSearchDialogBase::OnDestinationCity() {
    ResetList(IDC_SRCH_TO_COUNTY);
    if (!listbox::HasSelection(Item(IDC_SRCH_TO_CITY))) return;
    const std::string city = SelectedText(IDC_SRCH_TO_CITY);
    listbox::AddUnlessPresent(Item(IDC_SRCH_TO_LIST), city);
    WinProfileReader profiles;
    FillList(IDC_SRCH_TO_COUNTY, tovan::AreaIni(profiles, areaIniFile).List(city, "XIAN"));
}

void CSearchDialogBase::OnAllOffersOfClass() {
    const bool all = IsChecked(IDC_SRCH_ALL_OFFERS);
    if (all) {
        ResetList(IDC_SRCH_TO_LIST);
        SetItemText(IDC_SRCH_KEYWORD, "");
    }
    EnableItem(IDC_SRCH_TO_LIST, !all);
    EnableItem(IDC_SRCH_KEYWORD, !all);
}

void CSearchDialogBase::OnOK() {
    tovan::SearchForm form;
    form.keywordText = ItemText(IDC_SRCH_KEYWORD);
    form.origins = ListTexts(IDC_SRCH_FROM_LIST);
    form.destinations = ListTexts(IDC_SRCH_TO_LIST);
    form.allOffersOfClass = IsChecked(IDC_SRCH_ALL_OFFERS);
    form.cargo = IsChecked(IDC_SRCH_CARGO);
    form.vehicle = IsChecked(IDC_SRCH_VEHICLE);
    form.storeAsWatch = IsChecked(IDC_SRCH_AS_WATCH);
    const tovan::SearchOk ok = tovan::CheckSearchForm(form);
    if (ok.message) {
        ShowMessage(ok.message);  // the dialog stays open as it is
        return;
    }
    fromList = ok.result.fromList;
    toList = ok.result.toList;
    typeList = ok.result.typeList;
    keyWords = ok.result.keyWords;
    WinProfileWriter profiles;
    tovan::SaveSearchSettings(profiles, ok.result, form.storeAsWatch);
    CDialogEx::OnOK();
}

tovan::SearchDialogRun SearchDialogRunOf(CSearchDialogBase& dialog) {
    return [&dialog](const tovan::SearchDialogInputs& in, tovan::SearchDialogResult& out) {
        dialog.homeCity = in.homeCity;
        dialog.homeProvince = in.homeProvince;
        dialog.thirdArea = in.thirdArea;
        dialog.areaLevel = in.areaLevel;
        if (dialog.DoModal() != IDOK) return false;
        out.fromList = dialog.fromList;
        out.toList = dialog.toList;
        out.typeList = dialog.typeList;
        out.keyWords = dialog.keyWords;
        return true;
    };
}
