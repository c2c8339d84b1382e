#include "client/windows/publish_free_dlg.h"

#include "fw/dialog.h"
#include "client/windows/logic/offer_sentence.h"
#include "fw/program_path.h"
#include "client/model/publish_path.h"
#include "client/windows/publish_support.h"
#include "client/res/resource.h"

namespace {

// Every button is a hover button: the keys 1040-1076, the phrase buttons and
// the four of the text row ("允许重发" too, which makes it a push button).
std::array<int, 45> ButtonIds() {
    std::array<int, 45> ids{};
    std::size_t n = 0;
    for (int id = 1040; id <= 1076; ++id) ids[n++] = id;
    for (int id : {IDC_FREE_COMMON_WORDS, IDC_FREE_CAR_TYPES, IDC_FREE_PHRASES, IDC_FREE_GOODS,
                   IDOK, IDCANCEL, IDC_FREE_CLEAR, IDC_FREE_RESEND})
        ids[n++] = id;
    return ids;
}

}  // namespace

CHandFabu::CHandFabu() : CKeypadTextDlg(IDD_PUBLISH_FREE, nullptr, TPM_RETURNCMD | TPM_RIGHTBUTTON) {
    areaFile = fw::ProgramFilePath("area.ini");
    configFile = fw::ProgramFilePath("Config.ini");
}

// The province key writes the province chosen last.
bool CHandFabu::IsCaptionKey(int id) const {
    return CKeypadTextDlg::IsCaptionKey(id) || id == IDC_FREE_PROVINCE_KEY;
}

void CHandFabu::BindControls() {
    const auto ids = ButtonIds();
    for (std::size_t i = 0; i < ids.size(); ++i) Bind(buttons_[i], ids[i]);
    Bind(manageLabel_, IDC_PUB_MANAGE);
}

BOOL CHandFabu::OnInitDialog() {
    CDialogEx::OnInitDialog();
    FillProvincesAndSpares();

    SetWindowTextA(hwnd(), IsCargo() ? "发布货源" : "发布车源");
    SetItemText(IDC_FREE_THIRD_AREA, thirdArea);
    manageLabel_.textColor = RGB(255, 0, 0);
    manageLabel_.fontHeight = 16;
    SetChecked(IDC_FREE_SEND_MOBILE, true);
    sendMobile = 1;
    return TRUE;
}

void CHandFabu::OnProvinceChosen() {
    const std::string province = publish::ComboSelection(Item(IDC_FREE_PROVINCE));
    if (province.empty()) return;
    SendItem(IDC_FREE_CITY, CB_RESETCONTENT);
    SendItem(IDC_FREE_COUNTY, CB_RESETCONTENT);
    ListCities(province);
    // The province is written only through its key.
    SetItemText(IDC_FREE_PROVINCE_KEY, province);
}

void CHandFabu::OnCityChosen() {
    const std::string city = publish::ComboSelection(Item(IDC_FREE_CITY));
    if (city.empty()) return;
    SendItem(IDC_FREE_COUNTY, CB_RESETCONTENT);
    ListCounties(city);
    Insert(city);
}

bool CHandFabu::OnCommand(int id, int code, HWND control) {
    if (id == IDC_PUB_MANAGE && code == STN_CLICKED) {
        publish::ShowOfferManagementMenu(commandTarget ? commandTarget
                                         : fw::MainWindow() ? fw::MainWindow() : hwnd());
        return true;
    }
    if (OnKeypadCommand(id, code, control)) return true;
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_FREE_CLEAR: SetItemText(IDC_FREE_TEXT, ""); return true;
    case IDC_FREE_SEND_MOBILE: sendMobile = IsChecked(IDC_FREE_SEND_MOBILE) ? 1 : 0; return true;
    case IDC_FREE_RESEND: publish::AskResendOptions(hwnd(), resendCount, resendInterval); return true;
    }
    return false;
}

void CHandFabu::OnOK() {
    if (publishRights > 0) {
        ShowMessage("您无权自由发布信息，请联系管理员", "发送信息");
        return;
    }
    offerText = tovan::CleanRemark(ItemText(IDC_FREE_TEXT));
    if (offerText.empty()) return;  // nothing to publish: the dialog stays open
    // The frame sends only this many bytes; the rest would be lost unseen.
    if (offerText.size() > tovan::kPublishTextLimit) {
        ShowMessage(publish::kOfferTooLongMessage, "发送信息");
        return;
    }
    CDialogEx::OnOK();
}
