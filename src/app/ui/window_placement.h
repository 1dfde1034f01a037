#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace sondrel {

// Where a window of `frameSize` goes on a screen whose free area is `available`: centred
// horizontally, its top at half the free height minus 100 twips (never above the free area).
QPoint CentredTopLeft(const QRect& available, const QSize& frameSize);

// Moves a top-level window there on its screen; does nothing when it is already there.
void PlaceCentred(QWidget* window);

}  // namespace sondrel
