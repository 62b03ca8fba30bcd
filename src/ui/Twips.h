#pragma once

#include <QRect>
#include <QtMath>

// Window layouts are given in twips; 15 twips make one pixel at 96 dpi.
namespace twips {
constexpr double PerPixel = 15.0;
inline int px(double tw) {
    return qRound(tw / PerPixel);
}
inline QRect rect(double left, double top, double width, double height) {
    return QRect(px(left), px(top), px(width), px(height));
}
inline double fromPx(int pixels) {
    return pixels * PerPixel;
}
} // namespace twips
