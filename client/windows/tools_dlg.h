// The user's external tools (Config.ini [Tools]): CTools lists them and
// stores the list on OK; CToolBj adds or edits one entry. The frame builds
// its tools menu again when CTools returns IDOK. Built on the stack, modal.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "client/controls/dialog_ex.h"
#include "client/controls/xp_button.h"

class CToolBj : public CDialogEx {
public:
    explicit CToolBj(HWND parent = nullptr);

    int editing = 0;  // 1: name and path are shown for editing
    std::string name;
    std::string path;

    // Picks a program and gives its path; the open-file dialog unless a test
    // puts its own choice here.
    std::function<bool(HWND owner, std::string& path)> browseFile;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Refuse(const char* text, int focusId);

    CXPButton browseButton_;
    CXPButton okButton_;
    CXPButton cancelButton_;
};

class CTools : public CDialogEx {
public:
    explicit CTools(HWND parent = nullptr);

    // Config.ini next to the program; tests use their own.
    std::string configFile;
    // How an entry is added or edited; CToolBj::DoModal unless a test
    // answers for it (returns the dialog result, fills name and path).
    std::function<INT_PTR(CToolBj& editor)> runEditor;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND List() const;
    int SelectedRow() const;  // -1 when none
    std::string CellText(int row, int column) const;
    void SetRow(int row, const std::string& name, const std::string& path, bool insert);
    void EnableRowButtons(bool on);
    void AddTool();
    void DeleteTool();
    void EditTool();

    CXPButton addButton_, deleteButton_, editButton_, okButton_, cancelButton_;
};
