#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace ui {

class RecordingCommand;
class TMainFrm;

/// @brief The "Анализ" menu: tools over what the inputs receive, kept apart from the
/// monitor's own commands. Its commands are always enabled and work while the refresh runs.
class AnalysisMenu : public QObject {
    Q_OBJECT
public:
    /// Puts the menu into the window's menu bar in front of `before`.
    AnalysisMenu(TMainFrm& window, QMenu* before);
    ~AnalysisMenu() override;

    [[nodiscard]] QMenu* menu() const { return menu_; }
    [[nodiscard]] QAction* recording() const { return recording_; }
    [[nodiscard]] QAction* labelWatch() const { return labelWatch_; }
    [[nodiscard]] QAction* chart() const { return chart_; }
    [[nodiscard]] RecordingCommand& recordingCommand() const { return *recordingCommand_; }

private:
    QMenu* menu_ = nullptr;
    QAction* recording_ = nullptr;
    QAction* labelWatch_ = nullptr;
    QAction* chart_ = nullptr;
    RecordingCommand* recordingCommand_ = nullptr; // a child of the window
};

} // namespace ui
