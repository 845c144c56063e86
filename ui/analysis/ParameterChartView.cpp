#include "ui/analysis/ParameterChartView.h"

#include "analysis/axis_scale.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr int kValueTicks = 5;
constexpr int kTimeTicks = 6;
constexpr int kGap = 6;

QString numberText(double value, double step) {
    // As many decimals as the step needs, so that neighbouring marks read apart.
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    return QString::number(value, 'f', std::clamp(decimals, 0, 9));
}

/// Maps times (ms) and values onto the plot rectangle.
struct PlotMapping {
    QRectF plot;
    double startMs;
    double endMs;
    analysis::AxisScale values;

    [[nodiscard]] double x(double timeMs) const {
        return plot.left() + (timeMs - startMs) / (endMs - startMs) * plot.width();
    }
    [[nodiscard]] double y(double value) const {
        return plot.bottom() - (value - values.low) / (values.high - values.low) * plot.height();
    }
};

} // namespace

ParameterChartView::ParameterChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChartView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 180);
}

void ParameterChartView::showSeries(const analysis::ParameterSeries& series, std::int64_t nowMs,
                                    const QString& units, const QString& message) {
    series_ = &series;
    nowMs_ = nowMs;
    units_ = units;
    message_ = message;
    update();
}

void ParameterChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const QFontMetrics metrics(font());
    const auto range = series_ != nullptr ? series_->valueRange() : std::nullopt;
    if (!message_.isEmpty() || !range) {
        painter.drawText(rect(), Qt::AlignCenter,
                         message_.isEmpty() ? QStringLiteral("нет значений за интервал")
                                            : message_);
        return;
    }

    const analysis::AxisScale values =
        analysis::axisScale(range->least, range->greatest, kValueTicks);
    int labelWidth = metrics.horizontalAdvance(units_);
    for (double mark = values.low; mark <= values.high + values.step / 2; mark += values.step)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(numberText(mark, values.step)));
    const QRectF plot(labelWidth + 2 * kGap, metrics.height() + kGap,
                      width() - labelWidth - 3 * kGap -
                          metrics.horizontalAdvance(QStringLiteral("00")),
                      height() - 3 * metrics.height() - 2 * kGap);
    if (plot.width() < 10 || plot.height() < 10)
        return;
    const auto spanMs = static_cast<double>(series_->spanMs());
    const PlotMapping map{plot, static_cast<double>(nowMs_) - spanMs, static_cast<double>(nowMs_),
                          values};

    // Grid and marks of the value axis.
    const QColor gridColour = palette().mid().color();
    for (double mark = values.low; mark <= values.high + values.step / 2; mark += values.step) {
        const double y = map.y(mark);
        painter.setPen(QPen(gridColour, 0, Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, labelWidth + kGap, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, numberText(mark, values.step));
    }
    // Marks of the time axis: seconds before now.
    const analysis::AxisScale times = analysis::axisScale(-spanMs / 1000.0, 0.0, kTimeTicks);
    for (double mark = times.high; mark >= -spanMs / 1000.0 - 1e-9; mark -= times.step) {
        const double x = map.x(static_cast<double>(nowMs_) + mark * 1000.0);
        painter.setPen(QPen(gridColour, 0, Qt::DotLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(x - 40, plot.bottom() + 2, 80, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, numberText(mark, times.step));
    }
    painter.drawRect(plot);
    painter.drawText(QPointF(kGap, metrics.ascent()), units_);
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + metrics.height() + 2, plot.width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("время, с"));

    // The step line: each value from its time to the next point's time, or to now. A
    // one-pixel pen keeps it on the painter's fast line drawing.
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setPen(QPen(QColor(0, 70, 200), 1));
    QPolygonF line;
    line.reserve(2 * static_cast<qsizetype>(series_->size()) + 1);
    const auto drawLine = [&] {
        if (line.size() > 1)
            painter.drawPolyline(line);
        line.clear();
    };
    const std::size_t count = series_->size();
    for (std::size_t index = 0; index < count; ++index) {
        const analysis::SeriesPoint& point = series_->at(index);
        const double x = std::max(map.x(static_cast<double>(point.timeMs)), plot.left());
        if (!line.isEmpty())
            line.append(QPointF(x, line.back().y()));
        if (!point.value) {
            drawLine();
            continue;
        }
        line.append(QPointF(x, map.y(*point.value)));
    }
    if (!line.isEmpty())
        line.append(QPointF(plot.right(), line.back().y()));
    drawLine();
}

} // namespace ui
