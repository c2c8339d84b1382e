#include "publish_free_dlg.h"

#include <algorithm>

#include "dialog.h"
#include "offer_sentence.h"
#include "phrase_lists.h"
#include "program_path.h"
#include "publish_support.h"
#include "resource.h"

namespace {

constexpr std::size_t kProvinceBuffer = 4000;  // area.ini [全国省城] SF
constexpr std::size_t kAreaBuffer = 2000;      // area.ini CS and XIAN
constexpr std::size_t kPhraseBuffer = 4000;    // Config.ini [Sentence]
constexpr int kMenuTextBuffer = 99;            // a chosen phrase: at most 98 bytes
constexpr std::size_t kKeyCaptionLimit = 19;   // bytes of a key's caption
constexpr int kSpareIds[] = {IDC_FREE_SPARE_1, IDC_FREE_SPARE_2, IDC_FREE_SPARE_3};

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

// Keys that write their own caption.
bool IsCaptionKey(int id) {
    return (id >= 1040 && id <= 1049) || (id >= 1051 && id <= 1071) || id == IDC_FREE_PROVINCE_KEY;
}

}  // namespace

CHandFabu::CHandFabu()
    : CDialogEx(IDD_PUBLISH_FREE),
      areaFile(fw::ProgramFilePath("area.ini")),
      configFile(fw::ProgramFilePath("Config.ini")) {}

void CHandFabu::BindControls() {
    const auto ids = ButtonIds();
    for (std::size_t i = 0; i < ids.size(); ++i) Bind(buttons_[i], ids[i]);
    Bind(manageLabel_, IDC_PUB_MANAGE);
}

BOOL CHandFabu::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SendItem(IDC_FREE_PROVINCE, CB_RESETCONTENT);
    publish::AddComboItems(Item(IDC_FREE_PROVINCE),
                           publish::AreaList(areaFile, "全国省城", "SF", kProvinceBuffer));

    // Lists longer than one popup get the spare buttons, in a fixed order.
    const auto spares = tovan::AssignSpareButtons(IsCargo(), [this](const std::string& key) {
        return publish::PhraseList(configFile, key.c_str(), kPhraseBuffer).size();
    });
    for (std::size_t i = 0; i < spares.size(); ++i) {
        SetItemText(kSpareIds[i], spares[i].caption);
        EnableItem(kSpareIds[i], true);
        spareKeys_[i] = spares[i].key;
    }

    SetWindowTextA(hwnd(), IsCargo() ? "发布货源" : "发布车源");
    SetItemText(IDC_FREE_THIRD_AREA, thirdArea);
    manageLabel_.textColor = RGB(255, 0, 0);
    manageLabel_.fontHeight = 16;
    SetChecked(IDC_FREE_SEND_MOBILE, true);
    sendMobile = 1;
    return TRUE;
}

void CHandFabu::Insert(const std::string& text) {
    SendItem(IDC_FREE_TEXT, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void CHandFabu::ShowPhrases(const std::string& key, bool spare) {
    POINT pt;
    GetCursorPos(&pt);
    phraseMenu_.CreatePopupMenu();  // the previous one goes first
    const auto items = publish::PhraseList(configFile, key.c_str(), kPhraseBuffer);
    for (const tovan::PhraseMenuItem& item : tovan::PhraseMenu(items, spare))
        phraseMenu_.AppendMenu(MF_STRING, item.id, item.text.c_str());
    const int chosen =
        phraseMenu_.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, hwnd());
    if (chosen == 0) return;
    char text[kMenuTextBuffer] = {};
    GetMenuStringA(phraseMenu_, static_cast<UINT>(chosen), text, kMenuTextBuffer, MF_BYCOMMAND);
    Insert(text);
}

void CHandFabu::OnProvinceChosen() {
    const std::string province = publish::ComboSelection(Item(IDC_FREE_PROVINCE));
    if (province.empty()) return;
    SendItem(IDC_FREE_CITY, CB_RESETCONTENT);
    SendItem(IDC_FREE_COUNTY, CB_RESETCONTENT);
    auto cities = publish::AreaList(areaFile, province, "CS", kAreaBuffer);
    cities.erase(std::remove(cities.begin(), cities.end(), province), cities.end());
    publish::AddComboItems(Item(IDC_FREE_CITY), cities);
    publish::AddComboItems(Item(IDC_FREE_CITY), publish::AreaList(areaFile, province, "XIAN", kAreaBuffer));
    // The province is written only through its key.
    SetItemText(IDC_FREE_PROVINCE_KEY, province);
}

void CHandFabu::OnCityChosen() {
    const std::string city = publish::ComboSelection(Item(IDC_FREE_CITY));
    if (city.empty()) return;
    SendItem(IDC_FREE_COUNTY, CB_RESETCONTENT);
    publish::AddComboItems(Item(IDC_FREE_COUNTY), publish::AreaList(areaFile, city, "XIAN", kAreaBuffer));
    Insert(city);
}

bool CHandFabu::OnCommand(int id, int code, HWND control) {
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_FREE_PROVINCE: OnProvinceChosen(); return true;
        case IDC_FREE_CITY: OnCityChosen(); return true;
        case IDC_FREE_COUNTY: {
            const std::string county = publish::ComboSelection(Item(IDC_FREE_COUNTY));
            if (!county.empty()) Insert(county);
            return true;
        }
        }
    }
    if (id == IDC_PUB_MANAGE && code == STN_CLICKED) {
        publish::ShowOfferManagementMenu(commandTarget ? commandTarget
                                         : fw::MainWindow() ? fw::MainWindow() : hwnd());
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (IsCaptionKey(id)) {
        // The key just clicked (it has the focus now); the text keeps its caret.
        Insert(publish::TextCut(control ? control : GetFocus(), kKeyCaptionLimit));
        return true;
    }
    switch (id) {
    case IDC_FREE_BACKSPACE: SendItem(IDC_FREE_TEXT, WM_CHAR, VK_BACK, 0); return true;
    case IDC_FREE_CLEAR: SetItemText(IDC_FREE_TEXT, ""); return true;
    case IDC_FREE_COMMON_WORDS: ShowPhrases("Changyongci", false); return true;
    case IDC_FREE_PHRASES: ShowPhrases(IsCargo() ? "Other2" : "Other1", false); return true;
    case IDC_FREE_CAR_TYPES: ShowPhrases("CarType", false); return true;
    case IDC_FREE_GOODS: ShowPhrases("Goods", false); return true;
    case IDC_FREE_FREIGHT: ShowPhrases("Freight", false); return true;
    case IDC_FREE_SPARE_1: ShowPhrases(spareKeys_[0], true); return true;
    case IDC_FREE_SPARE_2: ShowPhrases(spareKeys_[1], true); return true;
    case IDC_FREE_SPARE_3: ShowPhrases(spareKeys_[2], true); return true;
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
    CDialogEx::OnOK();
}
