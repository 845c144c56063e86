#include "ui/stimulus/StimulusWindows.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/main/Mainform.h"
#include "ui/stimulus/Stimulus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ui {

StimulusWindows::StimulusWindows(TMainFrm& main, Prompts& prompts)
    : main_(main), prompts_(prompts) {
    menu_ = new QMenu(QStringLiteral("Имитация"), &main);
    menu_->setObjectName(QStringLiteral("mmStimulus"));
    menu_->menuAction()->setObjectName(QStringLiteral("mmStimulusAction"));
    // After «Анализ»: in front of the menu that follows it.
    const QList<QAction*> menus = main.menuBar()->actions();
    const qsizetype analysis = menus.indexOf(main.analysisMenu().menu()->menuAction());
    main.menuBar()->insertMenu(analysis + 1 < menus.size() ? menus[analysis + 1] : nullptr, menu_);
    parameterStimulus_ = menu_->addAction(QStringLiteral("выдача по параметрам…"));
    parameterStimulus_->setObjectName(QStringLiteral("mmParameterStimulus"));
    connect(parameterStimulus_, &QAction::triggered, this,
            &StimulusWindows::mmParameterStimulusExecute);
    main.setOutputStimuli(
        {.running =
             [this](std::uint16_t outputNo) { return stimulus_ && stimulus_->running(outputNo); },
         .stopAll =
             [this] {
                 if (stimulus_)
                     stimulus_->stopAll();
             }});
}

StimulusWindows::~StimulusWindows() {
    main_.setOutputStimuli({});
    stimulus_.reset(); // stops what it sends
}

TFrmStimulus& StimulusWindows::stimulus() {
    if (!stimulus_) {
        stimulus_ = std::make_unique<TFrmStimulus>(main_, prompts_, &main_);
        connect(stimulus_.get(), &TFrmStimulus::runningChanged, &main_,
                &TMainFrm::outputStimuliChanged);
    }
    return *stimulus_;
}

void StimulusWindows::mmParameterStimulusExecute() {
    TFrmStimulus& window = stimulus();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace ui
