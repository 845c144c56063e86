#pragma once

#include "ui/analysis/Labelwatch.h"

#include "analysis/monotonic_clock.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace ui {

class Prompts;
class TFrmParameterChart;
class TFrmParameterChoice;
class TMainFrm;

/// @brief The label watch and the parameter charts of the "Анализ" menu. They stay open
/// beside the main window; the watch is made once and kept, a chart lives until it is
/// closed. Made after the main window and let go before it, since they are its tick observers.
class AnalysisWindows : public QObject {
    Q_OBJECT
public:
    AnalysisWindows(TMainFrm& main, Prompts& prompts,
                    analysis::MonotonicClock clock = analysis::steadyClock());
    ~AnalysisWindows() override;

    /// "наблюдение за метками": shows the watch, or brings it to the front.
    void mmLabelWatchExecute();
    /// "график параметра": asks for the parameter, proposing the watch's selected row.
    void mmParameterChartExecute();
    /// Opens the chart of a parameter, or brings its open chart to the front.
    TFrmParameterChart& openChart(ParameterKey parameter);

    [[nodiscard]] TFrmLabelWatch& labelWatch();
    [[nodiscard]] TFrmParameterChoice& parameterChoice();

private:
    TMainFrm& main_;
    Prompts& prompts_;
    analysis::MonotonicClock clock_;
    std::unique_ptr<TFrmLabelWatch> labelWatch_;
    std::unique_ptr<TFrmParameterChoice> parameterChoice_;
    std::vector<QPointer<TFrmParameterChart>> charts_; // each deletes itself when closed
    ParameterKey lastChosen_{};
};

} // namespace ui
