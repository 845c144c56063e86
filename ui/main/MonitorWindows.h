#pragma once

#include "board/driver.h"
#include "board/serialized_driver.h"

#include <memory>

namespace ui {

class AnalysisWindows;
class Prompts;
class StimulusWindows;
class TFrmDeviceChoice;
class TFrmFormatList;
class TFrmParamFormat;
class TFrmSObinParam;
class TFrmTimerPeriod;
class TMainFrm;

/// @brief Every window of the monitor, each made once and kept for the whole run.
///
/// The main window and the device choice dialog are made at start-up, the device choice
/// because making it finds the boards. The other dialogs hold nothing until they are shown,
/// so each is made the first time it is asked for: before that nobody can tell it apart
/// from one made at start-up, and start-up does not pay for windows that may never open.
class MonitorWindows {
public:
    MonitorWindows(board::Driver& driver, Prompts& prompts);
    ~MonitorWindows();

    [[nodiscard]] TMainFrm& mainForm() { return *mainForm_; }
    [[nodiscard]] TFrmDeviceChoice& deviceChoice() { return *deviceChoice_; }
    [[nodiscard]] TFrmSObinParam& bitEditor();
    [[nodiscard]] TFrmFormatList& formatList();
    [[nodiscard]] TFrmParamFormat& paramFormat();
    [[nodiscard]] TFrmTimerPeriod& timerPeriod();
    /// The label watch and the parameter charts.
    [[nodiscard]] AnalysisWindows& analysis() { return *analysis_; }
    /// The «Имитация» menu's window.
    [[nodiscard]] StimulusWindows& stimulus() { return *stimulus_; }

private:
    /// Every window's requests and the stimulus threads' go through it, one at a time.
    board::SerializedDriver driver_;
    Prompts& prompts_;
    std::unique_ptr<TMainFrm> mainForm_;
    std::unique_ptr<TFrmDeviceChoice> deviceChoice_;
    std::unique_ptr<TFrmSObinParam> bitEditor_;
    std::unique_ptr<TFrmFormatList> formatList_;
    std::unique_ptr<TFrmParamFormat> paramFormat_;
    std::unique_ptr<TFrmTimerPeriod> timerPeriod_;
    std::unique_ptr<AnalysisWindows> analysis_;
    std::unique_ptr<StimulusWindows> stimulus_;
};

} // namespace ui
