// What the free-text dialog and the resend entry editor share: one text
// written at its caret by keys of digits, signs and common words, by popups
// of the stock phrases in Config.ini [Sentence] (spare buttons for the lists
// longer than one popup) and by the area combos from area.ini. Both templates
// give these controls the same ids.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "client/controls/dialog_ex.h"
#include "client/controls/menu_ex.h"

class CKeypadTextDlg : public CDialogEx {
public:
    // area.ini and Config.ini next to the program; tests use their own.
    std::string areaFile, configFile;

protected:
    // phraseMenuFlags: how each dialog tracks its phrase popup.
    CKeypadTextDlg(UINT templateId, HWND parent, UINT phraseMenuFlags);

    virtual bool IsCargo() const = 0;
    // Keys that write their own caption.
    virtual bool IsCaptionKey(int id) const;
    virtual void OnProvinceChosen() = 0;
    virtual void OnCityChosen() = 0;

    // Fills the province combo and labels the spare phrase buttons.
    void FillProvincesAndSpares();
    // Replaces the text's selection (at its caret when none).
    void Insert(const std::string& text);
    void ShowPhrases(const std::string& key, bool spare);
    // Adds the province's cities (without the province itself) and counties.
    void ListCities(const std::string& province);
    void ListCounties(const std::string& city);

    // The commands both dialogs answer alike: the area combos, the keys, the
    // backspace and the phrase buttons. False when the command is not one.
    bool OnKeypadCommand(int id, int code, HWND control);

private:
    UINT phraseMenuFlags_;
    CMenuEx phraseMenu_;
    std::array<std::string, 3> spareKeys_;
};
