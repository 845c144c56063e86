#pragma once

#include "replay/replay_control.h"

#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ui {

class Prompts;
class TMainFrm;

/// @brief «Воспроизведение записи»: a recording of the monitor sent back onto the bus, as
/// recorded or by label, from chosen inputs onto chosen outputs of the board, at a speed,
/// once or round and round, on a thread of its own; paused, stepped a tick at a time and
/// stopped at any time, its progress shown as it goes and what it sent at the end.
class TFrmReplay : public QWidget {
    Q_OBJECT
public:
    TFrmReplay(TMainFrm& main, Prompts& prompts, QWidget* parent = nullptr);
    ~TFrmReplay() override;

    /// Whether the replay sends on output `outputNo` (1-based).
    [[nodiscard]] bool sendsOn(std::uint16_t outputNo) const { return control_.sendsOn(outputNo); }
    void stop();

    /// Opens a recording, as «открыть запись…» does after its dialog; false, having said why,
    /// when it cannot be replayed.
    bool open(const QString& path);

    void btnReplayOpenClick();
    void btnReplayStartClick();
    void btnReplayPauseClick();
    void btnReplayStepClick();
    void btnReplayStopClick();

    QPushButton* btnReplayOpen = nullptr;
    QLabel* lbRecording = nullptr;
    QComboBox* cbReplayMode = nullptr;
    QDoubleSpinBox* seSpeed = nullptr;
    QCheckBox* cbLoop = nullptr;
    QDoubleSpinBox* seStartAt = nullptr;
    QCheckBox* cbSkipGaps = nullptr;
    QDoubleSpinBox* seLongestGap = nullptr;
    QLineEdit* edLabelFilter = nullptr;
    std::array<QCheckBox*, 8> cbInputs{};
    std::array<QComboBox*, 8> cbOutputs{};
    QPushButton* btnReplayStart = nullptr;
    QPushButton* btnReplayPause = nullptr;
    QPushButton* btnReplayStep = nullptr;
    QPushButton* btnReplayStop = nullptr;
    QProgressBar* pbReplay = nullptr;
    QLabel* lbReplayState = nullptr;

Q_SIGNALS:
    /// The replay started or stopped.
    void runningChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillOutputs();
    void renew();
    void showState();
    [[nodiscard]] std::optional<replay::ReplayOptions> options();

    TMainFrm& main_;
    Prompts& prompts_;
    replay::ReplayControl control_;
    QString path_;
    analysis::RecordingSummary summary_;
    QTimer* renewTimer_ = nullptr;
    bool wasRunning_ = false;
};

} // namespace ui
