// The watch settings dialog (关注信息设置): a list of watched cities and
// counties chosen from area.ini and the offer classes of interest, kept in
// guanzhu.ini next to the program. A plain dialog, without the common look.
#pragma once

#include <windows.h>

#include <string>

#include "fw/dialog.h"

class CGuanzhu : public fw::Dialog {
public:
    CGuanzhu();

    // Next to the program; tests put their own here.
    std::string areaIniFile;
    std::string settingsFile;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

private:
    // Adds to the watched list unless an entry begins with this name.
    void Watch(const std::string& name) const;
};
