#pragma once

#include "ui/common/Prompts.h"
#include "ui/main/MainformCommands.h"

#include "board/board_session.h"

#include "board/driver.h"
#include "board/shared_state.h"
#include "formats/assignment.h"
#include "formats/decimal_format.h"
#include "reception/changed_cells.h"
#include "reception/format_lookup.h"
#include "reception/tick_observer.h"
#include "transmission/cell_typing.h"
#include "transmission/transmission_control.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QTableView;
class QTimer;
class QVBoxLayout;

namespace ui {

class AnalysisMenu;
class CellEditDelegate;
class InputBufferModel;
class OutputArrayModel;
class RatePanel;
class StatusLine;
class WorkPanel;

/// @brief The monitor's main window: commands, channel panes, status bars and the refresh
/// timer. It owns the shared state and the format tables for the whole run.
class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    TMainFrm(board::Driver& driver, Prompts& prompts, QWidget* parent = nullptr);
    ~TMainFrm() override;

    /// The dialogs it shows modally on demand, each asked for when it is to be shown.
    struct Dialogs {
        std::function<QDialog&()> deviceChoice;
        std::function<QDialog&()> bitEditor;
        std::function<QDialog&()> formatList;
        std::function<QDialog&()> paramFormat;
        std::function<QDialog&()> timerPeriod;
    };
    void setDialogs(const Dialogs& dialogs) { dialogs_ = dialogs; }

    /// What an output sends from a window of its own, which the design's transmission
    /// commands must not cut into.
    struct OutputActivity {
        QString status;  ///< the output's status line while it runs
        QString refusal; ///< what a transmission command on the output says instead
    };
    /// The stimuli and replays sent on the outputs from the «Имитация» menu's windows.
    struct OutputStimuli {
        std::function<std::optional<OutputActivity>(std::uint16_t outputNo)> activity;
        std::function<void()> stopAll;
    };
    void setOutputStimuli(OutputStimuli stimuli) { outputStimuli_ = std::move(stimuli); }
    /// A stimulus started or stopped: the output's status line follows.
    void outputStimuliChanged();

    [[nodiscard]] board::SharedState& state() { return state_; }
    /// The board's driver, shared with the threads the program sends from.
    [[nodiscard]] board::Driver& driver() { return driver_; }
    [[nodiscard]] formats::DecimalFormatTable& formatTable() { return formatTable_; }
    [[nodiscard]] formats::AssignmentTable& assignmentTable() { return assignmentTable_; }
    [[nodiscard]] QTimer* timer() const { return Timer1; }
    [[nodiscard]] AnalysisMenu& analysisMenu() const { return *analysisMenu_; }
    [[nodiscard]] Prompts& prompts() const { return prompts_; }

    /// Observers are told after every tick's reads; they are not owned and must be removed
    /// before they are destroyed.
    void addTickObserver(reception::TickObserver* observer);
    void removeTickObserver(reception::TickObserver* observer);
    /// The decimal formats of every input channel, taken anew whenever the current channel's
    /// are while any tick observer is added (before the first one every slot is empty).
    [[nodiscard]] const reception::AllChannelsFormatLookup& allChannelsFormatLookup() const {
        return *allChannelsLookup_;
    }

    void FileExit1Execute();
    void ActionDeviceChoiceExecute();
    void DeviceInitializationExecute();
    void DeviceResetExecute();
    void HelpContents1Execute();
    void FormatListExecute();
    void ParamFormatExecute();
    void TimerPeriodExecute();
    void Timer1Timer();

    // Reception.
    void SIaddressPuskExecute();
    void SIfilePuskExecute();
    void SIstopChannelExecute();
    void SIChange(int index);
    void ComboBox1Change(int index);

    // Transmission.
    void SOChange(int index);
    void cbSOArrayDimChange(int index);
    void ComboBox2Change(int index);
    void SOdataClearExecute();
    void SOdataTestExecute();
    void SOsinglePuskExecute();
    void SOciclePuskExecute();
    void SOstopChannelExecute();
    void FileOpen1Execute();
    void FileSaveAs1Execute();
    /// A press on the output grid; the right button on a data row opens the bit editor.
    void DrawGrid1MouseDown(Qt::MouseButton button, const QPoint& viewportPosition);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildClientArea();
    void connectCommands();
    void applyStartEnabling();
    void setChannelButtonsEnabled(bool enabled);
    void showChannelsFor(board::ChannelSide side, std::int32_t reportedCount);
    void rebuildChannelFormatLookup();
    void rebuildAllChannelsFormatLookup();
    WorkPanel& workPanel();
    void setupInputPane(WorkPanel& panel);
    void setupOutputPane(WorkPanel& panel);
    void connectChannelCommands();
    void queryInputChannelState();
    void queryOutputChannelState();
    void setStopReceptionEnabled(bool enabled);
    void applyOutputControls(const transmission::OutputControlsEnabling& enabling);
    void setOutputCellEditing(bool enabled);
    void showOutputArray();
    void scrollToTop(QTableView* grid, int row);
    /// What the current output sends from the «Имитация» menu, if anything.
    [[nodiscard]] std::optional<OutputActivity> outputActivity() const;
    /// True, having said so, when the current output is under stimulus.
    bool refuseUnderStimulus();
    void stopOutputStimuli();

    board::Driver& driver_;
    Prompts& prompts_;
    PromptsBeeper beeper_;
    board::SharedState state_{};
    formats::DecimalFormatTable formatTable_{};
    formats::AssignmentTable assignmentTable_{};
    reception::ChannelFormatLookup formatLookup_{};
    transmission::OutputCellTyping outputTyping_;
    bool outputCellEditing_ = true;

    std::unique_ptr<CommandSet> commands_;
    AnalysisMenu* analysisMenu_ = nullptr; // a child of the window
    std::unique_ptr<InputBufferModel> inputModel_;
    std::unique_ptr<OutputArrayModel> outputModel_;
    QWidget* Panel2 = nullptr;
    RatePanel* Panel9 = nullptr;
    QVBoxLayout* clientLayout_ = nullptr;
    WorkPanel* Panel5 = nullptr; ///< made by workPanel() when a board is first chosen
    StatusLine* XPStatusBar1 = nullptr;
    StatusLine* XPStatusBar2 = nullptr;
    QTimer* Timer1 = nullptr;
    Dialogs dialogs_;
    OutputStimuli outputStimuli_;
    std::vector<reception::TickObserver*> tickObservers_;
    std::unique_ptr<reception::ChangedCells> changedCells_; // made with the first observer
    std::unique_ptr<reception::AllChannelsFormatLookup> allChannelsLookup_;
    CellEditDelegate* outputDelegate_ = nullptr;
};

} // namespace ui
