// The offer details dialog: one offer's full text in a large font, in a box
// that takes no keys (nothing can be typed or copied), with the publisher in
// the caption. Opened modally on a double-click by the record view, the
// search pane and the my-offers dialog.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/dialog_ex.h"
#include "client/controls/no_copy_edit.h"
#include "fw/scoped_gdi.h"

class CXiangqing : public CDialogEx {
public:
    explicit CXiangqing(HWND parent = nullptr);

    std::string text;  // the offer text; the masking marks 0x02/0x03 are dropped when shown
    std::string from;  // the publisher's user id

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    CNoCopyEdit textBox_;
    fw::gdi::Font font_;  // the text box's, for as long as the box lives
};
