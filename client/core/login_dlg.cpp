#include "client/core/login_dlg.h"

#include <shellapi.h>

#include <cstring>

#include "fw/profile.h"
#include "fw/program_path.h"
#include "client/model/logon_fields.h"
#include "client/res/resource.h"
#include "text/gbk.h"

const char kUserIniFile[] = "dmr.ini";

namespace {

constexpr char kUserSection[] = "User";
constexpr std::size_t kUrlBufferSize = 500;

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

// At most size - 1 bytes into a cleared buffer, ending on a whole character:
// the logon line puts a "|" after each field.
void CopyCut(char* dst, std::size_t size, const std::string& src) {
    std::memset(dst, 0, size);
    const std::string_view cut = tovan::GbkCutField(src, size - 1);
    std::memcpy(dst, cut.data(), cut.size());
}

void StartBrowser(HWND owner, const std::string& address) {
    // A missing or failing browser is not reported.
    ShellExecuteA(owner, "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace

CDenglu::CDenglu()
    : CDialogEx(IDD_LOGIN), configFile(fw::ProgramFilePath("Config.ini")), openPage(StartBrowser) {}

bool CDenglu::Ask(const std::string& message, std::string& name, std::string& pass) {
    pendingMessage = message;
    if (DoModal() != IDOK) return false;
    name = accountName;
    pass = password;
    return true;
}

void CDenglu::BindControls() {
    Bind(nameEdit_, IDC_LOGIN_NAME);
    Bind(passwordEdit_, IDC_LOGIN_PASSWORD);
    Bind(rememberBox_, IDC_LOGIN_REMEMBER);
    Bind(messageLine_, IDC_LOGIN_MESSAGE);
    Bind(registerLink_, IDC_LOGIN_REGISTER);
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CDenglu::OnInitDialog() {
    CDialogEx::OnInitDialog();

    // Every showing starts from what was last confirmed.
    const int autoLogon = fw::ReadProfileInt(kUserIniFile, kUserSection, "AutoLogon", 0);
    CopyCut(accountName, sizeof accountName,
            fw::ReadProfileString(kUserIniFile, kUserSection, "Name", "", kBufferSize));
    CopyCut(password, sizeof password,
            fw::ReadProfileString(kUserIniFile, kUserSection, "Pass", "", kBufferSize));

    SetItemText(IDC_LOGIN_NAME, accountName);
    // A password stored while remembering was off (by hand) is not offered.
    if (autoLogon != 0) {
        SetItemText(IDC_LOGIN_PASSWORD, password);
        SetChecked(IDC_LOGIN_REMEMBER, true);
    }
    registerLink_.textColor = RGB(0, 0, 255);

    // The reason of a refused logon shows at this showing only.
    SetItemText(IDC_LOGIN_MESSAGE, pendingMessage);
    pendingMessage.clear();
    return TRUE;  // the focus goes to the first tab stop: the OK button
}

void CDenglu::OnOK() {
    const std::string name = ItemText(IDC_LOGIN_NAME);
    const std::string pass = ItemText(IDC_LOGIN_PASSWORD);
    if (IsBlank(name) || IsBlank(pass)) return;  // nothing to log on with: stay open

    // What cannot be sent is neither saved nor tried: the dialog stays open
    // and says why, on the field to mend.
    const std::string problem = tovan::LogonFieldsProblem(tovan::GbkCutField(name, kBufferSize - 1),
                                                          tovan::GbkCutField(pass, kBufferSize - 1));
    if (!problem.empty()) {
        SetItemText(IDC_LOGIN_MESSAGE, problem);
        const int field = problem == tovan::kNameHoldsSeparator ? IDC_LOGIN_NAME : IDC_LOGIN_PASSWORD;
        SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(field)), TRUE);
        return;
    }

    // Kept as typed, blanks at the ends included.
    CopyCut(accountName, sizeof accountName, name);
    CopyCut(password, sizeof password, pass);

    // A failed write is not reported: the logon goes ahead with what was typed.
    fw::WriteProfileString(kUserIniFile, kUserSection, "Name", accountName);
    const bool remember = IsChecked(IDC_LOGIN_REMEMBER);
    fw::WriteProfileString(kUserIniFile, kUserSection, "Pass", remember ? password : "");
    fw::WriteProfileString(kUserIniFile, kUserSection, "AutoLogon", remember ? "1" : "0");
    CDialogEx::OnOK();
}

bool CDenglu::OnCommand(int id, int code, HWND) {
    if (id != IDC_LOGIN_REGISTER) return false;
    if (code == STN_CLICKED) OnRegister();
    return true;
}

void CDenglu::OnRegister() {
    const std::string site =
        fw::ReadProfileString(configFile, "URL", "Merovan", "", kUrlBufferSize);
    if (site.empty() || !openPage) return;  // no web site configured: nothing to open
    openPage(hwnd(), site + "/Reg_memberadd.asp");  // the dialog stays open
}
