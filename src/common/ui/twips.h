#pragma once

#include <QRect>
#include <QWidget>

namespace sondrel {

// Window positions and sizes are given in twips; 15 twips make one device-independent pixel.
constexpr int TwipsPerPixel = 15;

constexpr int Twips(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Puts a child at its place in its parent's client area.
inline void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipsRect(left, top, width, height));
}

}  // namespace sondrel
