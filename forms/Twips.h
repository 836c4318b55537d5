#pragma once

#include <QRect>

// The windows are laid out in twips (1/1440 inch), as they were designed, and shown at 15 twips per
// pixel whatever the screen's density, because the skin and the dialogs they stand on are drawn in pixels.
namespace Twips {

constexpr int TwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest: 5710 twips (380.7 pixels) give 381.
constexpr int toPixels(int twips)
{
    const int doubled = 2 * twips;
    return doubled >= 0 ? (doubled + TwipsPerPixel) / (2 * TwipsPerPixel)
                        : -((-doubled + TwipsPerPixel) / (2 * TwipsPerPixel));
}

// A box given in twips, in pixels.
constexpr QRect rect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace Twips
