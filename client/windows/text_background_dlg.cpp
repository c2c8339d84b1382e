#include "client/windows/text_background_dlg.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "client/model/display_settings.h"
#include "client/res/resource.h"
#include "client/controls/win_profile_reader.h"
#include "client/controls/win_profile_writer.h"

namespace {

bool ChooseColorDialog(HWND owner, COLORREF& color) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.lpCustColors = custom;
    if (!ChooseColorA(&cc)) return false;
    color = cc.rgbResult;
    return true;
}

// The vertical faces ("@" first) would turn every offer sideways: the face
// list of the font dialog does not offer them.
UINT_PTR CALLBACK UprightFacesOnly(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return 0;
    HWND faces = GetDlgItem(dialog, cmb1);
    for (LRESULT i = SendMessageA(faces, CB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
        char name[LF_FACESIZE * 2] = {};
        if (SendMessageA(faces, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= LRESULT(sizeof name)) continue;
        SendMessageA(faces, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        if (name[0] == '@') SendMessageA(faces, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
    return 0;
}

bool ChooseFontDialog(HWND owner, LOGFONTA& font) {
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK;
    cf.lpfnHook = UprightFacesOnly;
    if (!ChooseFontA(&cf)) return false;
    // Typed into the face box, a vertical name still gets through.
    const std::string face = tovan::UprightFaceName(font.lfFaceName);
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return true;
}

}  // namespace

CWenzi::CWenzi(HWND parent)
    : CDialogEx(IDD_TEXT_BACKGROUND, parent), chooseColor(ChooseColorDialog), chooseFont(ChooseFontDialog) {}

CWenzi::~CWenzi() { ReleaseSampleFont(); }

void CWenzi::BindControls() {
    Bind(textSwatch_, IDC_TEXT_COLOR_SWATCH);
    Bind(backSwatch_, IDC_BACK_COLOR_SWATCH);
    Bind(phoneSwatch_, IDC_PHONE_COLOR_SWATCH);
    Bind(fontButton_, IDC_DISPLAY_FONT);
    Bind(smallerButton_, IDC_DISPLAY_SMALLER);
    Bind(largerButton_, IDC_DISPLAY_LARGER);
    Bind(textColorButton_, IDC_DISPLAY_TEXT_COLOR);
    Bind(backColorButton_, IDC_DISPLAY_BACK_COLOR);
    Bind(phoneColorButton_, IDC_DISPLAY_PHONE_COLOR);
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CWenzi::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SendItem(IDC_DISPLAY_SIZE_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(tovan::kMinFontSize, tovan::kMaxFontSize));

    WinProfileReader profiles;
    const tovan::DisplayChoice stored = tovan::ReadDisplayChoice(profiles);
    SendItem(IDC_DISPLAY_SIZE_SLIDER, TBM_SETPOS, TRUE, stored.fontSize);
    SetChecked(IDC_DISPLAY_BOLD, stored.bold);
    fontFamily_ = stored.fontFamily;
    SetItemText(IDC_DISPLAY_SAMPLE, std::to_string(stored.fontSize) + "号字");
    originalFont_ = reinterpret_cast<HFONT>(SendItem(IDC_DISPLAY_SAMPLE, WM_GETFONT));
    RebuildSampleFont();

    background_ = backSwatch_.color = stored.backColor;
    text_ = textSwatch_.color = stored.fontColor;
    telephone_ = phoneSwatch_.color = stored.phoneColor;

    for (const std::string& text : tovan::LineChoiceTexts())
        SendItem(IDC_DISPLAY_LINES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendItem(IDC_DISPLAY_LINES, CB_SETCURSEL, static_cast<WPARAM>(tovan::LineChoiceIndex(stored.lines)));
    return TRUE;
}

int CWenzi::Position() const { return static_cast<int>(SendItem(IDC_DISPLAY_SIZE_SLIDER, TBM_GETPOS)); }

void CWenzi::ShowSize(const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, std::to_string(Position()).c_str());
    SetItemText(IDC_DISPLAY_SAMPLE, text);
    RebuildSampleFont();
}

void CWenzi::RebuildSampleFont() {
    LOGFONTA lf = {};
    HFONT base = originalFont_ ? originalFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectA(base, sizeof lf, &lf);
    lf.lfHeight = MulDiv(Position(), GetDeviceCaps(fw::gdi::WindowDc(nullptr), LOGPIXELSY), 72);
    lf.lfWidth = 0;
    lf.lfWeight = IsChecked(IDC_DISPLAY_BOLD) ? FW_BOLD : FW_NORMAL;
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::strncpy(lf.lfFaceName, fontFamily_.c_str(), sizeof lf.lfFaceName - 1);
    HFONT font = CreateFontIndirectA(&lf);
    SendItem(IDC_DISPLAY_SAMPLE, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    sampleFont_.Reset(font);  // the sample shows the new font before the old one goes
}

void CWenzi::ReleaseSampleFont() {
    if (!sampleFont_) return;
    if (hwnd() && IsWindow(Item(IDC_DISPLAY_SAMPLE)))
        SendItem(IDC_DISPLAY_SAMPLE, WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
    sampleFont_.Reset();
}

void CWenzi::PickColor(CColorBtn& swatch, COLORREF& color) {
    COLORREF chosen = 0;
    if (!chooseColor || !chooseColor(hwnd(), chosen)) return;
    color = swatch.color = chosen;
    InvalidateRect(swatch.hwnd(), nullptr, TRUE);
}

LRESULT CWenzi::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == Item(IDC_DISPLAY_SIZE_SLIDER)) {
            ShowSize("%s号");
            return 0;
        }
        break;
    case WM_DESTROY:
        ReleaseSampleFont();
        break;
    }
    return CDialogEx::HandleMessage(msg, wp, lp);
}

bool CWenzi::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_DISPLAY_SMALLER:
        if (Position() != tovan::kMinFontSize) {
            SendItem(IDC_DISPLAY_SIZE_SLIDER, TBM_SETPOS, TRUE, Position() - 1);
            ShowSize("%s号");
        }
        return true;
    case IDC_DISPLAY_LARGER:
        if (Position() != tovan::kMaxFontSize) {
            SendItem(IDC_DISPLAY_SIZE_SLIDER, TBM_SETPOS, TRUE, Position() + 1);
            ShowSize("%s号");
        }
        return true;
    case IDC_DISPLAY_BOLD:
        RebuildSampleFont();
        return true;
    case IDC_DISPLAY_FONT: {
        LOGFONTA lf = {};
        GetObjectA(sampleFont_, sizeof lf, &lf);
        if (chooseFont && chooseFont(hwnd(), lf)) {
            // FontFamily is read back into 50 bytes; a face name is at most 31.
            fontFamily_ = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
            RebuildSampleFont();
        }
        return true;
    }
    case IDC_DISPLAY_TEXT_COLOR: PickColor(textSwatch_, text_); return true;
    case IDC_DISPLAY_BACK_COLOR: PickColor(backSwatch_, background_); return true;
    case IDC_DISPLAY_PHONE_COLOR: PickColor(phoneSwatch_, telephone_); return true;
    }
    return false;
}

void CWenzi::OnOK() {
    tovan::DisplayChoice d;
    d.fontSize = Position();
    d.fontColor = text_;
    d.backColor = background_;
    d.phoneColor = telephone_;
    d.bold = IsChecked(IDC_DISPLAY_BOLD);
    d.fontFamily = fontFamily_;
    d.lines = tovan::LinesOfChoice(static_cast<int>(SendItem(IDC_DISPLAY_LINES, CB_GETCURSEL)));
    WinProfileWriter profiles;
    tovan::WriteDisplayChoice(profiles, d);
    choice = d;
    CDialogEx::OnOK();
}
