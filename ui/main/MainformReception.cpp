// The main window's input side: starting and stopping reception, the input tab, the state
// query of the refresh tick, and the input buffer grid.

#include "ui/main/Mainform.h"

#include "ui/main/InputBufferModel.h"
#include "ui/main/StatusLine.h"
#include "ui/main/WorkPanel.h"

#include "reception/channel_control.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTableView>

namespace ui {

void TMainFrm::setupInputPane(WorkPanel& panel) {
    connect(panel.SI, &QTabBar::currentChanged, this, &TMainFrm::SIChange);
    connect(panel.ComboBox1, &QComboBox::activated, this, &TMainFrm::ComboBox1Change);
}

void TMainFrm::connectChannelCommands() {
    const CommandSet& c = *commands_;
    auto on = [this, &c](CommandId id, void (TMainFrm::*handler)()) {
        connect(c[id].action, &QAction::triggered, this, handler);
    };
    on(CommandId::SIaddressPusk, &TMainFrm::SIaddressPuskExecute);
    on(CommandId::SIfilePusk, &TMainFrm::SIfilePuskExecute);
    on(CommandId::SIstopChannel, &TMainFrm::SIstopChannelExecute);
    on(CommandId::SOsinglePusk, &TMainFrm::SOsinglePuskExecute);
    on(CommandId::SOciclePusk, &TMainFrm::SOciclePuskExecute);
    on(CommandId::SOstopChannel, &TMainFrm::SOstopChannelExecute);
    on(CommandId::SOdataClear, &TMainFrm::SOdataClearExecute);
    on(CommandId::SOdataTest, &TMainFrm::SOdataTestExecute);
    on(CommandId::FileOpen1, &TMainFrm::FileOpen1Execute);
    on(CommandId::FileSaveAs1, &TMainFrm::FileSaveAs1Execute);
}

void TMainFrm::setStopReceptionEnabled(bool enabled) {
    (*commands_)[CommandId::SIstopChannel].setEnabled(enabled);
}

void TMainFrm::SIaddressPuskExecute() {
    setStopReceptionEnabled(true);
    reception::startReception(driver_, state_, reception::ReceptionMode::Address);
}

void TMainFrm::SIfilePuskExecute() {
    setStopReceptionEnabled(true);
    reception::startReception(driver_, state_, reception::ReceptionMode::File);
}

void TMainFrm::SIstopChannelExecute() {
    setStopReceptionEnabled(false);
    reception::stopReception(driver_, state_);
}

void TMainFrm::SIChange(int index) {
    if (index < 0)
        return;
    const std::string caption = reception::selectInputChannel(
        state_, static_cast<std::uint16_t>(index), formatLookup_, formatTable_, assignmentTable_);
    workPanel().StaticText3->setText(QString::fromStdString(caption));
    rebuildAllChannelsFormatLookup(); // the current channel's formats were just taken anew
    inputModel_->cellsChanged();
}

void TMainFrm::ComboBox1Change(int index) { scrollToTop(workPanel().DrawGrid2, index); }

void TMainFrm::scrollToTop(QTableView* grid, int row) {
    const QModelIndex target = grid->model()->index(row, 0);
    if (target.isValid())
        grid->scrollTo(target, QAbstractItemView::PositionAtTop);
}

void TMainFrm::queryInputChannelState() {
    const reception::InputChannelState channel = reception::queryInputChannelState(driver_, state_);
    if (channel.statusText)
        XPStatusBar2->setPanelText(0, QString::fromStdString(*channel.statusText));
    setStopReceptionEnabled(channel.active);
}

void TMainFrm::rebuildChannelFormatLookup() {
    reception::rebuildChannelFormatLookup(formatLookup_, state_.SIchannelNo, formatTable_,
                                          assignmentTable_);
    rebuildAllChannelsFormatLookup();
}

void TMainFrm::rebuildAllChannelsFormatLookup() {
    if (tickObservers_.empty()) // nobody decodes the other channels
        return;
    reception::rebuildAllChannelsFormatLookup(*allChannelsLookup_, formatTable_, assignmentTable_);
}

} // namespace ui
