// The two offer search dialogs. CSousuo (高级搜索) chooses origins, destinations,
// offer classes and a keyword, and can make the search the watch criteria;
// CGjSousuo (普通搜索) searches from the home city only. Both hand the frame
// the quoted lists it stores and remember the lists in dmr.ini [Search].
// They share every handler and the OK step; only the template and what the
// dialog starts with differ.
#pragma once

#include <windows.h>

#include <string>
#include <vector>
#include "client/model/area_scope.h"
#include "client/controls/dialog_ex.h"
#include "client/controls/list_box_text.h"
#include "client/model/search_commands.h"
#include "client/controls/xp_button.h"

class CSearchDialogBase : public CDialogEx {
public:
    // Set by the caller before every showing.
    std::string homeCity;
    std::string homeProvince;
    std::string thirdArea;
    int areaLevel = 0;  // 0 all areas, 1 home province, 2 home city

    // Valid after OK; kept as they were when the dialog is cancelled.
    std::string fromList;  // '甲','乙'
    std::string toList;    // same form, or empty
    std::string typeList;  // '货', '车' or '货','车'
    std::string keyWords;  // the keyword without "'"

    // area.ini next to the program; tests put their own here.
    std::string areaIniFile;

protected:
    explicit CSearchDialogBase(UINT templateId);

    void BindControls() override;
    // The start common to both: radio captions, the selected origin radio,
    // empty lists, both classes ticked, the province lists.
    BOOL OnInitDialog() override;
    // The origin radio selected at start.
    virtual int StartRadio() const = 0;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    tovan::AreaScope Scope() const;

    // List boxes by id.
    std::vector<std::string> ListTexts(int id) const { return listbox::Texts(Item(id)); }
    std::string SelectedText(int id) const { return listbox::SelectedText(Item(id)); }
    void AddEntry(int id, const std::string& text) const { listbox::Add(Item(id), text); }
    void FillList(int id, const std::vector<std::string>& entries) const {
        listbox::Fill(Item(id), entries);
    }
    void ResetList(int id) const { SendItem(id, LB_RESETCONTENT); }
    // A fixed origin radio chosen: its area is the only origin, the origin
    // lists are disabled.
    void OnFixedOrigin(const std::string& area);

private:
    void OnChosenOrigins();
    void EnableOriginChoice(bool on) const;
    void OnOriginProvince();
    void OnOriginCity();
    void OnDestinationProvince();
    void OnDestinationCity();
    void OnAllOffersOfClass();

    CXPButton okButton_, cancelButton_;
    CXPButton clearFromButton_, clearToButton_;
    CXPButton allToCitiesButton_, allToCountiesButton_;
    CXPButton allFromCitiesButton_, allFromCountiesButton_;
};

// 高级搜索: any origin the account may use, and the watch option.
class CSousuo : public CSearchDialogBase {
public:
    CSousuo();

protected:
    BOOL OnInitDialog() override;
    int StartRadio() const override;
};

// 普通搜索: the home city is the only origin.
class CGjSousuo : public CSearchDialogBase {
public:
    CGjSousuo();

protected:
    BOOL OnInitDialog() override;
    int StartRadio() const override;
};

// What the frame's search command runs: fills the dialog's inputs, shows it
// modally and, after OK, hands back its four outputs.
tovan::SearchDialogRun SearchDialogRunOf(CSearchDialogBase& dialog);
