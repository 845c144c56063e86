#include "MonitorWindows.h"

#include "Devicechoice.h"
#include "Formatlist.h"
#include "Mainform.h"
#include "Paramformat.h"

namespace ui {

MonitorWindows::MonitorWindows(board::Driver& driver, Prompts& prompts) {
    mainForm_ = std::make_unique<TMainFrm>(driver, prompts);
    TMainFrm* main = mainForm_.get();
    deviceChoice_ = std::make_unique<TFrmDeviceChoice>(driver, main->state(), prompts, main);
    formatList_ = std::make_unique<TFrmFormatList>(main->formatTable(), prompts, main);
    paramFormat_ = std::make_unique<TFrmParamFormat>(main->assignmentTable(),
                                                     main->formatTable(), prompts, main);
    main->setDialogs({.deviceChoice = deviceChoice_.get(),
                      .formatList = formatList_.get(),
                      .paramFormat = paramFormat_.get()});
}

MonitorWindows::~MonitorWindows() {
    // The dialogs are the main window's children for placement; let them go first.
    paramFormat_.reset();
    formatList_.reset();
    deviceChoice_.reset();
}

} // namespace ui
