#include "ui/main/Mainform.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/common/Prompts.h"
#include "ui/grid/CellEditDelegate.h"
#include "ui/help/HelpWindow.h"
#include "ui/main/InputBufferModel.h"
#include "ui/main/OutputArrayModel.h"
#include "ui/main/RatePanel.h"
#include "ui/main/StatusLine.h"
#include "ui/main/WorkPanel.h"

#include "board/board_list.h"
#include "board/board_session.h"
#include "formats/format_state_file.h"
#include "reception/channel_control.h"
#include "reception/input_rate_text.h"
#include "reception/refresh_tick.h"
#include "transmission/output_array.h"
#include "transmission/output_rate_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

TMainFrm::TMainFrm(board::Driver& driver, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), driver_(driver), prompts_(prompts), beeper_(prompts) {
    setObjectName(QStringLiteral("TMainFrm"));
    setWindowTitle(QStringLiteral("Монитор модуля ZELVA-1"));
    if (const QScreen* screen = this->screen())
        setGeometry(screen->availableGeometry());

    commands_ = std::make_unique<CommandSet>(*this);
    allChannelsLookup_ = std::make_unique<reception::AllChannelsFormatLookup>();
    analysisMenu_ = new AnalysisMenu(*this, commands_->menu(MenuId::Help)); // reads the lookup
    inputModel_ = std::make_unique<InputBufferModel>(state_, formatLookup_);
    outputModel_ = std::make_unique<OutputArrayModel>(state_);
    buildClientArea();
    connectCommands();
    connectChannelCommands();

    state_.DeviceChosen = false;
    formats::loadFormatState(formatTable_, assignmentTable_);
    state_.RefreshPeriod = board::kInitialRefreshPeriodMs;
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(state_.RefreshPeriod);
    connect(Timer1, &QTimer::timeout, this, &TMainFrm::Timer1Timer);

    applyStartEnabling();
}

TMainFrm::~TMainFrm() {
    if (outputDelegate_ != nullptr)
        outputDelegate_->detach(); // an open cell editor closes after the models are gone
}

void TMainFrm::buildClientArea() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel9 = new RatePanel(Panel2);
    XPStatusBar2 = new StatusLine(QStringLiteral("XPStatusBar2"), 400, Panel2);
    XPStatusBar1 = new StatusLine(QStringLiteral("XPStatusBar1"), 400, Panel2);
    XPStatusBar1->setPanelText(0, QStringLiteral("Устройство"));

    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(Panel9);
    rateRow->addStretch(1);
    clientLayout_ = new QVBoxLayout(Panel2);
    clientLayout_->setContentsMargins(2, 2, 2, 0);
    clientLayout_->addLayout(rateRow);
    clientLayout_->addStretch(0);
    clientLayout_->addWidget(XPStatusBar2);
    clientLayout_->addWidget(XPStatusBar1);

    Panel2->hide();
    setCentralWidget(Panel2);

    connect(Panel9, &RatePanel::rateChosen, this,
            [this](board::ChannelSide side, int channelIndex, int code) {
                board::storeRateCode(state_, side, channelIndex, code);
            });
}

// The work panel stays hidden until the board is first initialised, and its grids, lists and
// fonts are most of what the window costs to make; so it is made when a board is first
// chosen rather than before the window first shows.
WorkPanel& TMainFrm::workPanel() {
    if (Panel5 == nullptr) {
        Panel5 = new WorkPanel(*inputModel_, *outputModel_, Panel2);
        Panel5->hide();
        clientLayout_->insertWidget(1, Panel5, 1); // between the rate panel and the status bars
        setupInputPane(*Panel5);
        setupOutputPane(*Panel5);
    }
    return *Panel5;
}

void TMainFrm::connectCommands() {
    const CommandSet& c = *commands_;
    auto on = [this, &c](CommandId id, void (TMainFrm::*handler)()) {
        connect(c[id].action, &QAction::triggered, this, handler);
    };
    on(CommandId::FileExit1, &TMainFrm::FileExit1Execute);
    on(CommandId::ActionDeviceChoice, &TMainFrm::ActionDeviceChoiceExecute);
    on(CommandId::DeviceInitialization, &TMainFrm::DeviceInitializationExecute);
    on(CommandId::DeviceReset, &TMainFrm::DeviceResetExecute);
    on(CommandId::HelpContents1, &TMainFrm::HelpContents1Execute);
    on(CommandId::FormatList, &TMainFrm::FormatListExecute);
    on(CommandId::ParamFormat, &TMainFrm::ParamFormatExecute);
    on(CommandId::TimerPeriod, &TMainFrm::TimerPeriodExecute);
}

void TMainFrm::applyStartEnabling() {
    const CommandSet& c = *commands_;
    c[CommandId::ActionDeviceChoice].setEnabled(true);
    c[CommandId::DeviceInitialization].setEnabled(false);
    c[CommandId::DeviceReset].setEnabled(false);
    c.setMenuEnabled(MenuId::Channel, false);
    c.setMenuEnabled(MenuId::OutputData, false);
    setChannelButtonsEnabled(false);
    c[CommandId::SIstopChannel].setMenuItemEnabled(false);
    c[CommandId::SOstopChannel].setMenuItemEnabled(false);
}

void TMainFrm::setChannelButtonsEnabled(bool enabled) {
    const CommandSet& c = *commands_;
    for (CommandId id : {CommandId::SIaddressPusk, CommandId::SIfilePusk, CommandId::SOsinglePusk,
                         CommandId::SOciclePusk, CommandId::SOdataClear, CommandId::SOdataTest,
                         CommandId::FileOpen1, CommandId::FileSaveAs1})
        c[id].setButtonEnabled(enabled);
    // A stop button comes on only while its channel runs.
    c[CommandId::SIstopChannel].setButtonEnabled(false);
    c[CommandId::SOstopChannel].setButtonEnabled(false);
}

void TMainFrm::FileExit1Execute() { close(); }

void TMainFrm::closeEvent(QCloseEvent* event) {
    board::releaseBoardOnClose(driver_, state_);
    event->accept();
}

void TMainFrm::ActionDeviceChoiceExecute() {
    stopOutputStimuli(); // the board is about to change under them
    Panel9->hide();
    if (dialogs_.deviceChoice)
        dialogs_.deviceChoice().exec();
    if (!state_.DeviceChosen)
        return;
    XPStatusBar1->setPanelText(0, QString::fromStdString(board::deviceStatusText(
                                      state_.DeviceSerial, state_.DeviceOrdinal)));
    (*commands_)[CommandId::DeviceInitialization].setEnabled(true);
    workPanel(); // hidden until initialisation, but its tabs follow the board from now on
    Panel2->show();
    Panel9->show();
    Panel9->selectFirstItems();
    showChannelsFor(board::ChannelSide::Input, state_.SIcount);
    showChannelsFor(board::ChannelSide::Output, state_.SOcount);
    update();
}

void TMainFrm::showChannelsFor(board::ChannelSide side, std::int32_t reportedCount) {
    const std::optional<int> shown = board::shownChannelCount(reportedCount);
    if (!shown)
        return;
    Panel9->showChannels(side, *shown);
    WorkPanel& panel = workPanel();
    QTabBar* tabs = side == board::ChannelSide::Input ? panel.SI : panel.SO;
    for (int i = 0; i < board::kMaxChannels; ++i)
        tabs->setTabVisible(i, i < *shown);
}

void TMainFrm::DeviceInitializationExecute() {
    stopOutputStimuli(); // the board is about to change under them
    const CommandSet& c = *commands_;
    c[CommandId::ActionDeviceChoice].setEnabled(false);
    c[CommandId::DeviceInitialization].setEnabled(false);
    c[CommandId::DeviceReset].setEnabled(true);
    c.setMenuEnabled(MenuId::Channel, true);
    c.setMenuEnabled(MenuId::OutputData, true);
    setChannelButtonsEnabled(true);
    WorkPanel& panel = workPanel();
    panel.cbSOArrayDim->setEnabled(true);

    Panel9->hide();
    panel.splitFourFifths(Panel2->width());

    for (QTabBar* tabs : {panel.SI, panel.SO}) {
        const QSignalBlocker quiet(tabs); // selecting by program is not a tab change
        tabs->setCurrentIndex(0);
    }
    board::initializeBoard(driver_, state_); // channel 1 current, cells cleared, INIT sent
    panel.StaticText3->setText(
        QString::fromStdString(reception::inputBufferCaption(state_.SIchannelNo)));
    panel.StaticText4->setText(QString::fromStdString(transmission::outputArrayTitle(state_)));
    showOutputArray(); // rows and size list from SOArrayDim of channel 1
    reception::updateInputRateText(state_);
    transmission::updateOutputRateText(state_);
    rebuildChannelFormatLookup();

    Timer1->setInterval(state_.RefreshPeriod);
    Timer1->start();
    XPStatusBar1->setPanelText(
        1, QString::fromStdString(reception::initialRefreshStatusText(Timer1->interval())));
    panel.show();
    inputModel_->cellsChanged();
}

void TMainFrm::DeviceResetExecute() {
    stopOutputStimuli(); // the board is about to change under them
    Timer1->stop();
    const CommandSet& c = *commands_;
    c[CommandId::ActionDeviceChoice].setEnabled(true);
    c[CommandId::DeviceInitialization].setEnabled(true);
    c[CommandId::DeviceReset].setEnabled(false);
    c.setMenuEnabled(MenuId::Channel, false);
    c.setMenuEnabled(MenuId::OutputData, false);
    setChannelButtonsEnabled(false);
    Panel9->show();
    workPanel().hide();
    board::resetBoard(driver_, state_);
    XPStatusBar1->setPanelText(1, QString());
    XPStatusBar2->setPanelText(0, QString());
    XPStatusBar2->setPanelText(1, QString());
}

void TMainFrm::Timer1Timer() {
    XPStatusBar1->setPanelText(
        1, QString::fromStdString(reception::beginRefreshTick(state_, Timer1->interval())));
    queryOutputChannelState();
    queryInputChannelState();
    reception::ChangedCells* changes = tickObservers_.empty() ? nullptr : changedCells_.get();
    if (reception::readRunningChannels(driver_, state_, changes).currentChannelRead)
        inputModel_->cellsChanged();
    if (changes == nullptr)
        return;
    // Copied first: an observer may remove itself while it is told.
    const std::vector<reception::TickObserver*> observers = tickObservers_;
    for (reception::TickObserver* observer : observers)
        observer->afterTickReads(state_, *changes);
}

void TMainFrm::addTickObserver(reception::TickObserver* observer) {
    if (!changedCells_)
        changedCells_ = std::make_unique<reception::ChangedCells>();
    if (std::find(tickObservers_.begin(), tickObservers_.end(), observer) == tickObservers_.end())
        tickObservers_.push_back(observer);
    rebuildAllChannelsFormatLookup();
}

void TMainFrm::removeTickObserver(reception::TickObserver* observer) {
    std::erase(tickObservers_, observer);
}

void TMainFrm::HelpContents1Execute() { showHelpContents(this); }

void TMainFrm::FormatListExecute() {
    if (dialogs_.formatList)
        dialogs_.formatList().exec();
}

void TMainFrm::ParamFormatExecute() {
    if (dialogs_.paramFormat)
        dialogs_.paramFormat().exec();
    rebuildChannelFormatLookup();
    inputModel_->cellsChanged();
}

void TMainFrm::TimerPeriodExecute() {
    if (dialogs_.timerPeriod)
        dialogs_.timerPeriod().exec();
    Timer1->setInterval(state_.RefreshPeriod);
}

} // namespace ui
