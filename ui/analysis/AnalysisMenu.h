#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace ui {

class LabelDatabaseCommand;
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
    [[nodiscard]] QAction* recordingLimits() const { return recordingLimits_; }
    [[nodiscard]] QAction* labelWatch() const { return labelWatch_; }
    [[nodiscard]] QAction* chart() const { return chart_; }
    [[nodiscard]] QAction* labelDatabase() const { return labelDatabase_; }
    [[nodiscard]] QAction* unloadLabelDatabase() const { return unloadLabelDatabase_; }
    [[nodiscard]] RecordingCommand& recordingCommand() const { return *recordingCommand_; }
    [[nodiscard]] LabelDatabaseCommand& labelDatabaseCommand() const {
        return *labelDatabaseCommand_;
    }

private:
    QMenu* menu_ = nullptr;
    QAction* recording_ = nullptr;
    QAction* recordingLimits_ = nullptr;
    QAction* labelWatch_ = nullptr;
    QAction* chart_ = nullptr;
    QAction* labelDatabase_ = nullptr;
    QAction* unloadLabelDatabase_ = nullptr;
    RecordingCommand* recordingCommand_ = nullptr;         // a child of the window
    LabelDatabaseCommand* labelDatabaseCommand_ = nullptr; // a child of the window
};

} // namespace ui
