#include "ui/main/MonitorWindows.h"

#include "ui/analysis/AnalysisWindows.h"
#include "ui/dialogs/Devicechoice.h"
#include "ui/dialogs/Formatlist.h"
#include "ui/dialogs/Paramformat.h"
#include "ui/dialogs/Sobinparam.h"
#include "ui/dialogs/Timerperiod.h"
#include "ui/main/Mainform.h"
#include "ui/stimulus/StimulusWindows.h"

namespace ui {

MonitorWindows::MonitorWindows(board::Driver& driver, Prompts& prompts)
    : driver_(driver), prompts_(prompts) {
    mainForm_ = std::make_unique<TMainFrm>(driver_, prompts);
    TMainFrm* main = mainForm_.get();
    // Made now: making it finds and opens the boards and reads their serial numbers.
    deviceChoice_ = std::make_unique<TFrmDeviceChoice>(driver_, main->state(), prompts, main);
    main->setDialogs({.deviceChoice = [this]() -> QDialog& { return deviceChoice(); },
                      .bitEditor = [this]() -> QDialog& { return bitEditor(); },
                      .formatList = [this]() -> QDialog& { return formatList(); },
                      .paramFormat = [this]() -> QDialog& { return paramFormat(); },
                      .timerPeriod = [this]() -> QDialog& { return timerPeriod(); }});
    analysis_ = std::make_unique<AnalysisWindows>(*main, prompts);
    stimulus_ = std::make_unique<StimulusWindows>(*main, prompts);
}

MonitorWindows::~MonitorWindows() {
    // Its threads send through the board the main window holds: they stop first.
    stimulus_.reset();
    // The watch and the charts are the main window's tick observers: they leave it first.
    analysis_.reset();
    // The dialogs are the main window's children for placement; let them go first.
    timerPeriod_.reset();
    paramFormat_.reset();
    formatList_.reset();
    bitEditor_.reset();
    deviceChoice_.reset();
}

TFrmSObinParam& MonitorWindows::bitEditor() {
    if (!bitEditor_)
        bitEditor_ = std::make_unique<TFrmSObinParam>(mainForm_->state(), mainForm_.get());
    return *bitEditor_;
}

TFrmFormatList& MonitorWindows::formatList() {
    if (!formatList_)
        formatList_ =
            std::make_unique<TFrmFormatList>(mainForm_->formatTable(), prompts_, mainForm_.get());
    return *formatList_;
}

TFrmParamFormat& MonitorWindows::paramFormat() {
    if (!paramFormat_)
        paramFormat_ = std::make_unique<TFrmParamFormat>(
            mainForm_->assignmentTable(), mainForm_->formatTable(), prompts_, mainForm_.get());
    return *paramFormat_;
}

TFrmTimerPeriod& MonitorWindows::timerPeriod() {
    if (!timerPeriod_)
        timerPeriod_ = std::make_unique<TFrmTimerPeriod>(mainForm_->state(), mainForm_.get());
    return *timerPeriod_;
}

} // namespace ui
