#pragma once

#include <QRect>

// Window layouts are drawn up in twips (1/1440 inch). Qt's logical pixel is a
// 96 dpi pixel on every screen (high-density screens scale it), so one logical
// pixel is 15 twips.
namespace kz {

inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace kz
