#include "MonitorWindows.h"

#include "Devicechoice.h"
#include "Formatlist.h"
#include "Mainform.h"
#include "Paramformat.h"
#include "Sobinparam.h"
#include "Timerperiod.h"

namespace ui {

MonitorWindows::MonitorWindows(board::Driver& driver, Prompts& prompts) {
    mainForm_ = std::make_unique<TMainFrm>(driver, prompts);
    TMainFrm* main = mainForm_.get();
    deviceChoice_ = std::make_unique<TFrmDeviceChoice>(driver, main->state(), prompts, main);
    bitEditor_ = std::make_unique<TFrmSObinParam>(main->state(), main);
    formatList_ = std::make_unique<TFrmFormatList>(main->formatTable(), prompts, main);
    paramFormat_ = std::make_unique<TFrmParamFormat>(main->assignmentTable(),
                                                     main->formatTable(), prompts, main);
    timerPeriod_ = std::make_unique<TFrmTimerPeriod>(main->state(), main);
    main->setDialogs({.deviceChoice = deviceChoice_.get(),
                      .bitEditor = bitEditor_.get(),
                      .formatList = formatList_.get(),
                      .paramFormat = paramFormat_.get(),
                      .timerPeriod = timerPeriod_.get()});
}

MonitorWindows::~MonitorWindows() {
    // The dialogs are the main window's children for placement; let them go first.
    timerPeriod_.reset();
    paramFormat_.reset();
    formatList_.reset();
    bitEditor_.reset();
    deviceChoice_.reset();
}

} // namespace ui
