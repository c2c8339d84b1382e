#include "client/windows/keypad_text_dlg.h"

#include <algorithm>

#include "client/windows/logic/offer_sentence.h"
#include "client/windows/logic/phrase_lists.h"
#include "client/windows/publish_support.h"
#include "client/res/resource.h"

namespace {

constexpr std::size_t kProvinceBuffer = 4000;  // area.ini [全国省城] SF
constexpr std::size_t kAreaBuffer = 2000;      // area.ini CS and XIAN
constexpr std::size_t kPhraseBuffer = 4000;    // Config.ini [Sentence]
constexpr int kMenuTextBuffer = 99;            // a chosen phrase: at most 98 bytes
constexpr std::size_t kKeyCaptionLimit = 19;   // bytes of a key's caption
constexpr int kSpareIds[] = {IDC_FREE_SPARE_1, IDC_FREE_SPARE_2, IDC_FREE_SPARE_3};

// The shared controls are named after the free-text template; the editor's
// must match.
static_assert(IDC_RSEDIT_TEXT == IDC_FREE_TEXT && IDC_RSEDIT_BACKSPACE == IDC_FREE_BACKSPACE &&
                  IDC_RSEDIT_COMMON_WORDS == IDC_FREE_COMMON_WORDS &&
                  IDC_RSEDIT_CAR_TYPES == IDC_FREE_CAR_TYPES && IDC_RSEDIT_PHRASES == IDC_FREE_PHRASES &&
                  IDC_RSEDIT_GOODS == IDC_FREE_GOODS && IDC_RSEDIT_FREIGHT == IDC_FREE_FREIGHT &&
                  IDC_RSEDIT_PROVINCE == IDC_FREE_PROVINCE && IDC_RSEDIT_CITY == IDC_FREE_CITY &&
                  IDC_RSEDIT_COUNTY == IDC_FREE_COUNTY && IDC_RSEDIT_SPARE_1 == IDC_FREE_SPARE_1 &&
                  IDC_RSEDIT_SPARE_2 == IDC_FREE_SPARE_2 && IDC_RSEDIT_SPARE_3 == IDC_FREE_SPARE_3,
              "the free-text and resend editor templates share their keypad ids");

}  // namespace

CKeypadTextDlg::CKeypadTextDlg(UINT templateId, HWND parent, UINT phraseMenuFlags)
    : CDialogEx(templateId, parent), phraseMenuFlags_(phraseMenuFlags) {}

bool CKeypadTextDlg::IsCaptionKey(int id) const {
    return (id >= 1040 && id <= 1049) || (id >= 1051 && id <= 1071);
}

void CKeypadTextDlg::FillProvincesAndSpares() {
    SendItem(IDC_FREE_PROVINCE, CB_RESETCONTENT);
    publish::AddComboItems(Item(IDC_FREE_PROVINCE),
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
}

void CKeypadTextDlg::Insert(const std::string& text) {
    SendItem(IDC_FREE_TEXT, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void CKeypadTextDlg::ShowPhrases(const std::string& key, bool spare) {
    POINT pt;
    GetCursorPos(&pt);
    phraseMenu_.CreatePopupMenu();  // the previous one goes first
    const auto items = publish::PhraseList(configFile, key.c_str(), kPhraseBuffer);
    for (const tovan::PhraseMenuItem& item : tovan::PhraseMenu(items, spare))
        phraseMenu_.AppendMenu(MF_STRING, item.id, item.text.c_str());
    const int chosen = phraseMenu_.TrackPopupMenu(phraseMenuFlags_, pt.x, pt.y, hwnd());
    if (chosen == 0) return;
    char text[kMenuTextBuffer] = {};
    GetMenuStringA(phraseMenu_, static_cast<UINT>(chosen), text, kMenuTextBuffer, MF_BYCOMMAND);
    Insert(text);
}

void CKeypadTextDlg::ListCities(const std::string& province) {
    auto cities = publish::AreaList(areaFile, province, "CS", kAreaBuffer);
    cities.erase(std::remove(cities.begin(), cities.end(), province), cities.end());
    publish::AddComboItems(Item(IDC_FREE_CITY), cities);
    publish::AddComboItems(Item(IDC_FREE_CITY), publish::AreaList(areaFile, province, "XIAN", kAreaBuffer));
}

void CKeypadTextDlg::ListCounties(const std::string& city) {
    publish::AddComboItems(Item(IDC_FREE_COUNTY), publish::AreaList(areaFile, city, "XIAN", kAreaBuffer));
}

bool CKeypadTextDlg::OnKeypadCommand(int id, int code, HWND control) {
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
        return false;
    }
    if (code != BN_CLICKED) return false;
    if (IsCaptionKey(id)) {
        // The key just clicked (it has the focus now); the text keeps its caret.
        Insert(publish::TextCut(control ? control : GetFocus(), kKeyCaptionLimit));
        return true;
    }
    switch (id) {
    case IDC_FREE_BACKSPACE: SendItem(IDC_FREE_TEXT, WM_CHAR, VK_BACK, 0); return true;
    case IDC_FREE_COMMON_WORDS: ShowPhrases("Changyongci", false); return true;
    case IDC_FREE_PHRASES: ShowPhrases(IsCargo() ? "Other2" : "Other1", false); return true;
    case IDC_FREE_CAR_TYPES: ShowPhrases("CarType", false); return true;
    case IDC_FREE_GOODS: ShowPhrases("Goods", false); return true;
    case IDC_FREE_FREIGHT: ShowPhrases("Freight", false); return true;
    case IDC_FREE_SPARE_1: ShowPhrases(spareKeys_[0], true); return true;
    case IDC_FREE_SPARE_2: ShowPhrases(spareKeys_[1], true); return true;
    case IDC_FREE_SPARE_3: ShowPhrases(spareKeys_[2], true); return true;
    }
    return false;
}
