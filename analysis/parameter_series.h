#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace analysis {

/// One value of a parameter at a time; a point without a value breaks the line (a pause).
struct SeriesPoint {
    std::int64_t timeMs = 0;
    std::optional<double> value;
};

/// @brief The values of one parameter over the last span, oldest first, in a ring of fixed
/// capacity: memory stays the same however long it runs. When more values come within the
/// span than it holds, the oldest go first.
class ParameterSeries {
public:
    static constexpr std::size_t kCapacity = 8192;
    static constexpr std::int64_t kDefaultSpanMs = 60000;

    explicit ParameterSeries(std::int64_t spanMs = kDefaultSpanMs);

    void setSpanMs(std::int64_t spanMs) { spanMs_ = spanMs; }
    [[nodiscard]] std::int64_t spanMs() const { return spanMs_; }

    void add(std::int64_t timeMs, double value) { push({timeMs, value}); }
    void addBreak(std::int64_t timeMs) { push({timeMs, std::nullopt}); }
    /// Drops what lies before the span ending at `nowMs`, except the last point before it,
    /// whose value still holds at the span's left edge.
    void trim(std::int64_t nowMs);
    void clear() { first_ = count_ = 0; }

    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] const SeriesPoint& at(std::size_t index) const {
        return points_[(first_ + index) % kCapacity];
    }

    struct Range {
        double least = 0.0;
        double greatest = 0.0;
    };
    /// The least and greatest value held, nothing when no point has a value.
    [[nodiscard]] std::optional<Range> valueRange() const;

private:
    void push(const SeriesPoint& point);

    std::vector<SeriesPoint> points_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::int64_t spanMs_;
};

} // namespace analysis
