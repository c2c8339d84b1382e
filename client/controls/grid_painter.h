// GDI helpers of the owner-drawn grid: measuring characters and bitmaps for
// the layout, and drawing bitmaps with their transparent background colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "client/model/grid_cell.h"
#include "client/model/grid_layout.h"
#include "client/controls/picture_cache.h"

LOGFONTA ToLogFont(const tovan::GridFont& font);
HFONT CreateGridFont(const tovan::GridFont& font);

bool SameFont(const tovan::GridFont& a, const tovan::GridFont& b);

// Character sizes in one font. Every paint measures the same few hundred
// characters, so the owner keeps them for as long as its font stays the same.
// A flat table over single bytes and GBK pairs: looked up for every character
// of every paint.
class CharSizeCache {
public:
    bool Find(const char* text, std::size_t length, tovan::TextExtent* size) const;
    void Put(const char* text, std::size_t length, tovan::TextExtent size);
    void Clear() { std::vector<std::uint32_t>().swap(sizes_); }

private:
    static std::size_t Index(const char* text, std::size_t length);
    std::vector<std::uint32_t> sizes_;  // cx | cy << 16, 0 while not measured
};

// Measures in the font selected into dc, through the cache.
class GdiCellMeasurer : public tovan::CellMeasurer {
public:
    GdiCellMeasurer(HDC dc, CharSizeCache& sizes) : dc_(dc), sizes_(sizes) {}
    tovan::TextExtent MeasureChar(const char* text, std::size_t length) override;
    bool ImageSize(int imageId, tovan::TextExtent* size) override;

private:
    HDC dc_;
    CharSizeCache& sizes_;
};

// Draws bitmap imageId of the program at (x, y), leaving its pixels of
// kBitmapTransparentColor as they are. False when there is no such bitmap.
// Each bitmap is loaded and masked once per process (see picture_cache.h).
bool DrawTransparentBitmap(HDC dc, int imageId, int x, int y);
