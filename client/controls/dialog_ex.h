// The common look of the client's dialogs: a textured background stretched
// over the client area, slightly rounded window corners, and static texts,
// check boxes, radio buttons and group boxes drawn transparently over a
// pattern of the same texture.
#pragma once

#include <windows.h>

#include "fw/dialog.h"
#include "fw/scoped_gdi.h"

class CDialogEx : public fw::Dialog {
public:
    CDialogEx(UINT templateId, HWND parent = nullptr);
    ~CDialogEx() override;

protected:
    // Derived dialogs call this first from their own OnInitDialog.
    BOOL OnInitDialog() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    BOOL OnEraseBkgnd(HDC dc);
    // ctlType is one of the CTLCOLOR_ values.
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType, HBRUSH defaultBrush);

private:
    // The background texture, loaded from the resources once per dialog
    // object rather than at every erase.
    HBITMAP Texture();

    fw::gdi::Bitmap texture_;
    fw::gdi::Brush patternBrush_;
};
