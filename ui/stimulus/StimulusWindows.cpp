#include "ui/stimulus/StimulusWindows.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/main/Mainform.h"
#include "ui/stimulus/Replay.h"
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
    recordingReplay_ = menu_->addAction(QStringLiteral("воспроизведение записи…"));
    recordingReplay_->setObjectName(QStringLiteral("mmRecordingReplay"));
    connect(recordingReplay_, &QAction::triggered, this,
            &StimulusWindows::mmRecordingReplayExecute);
    main.setOutputStimuli(
        {.activity = [this](std::uint16_t outputNo) -> std::optional<TMainFrm::OutputActivity> {
             if (stimulus_ && stimulus_->running(outputNo))
                 return TMainFrm::OutputActivity{
                     QStringLiteral("выдача по параметрам (имитация)"),
                     QStringLiteral("На выходном канале № %1 идёт выдача по параметрам: "
                                    "сначала остановите её в окне «Имитация → выдача по "
                                    "параметрам…».")
                         .arg(outputNo)};
             if (replay_ && replay_->sendsOn(outputNo))
                 return TMainFrm::OutputActivity{
                     QStringLiteral("воспроизведение записи (имитация)"),
                     QStringLiteral("На выходном канале № %1 идёт воспроизведение записи: "
                                    "сначала остановите его в окне «Имитация → воспроизведение "
                                    "записи…».")
                         .arg(outputNo)};
             return std::nullopt;
         },
         .stopAll =
             [this] {
                 if (stimulus_)
                     stimulus_->stopAll();
                 if (replay_)
                     replay_->stop();
             }});
}

StimulusWindows::~StimulusWindows() {
    main_.setOutputStimuli({});
    stimulus_.reset(); // stops what it sends
    replay_.reset();
}

TFrmStimulus& StimulusWindows::stimulus() {
    if (!stimulus_) {
        stimulus_ = std::make_unique<TFrmStimulus>(main_, prompts_, &main_);
        connect(stimulus_.get(), &TFrmStimulus::runningChanged, &main_,
                &TMainFrm::outputStimuliChanged);
    }
    return *stimulus_;
}

TFrmReplay& StimulusWindows::replay() {
    if (!replay_) {
        replay_ = std::make_unique<TFrmReplay>(main_, prompts_, &main_);
        connect(replay_.get(), &TFrmReplay::runningChanged, &main_,
                &TMainFrm::outputStimuliChanged);
    }
    return *replay_;
}

void StimulusWindows::mmRecordingReplayExecute() {
    TFrmReplay& window = replay();
    window.show();
    window.raise();
    window.activateWindow();
}

void StimulusWindows::mmParameterStimulusExecute() {
    TFrmStimulus& window = stimulus();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace ui
