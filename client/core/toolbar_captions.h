// The toolbar's button pictures: each caption drawn in 9-point 宋体 on a
// copy of the caption bitmap (or on the button face colour without it). One
// painter serves a whole bar: the bitmap is loaded, the font made and the
// device contexts taken once, not once per button.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "fw/scoped_gdi.h"

class ToolbarCaptions {
public:
    // width, height: the picture's size when the caption bitmap is missing.
    ToolbarCaptions(HWND toolbar, int width, int height);
    // A new picture with the caption centred on it; the caller owns it.
    fw::gdi::Bitmap Picture(const std::string& text, COLORREF colour);

private:
    fw::gdi::WindowDc screen_;
    fw::gdi::Bitmap source_;
    int width_;
    int height_;
    fw::gdi::MemoryDc sourceDc_;
    std::optional<fw::gdi::Selection> sourceSelected_;
    fw::gdi::MemoryDc dc_;
    fw::gdi::Font font_;
};
