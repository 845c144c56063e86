#include "MonitorWindows.h"

#include "Devicechoice.h"
#include "Mainform.h"

namespace ui {

MonitorWindows::MonitorWindows(board::Driver& driver, Prompts& prompts)
    : mainForm_(std::make_unique<TMainFrm>(driver, prompts)),
      deviceChoice_(std::make_unique<TFrmDeviceChoice>(driver, mainForm_->state(), prompts,
                                                       mainForm_.get())) {
    mainForm_->setDialogs({.deviceChoice = deviceChoice_.get()});
}

MonitorWindows::~MonitorWindows() {
    // The dialogs are the main window's children for placement; let them go first.
    deviceChoice_.reset();
}

} // namespace ui
