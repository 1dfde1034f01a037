#include "app/ui/window_placement.h"

#include <QScreen>
#include <QWidget>

#include "common/ui/twips.h"

namespace sondrel {

QPoint CentredTopLeft(const QRect& available, const QSize& frameSize) {
    const int left = available.left() + (available.width() - frameSize.width()) / 2;
    const int top = available.top() + (available.height() - frameSize.height()) / 2 - Twips(100);
    return QPoint(left, qMax(top, available.top()));
}

void PlaceCentred(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr)
        return;
    const QPoint wanted =
        CentredTopLeft(screen->availableGeometry(), window->frameGeometry().size());
    if (window->frameGeometry().topLeft() != wanted)
        window->move(wanted);
}

}  // namespace sondrel
