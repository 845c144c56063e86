#include "ui/analysis/AnalysisWindows.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/Parameterchart.h"
#include "ui/analysis/Parameterchoice.h"
#include "ui/main/Mainform.h"

#include <QAction>

#include <algorithm>

namespace ui {
namespace {

void bringToFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

AnalysisWindows::AnalysisWindows(TMainFrm& main, Prompts& prompts, analysis::MonotonicClock clock)
    : main_(main), prompts_(prompts), clock_(std::move(clock)) {
    connect(main.analysisMenu().labelWatch(), &QAction::triggered, this,
            &AnalysisWindows::mmLabelWatchExecute);
    connect(main.analysisMenu().chart(), &QAction::triggered, this,
            &AnalysisWindows::mmParameterChartExecute);
}

AnalysisWindows::~AnalysisWindows() {
    for (const QPointer<TFrmParameterChart>& chart : charts_)
        delete chart.data();
}

TFrmLabelWatch& AnalysisWindows::labelWatch() {
    if (!labelWatch_) {
        labelWatch_ = std::make_unique<TFrmLabelWatch>(main_, clock_, &main_);
        connect(labelWatch_.get(), &TFrmLabelWatch::chartRequested, this,
                [this](ParameterKey parameter) { openChart(parameter); });
    }
    return *labelWatch_;
}

TFrmParameterChoice& AnalysisWindows::parameterChoice() {
    if (!parameterChoice_)
        parameterChoice_ = std::make_unique<TFrmParameterChoice>(prompts_, &main_);
    return *parameterChoice_;
}

void AnalysisWindows::mmLabelWatchExecute() { bringToFront(labelWatch()); }

void AnalysisWindows::mmParameterChartExecute() {
    ParameterKey proposal = lastChosen_;
    if (labelWatch_ && labelWatch_->isVisible())
        proposal = labelWatch_->selectedParameter().value_or(proposal);
    if (const std::optional<ParameterKey> chosen = parameterChoice().ask(proposal)) {
        lastChosen_ = *chosen;
        openChart(*chosen);
    }
}

TFrmParameterChart& AnalysisWindows::openChart(ParameterKey parameter) {
    std::erase_if(charts_,
                  [](const QPointer<TFrmParameterChart>& chart) { return chart.isNull(); });
    const auto open = std::find_if(charts_.begin(), charts_.end(), [&](const auto& chart) {
        return chart->parameter() == parameter;
    });
    TFrmParameterChart* chart = open != charts_.end() ? open->data() : nullptr;
    if (chart == nullptr) {
        chart = new TFrmParameterChart(main_, parameter, clock_, &main_);
        chart->setAttribute(Qt::WA_DeleteOnClose);
        charts_.emplace_back(chart);
    }
    bringToFront(*chart);
    return *chart;
}

} // namespace ui
