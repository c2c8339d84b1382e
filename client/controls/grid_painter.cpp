#include "client/controls/grid_painter.h"

#include <cstring>

#include "client/controls/picture_cache.h"

LOGFONTA ToLogFont(const tovan::GridFont& f) {
    LOGFONTA lf = {};
    lf.lfHeight = f.height;
    lf.lfWidth = f.width;
    lf.lfEscapement = f.escapement;
    lf.lfOrientation = f.orientation;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strikeOut;
    lf.lfCharSet = f.charSet;
    lf.lfOutPrecision = f.outPrecision;
    lf.lfClipPrecision = f.clipPrecision;
    lf.lfQuality = f.quality;
    lf.lfPitchAndFamily = f.pitchAndFamily;
    static_assert(sizeof lf.lfFaceName == sizeof f.faceName, "face name sizes");
    std::memcpy(lf.lfFaceName, f.faceName, sizeof lf.lfFaceName);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    return lf;
}

bool SameFont(const tovan::GridFont& a, const tovan::GridFont& b) {
    const LOGFONTA la = ToLogFont(a), lb = ToLogFont(b);
    return std::memcmp(&la, &lb, sizeof la) == 0;
}

HFONT CreateGridFont(const tovan::GridFont& font) {
    const LOGFONTA lf = ToLogFont(font);
    return CreateFontIndirectA(&lf);
}

std::size_t CharSizeCache::Index(const char* text, std::size_t length) {
    const unsigned lead = static_cast<unsigned char>(text[0]);
    if (length != 2 || lead < 0x81) return lead;  // a dangling lead byte keeps its own entry
    return 256 + (lead - 0x81) * 256 + static_cast<unsigned char>(text[1]);
}

bool CharSizeCache::Find(const char* text, std::size_t length, tovan::TextExtent* size) const {
    const std::size_t i = Index(text, length);
    if (i >= sizes_.size() || sizes_[i] == 0) return false;
    *size = {static_cast<int>(sizes_[i] & 0xFFFF), static_cast<int>(sizes_[i] >> 16)};
    return true;
}

void CharSizeCache::Put(const char* text, std::size_t length, tovan::TextExtent size) {
    if (size.cx < 0 || size.cy < 0 || size.cx > 0xFFFF || size.cy > 0xFFFF) return;
    if (sizes_.empty()) sizes_.assign(256 + 126 * 256, 0);
    sizes_[Index(text, length)] = static_cast<std::uint32_t>(size.cx) | static_cast<std::uint32_t>(size.cy) << 16;
}

tovan::TextExtent GdiCellMeasurer::MeasureChar(const char* text, std::size_t length) {
    tovan::TextExtent e;
    if (sizes_.Find(text, length, &e)) return e;
    SIZE s = {};
    GetTextExtentPoint32A(dc_, text, static_cast<int>(length), &s);
    e = {static_cast<int>(s.cx), static_cast<int>(s.cy)};
    sizes_.Put(text, length, e);
    return e;
}

bool GdiCellMeasurer::ImageSize(int imageId, tovan::TextExtent* size) {
    const CachedPicture* picture = FindPicture(imageId);
    if (!picture) return false;
    *size = {picture->width, picture->height};
    return true;
}

bool DrawTransparentBitmap(HDC dc, int imageId, int x, int y) {
    const CachedPicture* picture = FindPicture(imageId);
    if (!picture) return false;
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const int w = picture->width, h = picture->height;
    BitBlt(dc, x, y, w, h, picture->maskDc, 0, 0, SRCAND);     // keep the background where transparent
    BitBlt(dc, x, y, w, h, picture->imageDc, 0, 0, SRCPAINT);  // add the picture elsewhere
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    return true;
}
