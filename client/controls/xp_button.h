// Owner-drawn push button of the client's dialogs: a vertical gradient face in
// a round-cornered outline, an orange frame while the mouse rests on it and a
// blue frame with a focus rectangle while it has the keyboard focus. Every
// press clicks, the second of a quick pair too (a plain push button's way).
// Bind it to a push button of a dialog template (fw::Dialog::Bind).
#pragma once

#include <windows.h>

#include "fw/scoped_gdi.h"
#include "fw/window.h"

class CXPButton : public fw::Window {
public:
    CXPButton();
    ~CXPButton() override;

    // Paints the button for an owner-draw request (reflected by the dialog).
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    void PreSubclassWindow() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // The window is gone, and with it the system's tracking: a dialog shown
    // again binds this object to a new button that the mouse has not entered.
    void OnFinalDestroy() override;

    virtual void DrawFace(HDC dc, const RECT& face);
    virtual void DrawFrame(HDC dc, const RECT& face);

private:
    fw::gdi::Pen outlinePen_;
    fw::gdi::Pen hoverLeftPen_, hoverRightPen_, hoverTopPen_, hoverBottomPen_;
    fw::gdi::Pen focusLeftPen_, focusRightPen_, focusTopPen_, focusBottomPen_;
    fw::gdi::Brush hoverFaceBrush_, normalFaceBrush_;
    int hover_ = 0;     // the mouse rests on the button
    int tracking_ = 0;  // a leave/hover request is pending with the system
    int focus_ = 0;     // the last drawing had the keyboard focus
    int emphasis_ = 0;  // the last drawing was focused, pressed or default
};
