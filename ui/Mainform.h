#pragma once

#include "MainformCommands.h"

#include "board/board_session.h"

#include "board/driver.h"
#include "board/shared_state.h"
#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <QMainWindow>

#include <memory>

class QTimer;

namespace ui {

class InputBufferModel;
class OutputArrayModel;
class Prompts;
class RatePanel;
class StatusLine;
class TFrmDeviceChoice;
class WorkPanel;

/// @brief The monitor's main window: commands, channel panes, status bars and the refresh
/// timer. It owns the shared state and the format tables for the whole run.
class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    TMainFrm(board::Driver& driver, Prompts& prompts, QWidget* parent = nullptr);
    ~TMainFrm() override;

    /// The dialogs are created after the main window; it shows them on demand.
    void setDeviceChoice(TFrmDeviceChoice* dialog) { deviceChoice_ = dialog; }

    [[nodiscard]] board::SharedState& state() { return state_; }
    [[nodiscard]] formats::DecimalFormatTable& formatTable() { return formatTable_; }
    [[nodiscard]] formats::AssignmentTable& assignmentTable() { return assignmentTable_; }
    [[nodiscard]] const CommandSet& commands() const { return *commands_; }
    [[nodiscard]] QTimer* timer() const { return Timer1; }

    void FileExit1Execute();
    void ActionDeviceChoiceExecute();
    void DeviceInitializationExecute();
    void DeviceResetExecute();
    void HelpContents1Execute();
    void Timer1Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildClientArea();
    void connectCommands();
    void applyStartEnabling();
    void showChannelsFor(board::ChannelSide side, std::int32_t reportedCount);
    void rebuildChannelFormatLookup();

    board::Driver& driver_;
    Prompts& prompts_;
    board::SharedState state_{};
    formats::DecimalFormatTable formatTable_{};
    formats::AssignmentTable assignmentTable_{};

    std::unique_ptr<CommandSet> commands_;
    std::unique_ptr<InputBufferModel> inputModel_;
    std::unique_ptr<OutputArrayModel> outputModel_;
    QWidget* Panel2 = nullptr;
    RatePanel* Panel9 = nullptr;
    WorkPanel* Panel5 = nullptr;
    StatusLine* XPStatusBar1 = nullptr;
    StatusLine* XPStatusBar2 = nullptr;
    QTimer* Timer1 = nullptr;
    TFrmDeviceChoice* deviceChoice_ = nullptr;
};

} // namespace ui
