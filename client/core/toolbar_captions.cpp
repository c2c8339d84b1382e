#include "client/core/toolbar_captions.h"

#include "client/res/resource.h"
#include "fw/window.h"

namespace {

fw::gdi::Font CaptionFont(HDC dc) {
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = 500;
    // The default set, not ANSI: with an ANSI-set font GBK captions turn to boxes.
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
    return fw::gdi::Font(CreateFontIndirectA(&lf));
}

}  // namespace

ToolbarCaptions::ToolbarCaptions(HWND toolbar, int width, int height)
    : screen_(toolbar),
      source_(static_cast<HBITMAP>(
          LoadImageA(fw::Instance(), MAKEINTRESOURCEA(IDB_TOOLBAR_CAPTION), IMAGE_BITMAP, 0, 0, 0))),
      width_(width),
      height_(height),
      sourceDc_(screen_),
      dc_(screen_),
      font_(CaptionFont(dc_)) {
    if (source_) {
        BITMAP info = {};
        GetObjectA(source_, sizeof info, &info);
        width_ = info.bmWidth;
        height_ = info.bmHeight;
        sourceSelected_.emplace(sourceDc_, source_);
    }
}

fw::gdi::Bitmap ToolbarCaptions::Picture(const std::string& text, COLORREF colour) {
    fw::gdi::Bitmap bmp(CreateCompatibleBitmap(screen_, width_, height_));
    const fw::gdi::Selection useBitmap(dc_, bmp);
    RECT r = {0, 0, width_, height_};
    if (source_) {
        BitBlt(dc_, 0, 0, width_, height_, sourceDc_, 0, 0, SRCCOPY);
    } else {
        FillRect(dc_, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    const fw::gdi::Selection useFont(dc_, font_);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour);
    DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return bmp;  // deselected when the selections above end
}
