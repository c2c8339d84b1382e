#include "client/windows/resend_edit_dlg.h"

#include "client/windows/logic/offer_sentence.h"
#include "fw/program_path.h"
#include "client/windows/publish_support.h"
#include "client/windows/resend_options_dlg.h"
#include "client/res/resource.h"

namespace {

// Every push button is a hover button: the keys 1040-1075, the phrase
// buttons, the resend options and OK/Cancel.
std::array<int, 43> ButtonIds() {
    std::array<int, 43> ids{};
    std::size_t n = 0;
    for (int id = 1040; id <= 1075; ++id) ids[n++] = id;
    for (int id : {IDC_RSEDIT_COMMON_WORDS, IDC_RSEDIT_CAR_TYPES, IDC_RSEDIT_PHRASES, IDC_RSEDIT_GOODS,
                   IDC_RSEDIT_RESEND_OPTIONS, IDOK, IDCANCEL})
        ids[n++] = id;
    return ids;
}

}  // namespace

CChongfabj::CChongfabj(HWND parent)
    : CKeypadTextDlg(IDD_RESEND_EDIT, parent, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN) {
    areaFile = fw::ProgramFilePath("area.ini");
    configFile = fw::ProgramFilePath("Config.ini");
}

void CChongfabj::BindControls() {
    const auto ids = ButtonIds();
    for (std::size_t i = 0; i < ids.size(); ++i) Bind(buttons_[i], ids[i]);
}

BOOL CChongfabj::OnInitDialog() {
    CDialogEx::OnInitDialog();
    FillProvincesAndSpares();
    SetItemText(IDC_RSEDIT_THIRD_AREA, thirdArea);
    SetItemText(IDC_RSEDIT_TEXT, text);
    return TRUE;
}

void CChongfabj::OnProvinceChosen() {
    const std::string province = publish::ComboSelection(Item(IDC_RSEDIT_PROVINCE));
    SendItem(IDC_RSEDIT_CITY, CB_RESETCONTENT);
    SendItem(IDC_RSEDIT_COUNTY, CB_RESETCONTENT);
    if (province.empty()) return;
    ListCities(province);
}

void CChongfabj::OnCityChosen() {
    const std::string city = publish::ComboSelection(Item(IDC_RSEDIT_CITY));
    SendItem(IDC_RSEDIT_COUNTY, CB_RESETCONTENT);
    if (city.empty()) return;
    ListCounties(city);
    Insert(city);
}

// Cancelling the options keeps the entry's count and interval.
void CChongfabj::AskResendOptions() {
    CChongfa options(hwnd());
    options.resendCount = resendCount;
    options.resendInterval = resendInterval;
    if (options.DoModal() != IDOK) return;
    resendCount = options.resendCount;
    resendInterval = options.resendInterval;
}

bool CChongfabj::OnCommand(int id, int code, HWND control) {
    if (OnKeypadCommand(id, code, control)) return true;
    if (code == BN_CLICKED && id == IDC_RSEDIT_RESEND_OPTIONS) {
        AskResendOptions();
        return true;
    }
    return false;
}

void CChongfabj::OnOK() {
    if (publishRights > 0) {
        ShowMessage("您无权自由发布信息，请联系管理员", "发送信息");
        return;
    }
    const std::string cleaned = tovan::CleanRemark(ItemText(IDC_RSEDIT_TEXT));
    if (cleaned.empty()) return;  // nothing left: the dialog stays open
    text = cleaned;
    CDialogEx::OnOK();
}
