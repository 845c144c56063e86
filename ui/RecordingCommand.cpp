#include "RecordingCommand.h"

#include "FileFilter.h"
#include "Mainform.h"
#include "Prompts.h"
#include "Text.h"

#include "reception/recording_file.h"
#include "reception/recording_messages.h"

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
    const QString path =
        prompts_.chooseFileToSave(&window_, qtFileFilter(reception::kRecordingFileFilter),
                                  qtext(reception::kRecordingFileInitialDirectory),
                                  qtext(reception::kRecordingFileDefaultExtension));
    if (path.isEmpty())
        return;
    fileName_ = QDir::toNativeSeparators(path);
    reception::CreatedRecordingFile created = reception::createRecordingFile(path.toStdU16String());
    std::error_code error = created.error;
    if (created.file)
        error = recorder_.start(std::move(created.file));
    if (error) {
        prompts_.warn(&window_, qtext(reception::kRecordingWarningCaption),
                      QString::fromStdString(reception::recordingNotStartedWarning(
                          fileName_.toStdString(), error.message())));
        return;
    }
    window_.addTickObserver(this);
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
    const QString text = QString::fromStdString(reception::recordingStoppedWarning(
        fileName_.toStdString(), recorder_.failure()->error.message(),
        recorder_.failure()->rowsKept));
    // Told once the tick is over: a message box opened inside the tick would hold back the
    // timer's next ticks until it closed, and the monitor must go on.
    QTimer::singleShot(0, this, [this, text] {
        prompts_.warn(&window_, qtext(reception::kRecordingWarningCaption), text);
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
