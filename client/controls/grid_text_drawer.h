// Draws the text pieces of one grid paint with as few GDI calls as give the
// same pixels: the dc's text colour is set only when it changes, and pieces
// of one colour that stand right after each other on a line go out in one
// ExtTextOut with the advances the layout measured.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

class GridTextDrawer {
public:
    // The dc draws with a transparent background and the grid font selected;
    // whatever else draws on it meanwhile leaves its text colour as it was.
    explicit GridTextDrawer(HDC dc) : dc_(dc) {}
    ~GridTextDrawer() { Flush(); }
    GridTextDrawer(const GridTextDrawer&) = delete;
    GridTextDrawer& operator=(const GridTextDrawer&) = delete;

    // length bytes at (x, y); advances has one entry a byte, 0 on a
    // character's second byte. Only a piece of one byte may end in a lead byte.
    void Add(int x, int y, COLORREF color, const char* text, std::size_t length, const int* advances);
    // Draws what is pending: before anything else is drawn over or beside it.
    void Flush();

private:
    void UseColor(COLORREF color);

    HDC dc_;
    bool colorKnown_ = false;
    COLORREF color_ = 0;
    // The pending line piece.
    COLORREF pendingColor_ = 0;
    int x_ = 0, y_ = 0, endX_ = 0;
    std::string text_;
    std::vector<INT> advances_;
};
