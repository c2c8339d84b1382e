#include "resend_edit_dlg.h"

#include <algorithm>

#include "offer_sentence.h"
#include "phrase_lists.h"
#include "program_path.h"
#include "publish_support.h"
#include "resend_options_dlg.h"
#include "resource.h"

namespace {

constexpr std::size_t kProvinceBuffer = 4000;  // area.ini [全国省城] SF
constexpr std::size_t kAreaBuffer = 2000;      // area.ini CS and XIAN
constexpr std::size_t kPhraseBuffer = 4000;    // Config.ini [Sentence]
constexpr int kMenuTextBuffer = 99;            // a chosen phrase: at most 98 bytes
constexpr std::size_t kKeyCaptionLimit = 19;   // bytes of a key's caption
constexpr int kSpareIds[] = {IDC_RSEDIT_SPARE_1, IDC_RSEDIT_SPARE_2, IDC_RSEDIT_SPARE_3};

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

// Keys that write their own caption.
bool IsCaptionKey(int id) { return (id >= 1040 && id <= 1049) || (id >= 1051 && id <= 1071); }

}  // namespace

CChongfabj::CChongfabj(HWND parent)
    : CDialogEx(IDD_RESEND_EDIT, parent),
      areaFile(fw::ProgramFilePath("area.ini")),
      configFile(fw::ProgramFilePath("Config.ini")) {}

void CChongfabj::BindControls() {
    const auto ids = ButtonIds();
    for (std::size_t i = 0; i < ids.size(); ++i) Bind(buttons_[i], ids[i]);
}

BOOL CChongfabj::OnInitDialog() {
    CDialogEx::OnInitDialog();
    publish::AddComboItems(Item(IDC_RSEDIT_PROVINCE),
                           publish::AreaList(areaFile, "全国省城", "SF", kProvinceBuffer));
    // Lists longer than one popup get the spare buttons, in a fixed order.
    const auto spares = tovan::AssignSpareButtons(IsCargo(), [this](const std::string& key) {
        return publish::PhraseList(configFile, key.c_str(), kPhraseBuffer).size();
    });
    for (std::size_t i = 0; i < spares.size() && i < spareKeys_.size(); ++i) {
        SetItemText(kSpareIds[i], spares[i].caption);
        EnableItem(kSpareIds[i], true);
        spareKeys_[i] = spares[i].key;
    }
    SetItemText(IDC_RSEDIT_THIRD_AREA, thirdArea);
    SetItemText(IDC_RSEDIT_TEXT, text);
    return TRUE;
}

void CChongfabj::Insert(const std::string& s) {
    SendItem(IDC_RSEDIT_TEXT, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
}

void CChongfabj::ShowPhrases(const std::string& key, bool spare) {
    POINT pt;
    GetCursorPos(&pt);
    phraseMenu_.CreatePopupMenu();  // the previous one goes first
    const auto items = publish::PhraseList(configFile, key.c_str(), kPhraseBuffer);
    for (const tovan::PhraseMenuItem& item : tovan::PhraseMenu(items, spare))
        phraseMenu_.AppendMenu(MF_STRING, item.id, item.text.c_str());
    const int chosen = phraseMenu_.TrackPopupMenu(TPM_RETURNCMD | TPM_LEFTALIGN | TPM_BOTTOMALIGN,
                                                  pt.x, pt.y, hwnd());
    if (chosen == 0) return;
    char chosenText[kMenuTextBuffer] = {};
    GetMenuStringA(phraseMenu_, static_cast<UINT>(chosen), chosenText, kMenuTextBuffer, MF_BYCOMMAND);
    Insert(chosenText);
}

void CChongfabj::OnProvinceChosen() {
    const std::string province = publish::ComboSelection(Item(IDC_RSEDIT_PROVINCE));
    SendItem(IDC_RSEDIT_CITY, CB_RESETCONTENT);
    SendItem(IDC_RSEDIT_COUNTY, CB_RESETCONTENT);
    if (province.empty()) return;
    auto cities = publish::AreaList(areaFile, province, "CS", kAreaBuffer);
    cities.erase(std::remove(cities.begin(), cities.end(), province), cities.end());
    publish::AddComboItems(Item(IDC_RSEDIT_CITY), cities);
    publish::AddComboItems(Item(IDC_RSEDIT_CITY), publish::AreaList(areaFile, province, "XIAN", kAreaBuffer));
}

void CChongfabj::OnCityChosen() {
    const std::string city = publish::ComboSelection(Item(IDC_RSEDIT_CITY));
    SendItem(IDC_RSEDIT_COUNTY, CB_RESETCONTENT);
    if (city.empty()) return;
    publish::AddComboItems(Item(IDC_RSEDIT_COUNTY), publish::AreaList(areaFile, city, "XIAN", kAreaBuffer));
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
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_RSEDIT_PROVINCE: OnProvinceChosen(); return true;
        case IDC_RSEDIT_CITY: OnCityChosen(); return true;
        case IDC_RSEDIT_COUNTY: {
            const std::string county = publish::ComboSelection(Item(IDC_RSEDIT_COUNTY));
            if (!county.empty()) Insert(county);
            return true;
        }
        }
    }
    if (code != BN_CLICKED) return false;
    if (IsCaptionKey(id)) {
        // The key just clicked; the text keeps its caret.
        Insert(publish::TextCut(control ? control : GetFocus(), kKeyCaptionLimit));
        return true;
    }
    switch (id) {
    case IDC_RSEDIT_BACKSPACE: SendItem(IDC_RSEDIT_TEXT, WM_CHAR, VK_BACK, 0); return true;
    case IDC_RSEDIT_COMMON_WORDS: ShowPhrases("Changyongci", false); return true;
    case IDC_RSEDIT_PHRASES: ShowPhrases(IsCargo() ? "Other2" : "Other1", false); return true;
    case IDC_RSEDIT_CAR_TYPES: ShowPhrases("CarType", false); return true;
    case IDC_RSEDIT_GOODS: ShowPhrases("Goods", false); return true;
    case IDC_RSEDIT_FREIGHT: ShowPhrases("Freight", false); return true;
    case IDC_RSEDIT_SPARE_1: ShowPhrases(spareKeys_[0], true); return true;
    case IDC_RSEDIT_SPARE_2: ShowPhrases(spareKeys_[1], true); return true;
    case IDC_RSEDIT_SPARE_3: ShowPhrases(spareKeys_[2], true); return true;
    case IDC_RSEDIT_RESEND_OPTIONS: AskResendOptions(); return true;
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
