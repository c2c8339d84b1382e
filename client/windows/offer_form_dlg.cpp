#include "client/windows/offer_form_dlg.h"

#include <algorithm>

#include "fw/profile.h"
#include "client/model/profile_reader.h"
#include "client/model/publish_path.h"
#include "fw/program_path.h"
#include "client/windows/publish_support.h"
#include "client/res/resource.h"

namespace {

constexpr std::size_t kListBuffer = 2000;       // area.ini and [Sentence] values
constexpr std::size_t kLastAreaBuffer = 99;     // dmr.ini [LastArea] values
constexpr std::size_t kKeyCaptionLimit = 19;    // bytes of a key's caption
constexpr std::size_t kComboTextLimit = 199;    // bytes of a combo's text the keypad keeps
constexpr char kLastArea[] = "LastArea";
constexpr char kProvincesSection[] = "全国省城";
constexpr int kKeyIds[] = {1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1050, 1049, 1051};

bool Contains(const std::vector<int>& ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsKey(int id) {
    return std::find(std::begin(kKeyIds), std::end(kKeyIds), id) != std::end(kKeyIds);
}

std::string ClassOf(HWND h) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

bool IsEditClass(HWND h) { return ClassOf(h) == "Edit"; }

// The notification codes overlap between classes (LBN_SETFOCUS is
// CBN_KILLFOCUS): ask the control what it is.
bool GotFocus(HWND control, int code) {
    const std::string cls = ClassOf(control);
    if (cls == "ComboBox") return code == CBN_SETFOCUS;
    if (cls == "ListBox") return code == LBN_SETFOCUS;
    if (cls == "Edit") return code == EN_SETFOCUS;
    return false;
}

}  // namespace

COfferFormDlg::COfferFormDlg(UINT templateId, std::vector<int> keypadTargets,
                             std::vector<int> areaControls)
    : CDialogEx(templateId),
      areaFile(fw::ProgramFilePath("area.ini")),
      configFile(fw::ProgramFilePath("Config.ini")),
      keypadTargets_(std::move(keypadTargets)),
      areaControls_(std::move(areaControls)) {}

void COfferFormDlg::BindControls() {
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
    for (std::size_t i = 0; i < keys_.size(); ++i) Bind(keys_[i], kKeyIds[i]);
    Bind(manageLabel_, IDC_PUB_MANAGE);
}

BOOL COfferFormDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    keypadTarget_ = nullptr;  // each showing starts without one

    SendItem(IDC_PUB_FROM_PROVINCE, CB_RESETCONTENT);
    SendItem(IDC_PUB_TO_PROVINCE, LB_RESETCONTENT);
    const auto provinces = publish::AreaList(areaFile, kProvincesSection, "SF", kListBuffer);
    publish::AddComboItems(Item(IDC_PUB_FROM_PROVINCE), provinces);
    publish::AddListItems(Item(IDC_PUB_TO_PROVINCE), provinces);
    FillFormLists();

    // The departure area of the last publication, step by step as if chosen.
    const auto last = [](const char* key) {
        return fw::ReadProfileString(tovan::kUserIni, kLastArea, key, "", kLastAreaBuffer);
    };
    const std::string province = last("Sheng"), city = last("Shi"), county = last("Xian");
    publish::SelectComboPrefix(Item(IDC_PUB_FROM_PROVINCE), province);
    OnDepartureProvinceChanged();
    publish::SelectComboPrefix(Item(IDC_PUB_FROM_CITY), city);
    OnDepartureCityChanged();
    publish::SelectComboPrefix(Item(IDC_PUB_FROM_COUNTY), county);

    SetChecked(IDC_PUB_SEND_MOBILE, true);
    sendMobile = 1;
    manageLabel_.textColor = RGB(255, 0, 0);
    manageLabel_.fontHeight = 16;
    return TRUE;  // the focus goes to the first tab stop: "发布"
}

void COfferFormDlg::FillPhraseCombo(int id, const char* key) {
    publish::AddComboItems(Item(id), publish::PhraseList(configFile, key, kListBuffer));
}

std::vector<std::string> COfferFormDlg::CitiesOf(const std::string& province) const {
    auto items = publish::AreaList(areaFile, province, "CS", kListBuffer);
    const auto counties = publish::AreaList(areaFile, province, "XIAN", kListBuffer);
    items.insert(items.end(), counties.begin(), counties.end());
    return items;
}

std::vector<std::string> COfferFormDlg::CountiesOf(const std::string& city) const {
    return publish::AreaList(areaFile, city, "XIAN", kListBuffer);
}

std::string COfferFormDlg::Selection(int id) const {
    return ClassOf(Item(id)) == "ComboBox" ? publish::ComboSelection(Item(id))
                                          : publish::ListSelection(Item(id));
}

bool COfferFormDlg::HasSelection(int id) const {
    return ClassOf(Item(id)) == "ComboBox" ? SendItem(id, CB_GETCURSEL) != CB_ERR
                                          : SendItem(id, LB_GETCURSEL) != LB_ERR;
}

void COfferFormDlg::OnDepartureProvinceChanged() {
    const std::string province = Selection(IDC_PUB_FROM_PROVINCE);
    if (province.empty()) return;
    SendItem(IDC_PUB_FROM_CITY, CB_RESETCONTENT);
    SendItem(IDC_PUB_FROM_COUNTY, CB_RESETCONTENT);
    // A municipality lists itself among its cities: no journey starts "from
    // 北京 in 北京".
    auto cities = publish::AreaList(areaFile, province, "CS", kListBuffer);
    cities.erase(std::remove(cities.begin(), cities.end(), province), cities.end());
    publish::AddComboItems(Item(IDC_PUB_FROM_CITY), cities);
    publish::AddComboItems(Item(IDC_PUB_FROM_CITY),
                           publish::AreaList(areaFile, province, "XIAN", kListBuffer));
    RefreshPreview();
}

void COfferFormDlg::OnDepartureCityChanged() {
    if (!HasSelection(IDC_PUB_FROM_CITY)) return;
    SendItem(IDC_PUB_FROM_COUNTY, CB_RESETCONTENT);
    publish::AddComboItems(Item(IDC_PUB_FROM_COUNTY), CountiesOf(Selection(IDC_PUB_FROM_CITY)));
    RefreshPreview();
}

void COfferFormDlg::SaveLastArea() const {
    // A failed write is not reported: the offer goes out all the same.
    fw::WriteProfileString(tovan::kUserIni, kLastArea, "Sheng", Selection(IDC_PUB_FROM_PROVINCE).c_str());
    fw::WriteProfileString(tovan::kUserIni, kLastArea, "Shi", Selection(IDC_PUB_FROM_CITY).c_str());
    fw::WriteProfileString(tovan::kUserIni, kLastArea, "Xian", Selection(IDC_PUB_FROM_COUNTY).c_str());
}

void COfferFormDlg::FocusItem(int id) {
    SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void COfferFormDlg::Refuse(const char* text, const char* caption, int focusId) {
    ShowMessage(text, caption);
    if (focusId) FocusItem(focusId);
}

bool COfferFormDlg::RefuseTooLong(const std::string& sentence) {
    if (sentence.size() <= tovan::kPublishTextLimit) return false;
    Refuse(publish::kOfferTooLongMessage, "发送信息", IDC_PUB_REMARK);
    return true;
}

void COfferFormDlg::OnKey(HWND key) {
    if (!keypadTarget_) return;
    const std::string caption = publish::TextCut(key, kKeyCaptionLimit);
    if (IsEditClass(keypadTarget_)) {
        // Its change notification refreshes the preview.
        SendMessageA(keypadTarget_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(caption.c_str()));
        return;
    }
    fw::SetText(keypadTarget_, publish::TextCut(keypadTarget_, kComboTextLimit) + caption);
    RefreshPreview();
}

bool COfferFormDlg::OnCommand(int id, int code, HWND control) {
    if (control && GotFocus(control, code)) {
        if (Contains(keypadTargets_, id)) keypadTarget_ = control;
        else if (Contains(areaControls_, id)) keypadTarget_ = nullptr;
        return false;
    }
    if (IsKey(id) && code == BN_CLICKED) {
        // The key just clicked (it has the focus now).
        OnKey(control ? control : GetFocus());
        return true;
    }
    switch (id) {
    case IDC_PUB_FROM_PROVINCE:
        if (code == CBN_SELCHANGE) OnDepartureProvinceChanged();
        return code == CBN_SELCHANGE;
    case IDC_PUB_FROM_CITY:
        if (code == CBN_SELCHANGE) OnDepartureCityChanged();
        return code == CBN_SELCHANGE;
    case IDC_PUB_FROM_COUNTY:
        if (code == CBN_SELCHANGE) RefreshPreview();
        return code == CBN_SELCHANGE;
    case IDC_PUB_SEND_MOBILE:
        if (code != BN_CLICKED) return false;
        sendMobile = IsChecked(IDC_PUB_SEND_MOBILE) ? 1 : 0;
        RefreshPreview();
        return true;
    case IDC_PUB_RESEND:
        if (code != BN_CLICKED) return false;
        publish::AskResendOptions(hwnd(), resendCount, resendInterval);
        return true;
    case IDC_PUB_MANAGE:
        if (code != STN_CLICKED) return false;
        publish::ShowOfferManagementMenu(commandTarget ? commandTarget
                                         : fw::MainWindow() ? fw::MainWindow() : hwnd());
        return true;
    }
    // The phrase combos and the number fields of the form.
    if (Contains(keypadTargets_, id)) {
        if (IsEditClass(control)) {
            if (code == EN_CHANGE) RefreshPreview();
        } else if (code == CBN_EDITCHANGE) {
            RefreshPreview();
        } else if (code == CBN_SELCHANGE) {
            // The combo takes the picked item's text over only after this.
            fw::SetText(control, publish::ComboSelection(control));
            RefreshPreview();
        }
        return false;
    }
    return false;
}
