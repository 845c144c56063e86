#include "analysis/parameter_series.h"

#include <algorithm>

namespace analysis {

ParameterSeries::ParameterSeries(std::int64_t spanMs) : points_(kCapacity), spanMs_(spanMs) {}

void ParameterSeries::push(const SeriesPoint& point) {
    points_[(first_ + count_) % kCapacity] = point;
    if (count_ < kCapacity)
        ++count_;
    else
        first_ = (first_ + 1) % kCapacity;
}

void ParameterSeries::trim(std::int64_t nowMs) {
    const std::int64_t spanStart = nowMs - spanMs_;
    while (count_ > 1 && at(1).timeMs <= spanStart) {
        first_ = (first_ + 1) % kCapacity;
        --count_;
    }
}

std::optional<ParameterSeries::Range> ParameterSeries::valueRange() const {
    std::optional<Range> range;
    for (std::size_t index = 0; index < count_; ++index) {
        const std::optional<double>& value = at(index).value;
        if (!value)
            continue;
        if (!range)
            range = Range{*value, *value};
        range->least = std::min(range->least, *value);
        range->greatest = std::max(range->greatest, *value);
    }
    return range;
}

} // namespace analysis
