#include "engine/run_parameters.h"

#include <algorithm>
#include <cmath>

#include "engine/echo.h"

namespace sondrel {

namespace {

qint32 clampedSize(double size) {
    return qint32(std::clamp(std::nearbyint(size), 1.0, double(MaxProbeSize)));
}

}  // namespace

std::optional<qint32> IntervalSteps::endRound() {
    std::optional<qint32> changed;
    if (round == repeat && current != 1 && mode == SteppedMode) {
        const double next = current + step;
        const bool reached = step > 0 ? next >= to : next <= to;
        current = reached ? 1 : qint32(std::nearbyint(next));
        changed = current;
    }
    if (++round > repeat)
        round = 1;
    return changed;
}

std::optional<qint32> SizeSteps::nextVisit() {
    if (mode != SteppedMode && mode != ListMode)
        return std::nullopt;
    const qint32 made = visits;
    visits = made + 1;
    if (made == stepLength) {
        index = qint16(index + 1);
        visits = 1;
    }
    if (index >= count || index < 0)
        index = 0;
    if (mode == SteppedMode)
        return clampedSize(from + step * index);
    if (list.isEmpty())
        return std::nullopt;
    return clampedSize(list.value(index, list[0]));
}

}  // namespace sondrel
