#include "client/controls/grid_text_drawer.h"

void GridTextDrawer::UseColor(COLORREF color) {
    if (colorKnown_ && color == color_) return;
    SetTextColor(dc_, color);
    color_ = color;
    colorKnown_ = true;
}

void GridTextDrawer::Add(int x, int y, COLORREF color, const char* text, std::size_t length, const int* advances) {
    if (length == 0) return;
    const bool loneLead = length == 1 && static_cast<unsigned char>(text[0]) >= 0x81;
    if (!text_.empty() && (loneLead || color != pendingColor_ || y != y_ || x != endX_)) Flush();
    if (loneLead) {
        // The platform reads two advances for a lead byte: this one is never joined.
        UseColor(color);
        const INT dx[2] = {advances[0], 0};
        ExtTextOutA(dc_, x, y, 0, nullptr, text, 1, dx);
        return;
    }
    if (text_.empty()) {
        pendingColor_ = color;
        x_ = endX_ = x;
        y_ = y;
    }
    text_.append(text, length);
    for (std::size_t i = 0; i < length; ++i) {
        advances_.push_back(advances[i]);
        endX_ += advances[i];
    }
}

void GridTextDrawer::Flush() {
    if (text_.empty()) return;
    UseColor(pendingColor_);
    ExtTextOutA(dc_, x_, y_, 0, nullptr, text_.data(), static_cast<UINT>(text_.size()), advances_.data());
    text_.clear();
    advances_.clear();
}
