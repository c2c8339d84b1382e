#include "client/windows/phrase_lists_dlg.h"

#include "client/windows/logic/phrase_lists.h"
#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/windows/logic/settings_dialogs.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

CDysz::CDysz(HWND parent)
    : CDialogEx(IDD_PHRASE_LISTS, parent), configFile(fw::ProgramFilePath("Config.ini")) {}

void CDysz::BindControls() {
    const auto& categories = tovan::PhraseCategories();
    for (std::size_t i = 0; i < categories.size() && i < 7; ++i)
        Bind(categoryButtons_[i], categories[i].buttonId);
    Bind(saveButton_, IDOK);
    Bind(closeButton_, IDCANCEL);
}

void CDysz::LoadCategory(const std::string& key) {
    WinProfileReader profiles;
    SetItemText(IDC_PHRASE_EDIT, tovan::PhraseListEditText(profiles, configFile, key));
    currentKey_ = key;
}

bool CDysz::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    for (const tovan::PhraseCategory& c : tovan::PhraseCategories()) {
        if (c.buttonId == id) {
            LoadCategory(c.key);
            return true;
        }
    }
    return false;
}

void CDysz::OnOK() {
    if (currentKey_.empty()) return;
    WinProfileWriter profiles;
    profiles.WriteString(configFile, tovan::kSentenceSection, currentKey_,
                         tovan::PhraseListValue(ItemText(IDC_PHRASE_EDIT)));
    ShowMessage("当前项已经成功保存", "短语设置");
    // Show the list as it is stored now.
    LoadCategory(currentKey_);
}
