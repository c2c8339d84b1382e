// The program's bitmaps as the grids draw them. Every visible class and chat
// cell draws one at every paint; loading the bitmap and building its mask
// each time made a paint with pictures many times slower than one without.
#pragma once

#include <windows.h>

// A bitmap ready to draw transparently: the picture with its transparent
// pixels blacked out, and a monochrome mask that is 1 where they were, each
// selected into a memory dc of its own for the life of the process.
struct CachedPicture {
    HDC imageDc = nullptr;
    HDC maskDc = nullptr;
    int width = 0;
    int height = 0;
};

// Background colour of the program's bitmaps: drawn transparent.
constexpr COLORREF kBitmapTransparentColor = 0xFFF8E8;

// Bitmap resource imageId (low 16 bits) of the program, loaded and masked at
// its first use; null when the program has no such bitmap (also remembered).
// User-interface thread only.
const CachedPicture* FindPicture(int imageId);
