#pragma once

#include "ui/analysis/Labelwatch.h"
#include "ui/analysis/TickWindow.h"

#include "analysis/monotonic_clock.h"
#include "analysis/parameter_series.h"
#include "formats/decimal_format.h"
#include "labels/label_definition.h"

#include <optional>

class QLabel;
class QPushButton;
class QSpinBox;

namespace ui {

class ParameterChartView;
class TMainFrm;

/// @brief The chart of one parameter (input channel, label): its value over the last span as a
/// step line, told every tick while it is shown. The label database's value and name where it
/// defines the label, else the decimal format's. Paused, it stands still and takes
/// nothing; resumed, it goes on from the value the label holds then.
class TFrmParameterChart : public TickWindow {
    Q_OBJECT
public:
    TFrmParameterChart(TMainFrm& main, ParameterKey parameter, analysis::MonotonicClock clock,
                       QWidget* parent = nullptr);

    void afterTickReads(const board::SharedState& state,
                        const reception::ChangedCells& changes) override;

    [[nodiscard]] ParameterKey parameter() const { return parameter_; }
    [[nodiscard]] const analysis::ParameterSeries& series() const { return series_; }

    void btPauseClick(bool paused);
    void seSpanChange(int seconds);

    QPushButton* btPause = nullptr;
    QSpinBox* seSpan = nullptr;
    QLabel* lbLastValue = nullptr;
    ParameterChartView* ChartView = nullptr;

private:
    [[nodiscard]] const formats::DecimalFormat& format() const;
    /// The label database's row for the parameter; its values then come from the database.
    [[nodiscard]] const labels::LabelDefinition* definition() const;
    [[nodiscard]] bool isOfParameter(std::uint32_t word) const;
    [[nodiscard]] std::optional<double> valueOf(std::uint32_t word) const;
    void takeWord(std::uint32_t word, std::int64_t nowMs);
    void redraw(std::int64_t nowMs);

    ParameterKey parameter_;
    analysis::MonotonicClock clock_;
    analysis::ParameterSeries series_;
    std::optional<std::uint32_t> lastWord_;
    bool paused_ = false;
};

} // namespace ui
