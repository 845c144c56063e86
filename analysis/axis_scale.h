#pragma once

namespace analysis {

/// Round tick marks over a range: first, first + step, ... up to `last`.
struct AxisScale {
    double low = 0.0; // the axis' ends, widened to whole steps
    double high = 1.0;
    double step = 1.0;
};

/// @brief An axis over [least, greatest] with about `wantedTicks` steps of 1, 2 or 5 times a
/// power of ten. A range of one value is widened around it so that the line shows.
[[nodiscard]] AxisScale axisScale(double least, double greatest, int wantedTicks);

} // namespace analysis
