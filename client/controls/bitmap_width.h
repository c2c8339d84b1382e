// The width of a bitmap resource of the program, for columns that show it.
#pragma once

#include <windows.h>

#include "fw/scoped_gdi.h"
#include "fw/window.h"

// 0 when the resource is missing.
inline int BitmapWidth(int id) {
    const fw::gdi::Bitmap bmp(LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(id)));
    if (!bmp) return 0;
    BITMAP info = {};
    GetObjectA(bmp, sizeof info, &info);
    return info.bmWidth;
}
