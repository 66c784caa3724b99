#pragma once

#include <QRect>

// Window geometry is given in twips (1/1440 inch); the windows use 15 twips to the pixel.
inline constexpr int TwipsPerPixel = 15;

inline constexpr int Pixels(int twips)
{
    return twips / TwipsPerPixel;
}

// A rectangle given as left, top, width and height in twips, in pixels.
inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}
