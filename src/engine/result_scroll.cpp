#include "engine/result_scroll.h"

#include <algorithm>
#include <cmath>

namespace sondrel {

void ResultScroll::setup(qint32 lastIndex, qint32 lastShown) {
    if (lastIndex <= PageRows - 1) {
        maxFirst_ = firstShown_ = 0;
        maximum_ = value_ = 0;
        lastValue_ = 0;
        return;
    }
    maxFirst_ = lastIndex - (PageRows - 1);
    firstShown_ = lastShown - (PageRows - 1);
    if (lastIndex <= ScaledMaximum) {
        firstShown_ = std::max(firstShown_, 0);
        maximum_ = maxFirst_;
        value_ = firstShown_;
    } else {
        maximum_ = ScaledMaximum;
        if (firstShown_ == 0 || firstShown_ == 1) {
            value_ = firstShown_;
        } else {
            const double t = double(firstShown_) / maxFirst_ * ScaledMaximum;
            if (t > 0 && t < 2)
                value_ = 2;
            else if (t > ScaledMaximum - 2 && t < ScaledMaximum)
                value_ = ScaledMaximum - 2;
            else
                value_ = int(std::nearbyint(t));
        }
    }
    value_ = std::clamp(value_, 0, maximum_);
    lastValue_ = value_;
}

qint32 ResultScroll::moved(int value, bool dragged) {
    qint64 d = value - lastValue_;
    if (dragged) {
        if (value == maximum_)
            d = maxFirst_ - firstShown_;
        else if (value == 0)
            d = -firstShown_;
        else if (std::abs(d) > PageRows)
            d = d * maxFirst_ / ScaledMaximum;
    }
    const qint32 first = qint32(std::clamp<qint64>(firstShown_ + d, 0, maxFirst_));
    setup(maxFirst_ + PageRows - 1, first + PageRows - 1);
    return firstShown_;
}

}  // namespace sondrel
