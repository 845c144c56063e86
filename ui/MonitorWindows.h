#pragma once

#include "board/driver.h"

#include <memory>

namespace ui {

class Prompts;
class TFrmDeviceChoice;
class TFrmFormatList;
class TFrmParamFormat;
class TFrmSObinParam;
class TFrmTimerPeriod;
class TMainFrm;

/// @brief Every window of the monitor, created once, in start-up order, for the whole run.
class MonitorWindows {
public:
    MonitorWindows(board::Driver& driver, Prompts& prompts);
    ~MonitorWindows();

    [[nodiscard]] TMainFrm& mainForm() { return *mainForm_; }
    [[nodiscard]] TFrmDeviceChoice& deviceChoice() { return *deviceChoice_; }
    [[nodiscard]] TFrmSObinParam& bitEditor() { return *bitEditor_; }
    [[nodiscard]] TFrmFormatList& formatList() { return *formatList_; }
    [[nodiscard]] TFrmParamFormat& paramFormat() { return *paramFormat_; }
    [[nodiscard]] TFrmTimerPeriod& timerPeriod() { return *timerPeriod_; }

private:
    std::unique_ptr<TMainFrm> mainForm_;
    std::unique_ptr<TFrmDeviceChoice> deviceChoice_;
    std::unique_ptr<TFrmSObinParam> bitEditor_;
    std::unique_ptr<TFrmFormatList> formatList_;
    std::unique_ptr<TFrmParamFormat> paramFormat_;
    std::unique_ptr<TFrmTimerPeriod> timerPeriod_;
};

} // namespace ui
