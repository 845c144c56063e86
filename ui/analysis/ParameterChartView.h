#pragma once

#include "analysis/parameter_series.h"

#include <QString>
#include <QWidget>

#include <cstdint>

namespace ui {

/// @brief A parameter's values against time as a step line: each value holds until the next
/// one, the last until now. The time axis ends at now and shows seconds before it; the value
/// axis is scaled to what the span holds and titled with the format's units.
class ParameterChartView : public QWidget {
    Q_OBJECT
public:
    explicit ParameterChartView(QWidget* parent = nullptr);

    /// What to draw next: the series up to `nowMs`, or `message` alone when it is not empty.
    void showSeries(const analysis::ParameterSeries& series, std::int64_t nowMs,
                    const QString& units, const QString& message);

    [[nodiscard]] QSize sizeHint() const override { return {640, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const analysis::ParameterSeries* series_ = nullptr;
    std::int64_t nowMs_ = 0;
    QString units_;
    QString message_;
};

} // namespace ui
