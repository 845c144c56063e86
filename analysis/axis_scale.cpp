#include "analysis/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace analysis {

AxisScale axisScale(double least, double greatest, int wantedTicks) {
    if (!(greatest > least)) { // also when either is NaN
        const double around = std::isfinite(least) ? least : 0.0;
        const double half = std::max(std::abs(around) * 0.1, 1.0);
        least = around - half;
        greatest = around + half;
    }
    const double rough = (greatest - least) / std::max(wantedTicks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10.0;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (power * factor >= rough) {
            step = power * factor;
            break;
        }
    }
    return {std::floor(least / step) * step, std::ceil(greatest / step) * step, step};
}

} // namespace analysis
