// The main toolbar: a common-controls toolbar whose messages, mouse moves
// included, go straight to the control's own procedure. Buttons carry no
// text: each shows a picture of its own (the frame draws the caption on it).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "fw/window.h"

class CToolBarEx : public fw::Window {
public:
    ~CToolBarEx() override;

    // A flat, wrapable toolbar at the top of parent with tooltips, whose
    // buttons and pictures are width x height.
    bool CreateBar(HWND parent, UINT id, int width, int height);

    // Adds a picture to the bar's image list; its index, or -1.
    int AddImage(HBITMAP bitmap);
    // Puts a new picture in place of the one at image; false when it failed.
    bool ReplaceImage(int image, HBITMAP bitmap);
    // Empties the image list (the bar is then rebuilt whole).
    void RemoveAllImages();
    int ImageCount() const;
    // Image of the button at index, or -1.
    int ImageAt(int index) const;
    bool InsertButton(int index, int image, int commandId);
    bool InsertSeparator(int index);
    bool DeleteButton(int index);
    int ButtonCount() const;
    // Index of the button with this command, or -1.
    int CommandToIndex(int commandId) const;
    // Command of the button at index (0 for a separator), or -1.
    int CommandAt(int index) const;
    bool IsSeparatorAt(int index) const;
    // The bar's height once it has laid itself out for the parent's width.
    int AutoSizedHeight();

private:
    HIMAGELIST images_ = nullptr;
    int width_ = 0, height_ = 0;
};
