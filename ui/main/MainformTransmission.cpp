// The main window's output side: the output array grid and its editing, the transmission
// commands, the state query of the refresh tick, the bit editor and output parameter files.

#include "ui/main/Mainform.h"

#include "ui/common/FileFilter.h"
#include "ui/common/Text.h"
#include "ui/grid/CellEditDelegate.h"
#include "ui/main/OutputArrayModel.h"
#include "ui/main/StatusLine.h"
#include "ui/main/WorkPanel.h"

#include "transmission/bit_editor.h"
#include "transmission/output_array.h"
#include "transmission/output_file.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <QTableView>

namespace ui {
namespace {

/// Reports presses of any mouse button on a grid's cells.
class MousePressWatcher : public QObject {
public:
    MousePressWatcher(QWidget* viewport, std::function<void(Qt::MouseButton, QPoint)> pressed)
        : QObject(viewport), pressed_(std::move(pressed)) {
        viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            pressed_(mouse->button(), mouse->position().toPoint());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(Qt::MouseButton, QPoint)> pressed_;
};

} // namespace

void TMainFrm::setupOutputPane(WorkPanel& panel) {
    connect(panel.SO, &QTabBar::currentChanged, this, &TMainFrm::SOChange);
    connect(panel.cbSOArrayDim, &QComboBox::activated, this, &TMainFrm::cbSOArrayDimChange);
    connect(panel.ComboBox2, &QComboBox::activated, this, &TMainFrm::ComboBox2Change);

    QTableView* grid = panel.DrawGrid1;
    auto recordKey = [this](char32_t key) { outputTyping_.recordKey(key); };
    outputDelegate_ = new CellEditDelegate(
        {.editable = [this](const QModelIndex&) { return outputCellEditing_; },
         .keyPressed = recordKey,
         .textChanged =
             [this](const QModelIndex& index, const QString& text) {
                 const QByteArray utf8 = text.toUtf8();
                 if (outputTyping_.applyCellText(state_, index.column(), index.row() + 1,
                                                 {utf8.constData(), size_t(utf8.size())}, beeper_))
                     outputModel_->arrayChanged();
             },
         .textAgainOnClose = true},
        grid);
    grid->setItemDelegate(outputDelegate_);
    new KeyWatcher(grid, recordKey); // DrawGrid1KeyPress: keys typed while the grid has focus
    new MousePressWatcher(grid->viewport(), [this](Qt::MouseButton button, QPoint position) {
        DrawGrid1MouseDown(button, position);
    });
    setOutputCellEditing(outputCellEditing_);
}

void TMainFrm::setOutputCellEditing(bool enabled) {
    outputCellEditing_ = enabled;
    workPanel().DrawGrid1->setEditTriggers(enabled ? QAbstractItemView::AnyKeyPressed |
                                                         QAbstractItemView::DoubleClicked |
                                                         QAbstractItemView::EditKeyPressed
                                                   : QAbstractItemView::NoEditTriggers);
}

void TMainFrm::showOutputArray() {
    outputModel_->arrayChanged();
    QComboBox* sizeList = workPanel().cbSOArrayDim;
    const QSignalBlocker quiet(sizeList);
    sizeList->setCurrentIndex(transmission::arraySizeListItem(state_));
}

void TMainFrm::SOChange(int index) {
    if (!transmission::selectOutputChannel(state_, index))
        return;
    workPanel().StaticText4->setText(
        QString::fromStdString(transmission::outputArrayTitle(state_)));
    showOutputArray();
}

void TMainFrm::cbSOArrayDimChange(int index) {
    if (transmission::setArraySizeFromListItem(state_, index))
        outputModel_->arrayChanged();
}

void TMainFrm::ComboBox2Change(int index) { scrollToTop(workPanel().DrawGrid1, index); }

void TMainFrm::SOdataClearExecute() {
    transmission::clearOutputArray(state_);
    outputModel_->arrayChanged();
}

void TMainFrm::SOdataTestExecute() {
    transmission::fillTestPattern(state_);
    outputModel_->arrayChanged();
}

void TMainFrm::applyOutputControls(const transmission::OutputControlsEnabling& enabling) {
    const CommandSet& c = *commands_;
    c[CommandId::SOstopChannel].setEnabled(enabling.stopEnabled);
    for (CommandId id : {CommandId::SOdataClear, CommandId::SOdataTest, CommandId::FileOpen1,
                         CommandId::FileSaveAs1})
        c[id].setButtonEnabled(enabling.arrayCommandsEnabled);
    c.setMenuEnabled(MenuId::OutputData, enabling.arrayCommandsEnabled);
    if (enabling.sizeListEnabled)
        workPanel().cbSOArrayDim->setEnabled(*enabling.sizeListEnabled);
    if (enabling.cellEditing)
        setOutputCellEditing(*enabling.cellEditing);
}

std::optional<TMainFrm::OutputActivity> TMainFrm::outputActivity() const {
    if (!outputStimuli_.activity)
        return std::nullopt;
    return outputStimuli_.activity(state_.SOchannelNo);
}

bool TMainFrm::refuseUnderStimulus() {
    const std::optional<OutputActivity> activity = outputActivity();
    if (!activity)
        return false;
    prompts_.warn(this, windowTitle(), activity->refusal);
    return true;
}

void TMainFrm::stopOutputStimuli() {
    if (outputStimuli_.stopAll)
        outputStimuli_.stopAll();
}

void TMainFrm::outputStimuliChanged() {
    if (state_.DeviceChosen && Panel5 != nullptr)
        queryOutputChannelState();
}

void TMainFrm::SOsinglePuskExecute() {
    if (refuseUnderStimulus())
        return;
    applyOutputControls(transmission::startSingleTransmission(driver_, state_));
}

void TMainFrm::SOciclePuskExecute() {
    if (refuseUnderStimulus())
        return;
    applyOutputControls(transmission::startCyclicTransmission(driver_, state_));
}

void TMainFrm::SOstopChannelExecute() {
    if (refuseUnderStimulus())
        return;
    applyOutputControls(transmission::stopTransmission(driver_, state_));
}

void TMainFrm::queryOutputChannelState() {
    const transmission::OutputChannelState channel =
        transmission::queryOutputChannelState(driver_, state_);
    const std::optional<OutputActivity> activity = outputActivity();
    XPStatusBar2->setPanelText(1, activity ? activity->status
                                           : QString::fromStdString(channel.statusText));
    applyOutputControls(transmission::outputControlsFor(channel));
}

void TMainFrm::DrawGrid1MouseDown(Qt::MouseButton button, const QPoint& viewportPosition) {
    if (button != Qt::RightButton)
        return;
    const QModelIndex cell = workPanel().DrawGrid1->indexAt(viewportPosition);
    if (!cell.isValid() || !transmission::selectWordForBitEditor(state_, cell.row() + 1))
        return;
    if (dialogs_.bitEditor)
        dialogs_.bitEditor().exec();
    outputModel_->arrayChanged();
    if (outputActivity())
        return; // the word waits in the array; the stimulus keeps the bus
    transmission::sendWordAfterBitEditor(driver_, state_);
}

void TMainFrm::FileOpen1Execute() {
    const QString path =
        prompts_.chooseFileToOpen(this, qtFileFilter(transmission::kOutputFileOpenFilter),
                                  qtext(transmission::kOutputFileInitialDirectory));
    if (path.isEmpty())
        return;
    const transmission::OutputFileResult result =
        transmission::restoreOutputArray(state_, path.toStdU16String());
    // A file that cannot be opened leaves the array as it was, without a word; the tool says why.
    if (const std::string warning = transmission::outputFileWarning(result);
        !warning.empty() && result.status != transmission::OutputFileStatus::NotOpened)
        prompts_.warn(this, windowTitle(), QString::fromStdString(warning));
    showOutputArray();
}

void TMainFrm::FileSaveAs1Execute() {
    const QString path =
        prompts_.chooseFileToSave(this, qtFileFilter(transmission::kOutputFileSaveFilter),
                                  qtext(transmission::kOutputFileInitialDirectory),
                                  qtext(transmission::kOutputFileDefaultExtension));
    if (path.isEmpty())
        return;
    const transmission::OutputFileResult result =
        transmission::saveOutputArray(state_, path.toStdU16String());
    if (const std::string warning = transmission::outputFileWarning(result); !warning.empty())
        prompts_.warn(this, windowTitle(), QString::fromStdString(warning));
}

} // namespace ui
