#pragma once

#include <QObject>

#include <memory>

class QAction;
class QMenu;

namespace ui {

class Prompts;
class TFrmReplay;
class TFrmStimulus;
class TMainFrm;

/// @brief The «Имитация» menu and the windows it opens: the stimulus and the replay. The main
/// window asks it whether an output is under stimulus before the design's commands touch that
/// output, and has it stop every stimulus before the board changes. Made after the main window and
/// let go before it.
class StimulusWindows : public QObject {
    Q_OBJECT
public:
    StimulusWindows(TMainFrm& main, Prompts& prompts);
    ~StimulusWindows() override;

    [[nodiscard]] QAction* parameterStimulus() const { return parameterStimulus_; }
    [[nodiscard]] QAction* recordingReplay() const { return recordingReplay_; }
    /// «выдача по параметрам…»: shows the window, or brings it to the front.
    void mmParameterStimulusExecute();
    /// «воспроизведение записи…»: the same for the replay.
    void mmRecordingReplayExecute();
    [[nodiscard]] TFrmStimulus& stimulus();
    [[nodiscard]] TFrmReplay& replay();

private:
    TMainFrm& main_;
    Prompts& prompts_;
    QMenu* menu_ = nullptr;
    QAction* parameterStimulus_ = nullptr;
    QAction* recordingReplay_ = nullptr;
    std::unique_ptr<TFrmStimulus> stimulus_;
    std::unique_ptr<TFrmReplay> replay_;
};

} // namespace ui
