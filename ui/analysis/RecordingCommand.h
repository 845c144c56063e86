#pragma once

#include "analysis/recorder.h"
#include "reception/tick_observer.h"

#include <QObject>
#include <QString>

class QAction;

namespace ui {

class Prompts;
class TMainFrm;

/// @brief The recording command of the "Анализ" menu: asks for a file, then records the
/// received words that change at every tick until the user stops it, a write fails or the
/// window closes. The menu item is checked and reads "остановить запись" while it runs.
class RecordingCommand final : public QObject, public reception::TickObserver {
    Q_OBJECT
public:
    RecordingCommand(TMainFrm& window, QAction& action, Prompts& prompts);

    /// Where the next recordings split and stop.
    [[nodiscard]] const analysis::RecordingLimits& limits() const { return limits_; }
    void setLimits(const analysis::RecordingLimits& limits) { limits_ = limits; }
    /// Shows "Параметры записи" and keeps what is applied.
    void editLimits();

    [[nodiscard]] bool recording() const { return recorder_.running(); }
    /// The database whose names and values the recording's last two columns take.
    void setDatabase(std::shared_ptr<const labels::LabelDatabase> database) {
        recorder_.setDatabase(std::move(database));
    }

    void afterTickReads(const board::SharedState& state,
                        const reception::ChangedCells& changes) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void actionTriggered();
    void start();
    void stop();
    void showRunning();

    TMainFrm& window_;
    QAction& action_;
    Prompts& prompts_;
    analysis::Recorder recorder_;
    analysis::RecordingLimits limits_;
    analysis::RecordingLimits runningLimits_; // those of the recording that runs
    QString fileName_;                        // as the user sees it, for the messages
};

} // namespace ui
