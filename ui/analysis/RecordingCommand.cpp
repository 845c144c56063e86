#include "ui/analysis/RecordingCommand.h"

#include "ui/analysis/RecordingLimitsDialog.h"
#include "ui/common/FileFilter.h"
#include "ui/common/Prompts.h"
#include "ui/common/Text.h"
#include "ui/main/Mainform.h"

#include "analysis/recording_file.h"
#include "analysis/recording_messages.h"
#include "util/system_error_text.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QTimer>

namespace ui {
namespace {

const char* const kStartText = "запись принятых слов…";
const char* const kStopText = "остановить запись";

} // namespace

RecordingCommand::RecordingCommand(TMainFrm& window, QAction& action, Prompts& prompts)
    : QObject(&window), window_(window), action_(action), prompts_(prompts),
      recorder_(window.allChannelsFormatLookup()) {
    action_.setCheckable(true);
    showRunning();
    connect(&action_, &QAction::triggered, this, &RecordingCommand::actionTriggered);
    window_.installEventFilter(this);
}

void RecordingCommand::actionTriggered() {
    if (recorder_.running())
        stop();
    else
        start();
    showRunning();
}

void RecordingCommand::start() {
    const QString path = prompts_.chooseFileToSave(&window_,
                                                   qtFileFilter(analysis::kRecordingFileFilter),
                                                   qtext(analysis::kRecordingFileInitialDirectory),
                                                   qtext(analysis::kRecordingFileDefaultExtension));
    if (path.isEmpty())
        return;
    fileName_ = QDir::toNativeSeparators(path);
    runningLimits_ = limits_;
    if (const std::error_code error =
            recorder_.start(std::filesystem::path(path.toStdU16String()), runningLimits_)) {
        prompts_.warn(&window_, qtext(analysis::kRecordingWarningCaption),
                      QString::fromStdString(analysis::recordingNotStartedWarning(
                          fileName_.toStdString(), util::systemErrorText(error))));
        return;
    }
    window_.addTickObserver(this);
}

void RecordingCommand::editLimits() {
    RecordingLimitsDialog dialog(limits_, &window_);
    if (dialog.exec() == QDialog::Accepted)
        limits_ = dialog.limits();
}

void RecordingCommand::stop() {
    window_.removeTickObserver(this);
    recorder_.stop();
}

void RecordingCommand::showRunning() {
    const bool running = recorder_.running();
    action_.setChecked(running);
    action_.setText(QString::fromUtf8(running ? kStopText : kStartText));
}

void RecordingCommand::afterTickReads(const board::SharedState& state,
                                      const reception::ChangedCells& changes) {
    recorder_.afterTickReads(state, changes);
    if (recorder_.running() || !recorder_.failure())
        return;
    window_.removeTickObserver(this);
    showRunning();
    const QString text = QString::fromStdString(analysis::recordingEndedWarning(
        fileName_.toStdString(), *recorder_.failure(), runningLimits_));
    // Told once the tick is over: a message box opened inside the tick would hold back the
    // timer's next ticks until it closed, and the monitor must go on.
    QTimer::singleShot(0, this, [this, text] {
        prompts_.warn(&window_, qtext(analysis::kRecordingWarningCaption), text);
    });
}

// Closing the monitor ends the recording and closes its file.
bool RecordingCommand::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close && recorder_.running()) {
        stop();
        showRunning();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ui
