#pragma once

#include <QRect>

// Window positions and sizes are given in twips: 15 twips per logical pixel (1/1440 inch at 96
// dots per inch). Logical pixels follow the desktop's scaling, so layouts keep their proportions.
namespace Twips {
constexpr int PerPixel = 15;
inline int toPixels(int twips)
{
    return (twips + PerPixel / 2) / PerPixel;
}
inline QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
inline int fromPixels(int pixels)
{
    return pixels * PerPixel;
}
} // namespace Twips
