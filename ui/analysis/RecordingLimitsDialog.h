#pragma once

#include "analysis/recorder.h"

#include <QDialog>

class QSpinBox;

namespace ui {

/// @brief "Параметры записи": where a recording goes on to a new file (by size, by time) and
/// the free space below which it stops. Each applies from the next recording on; zero turns
/// a bound off.
class RecordingLimitsDialog final : public QDialog {
    Q_OBJECT
public:
    RecordingLimitsDialog(const analysis::RecordingLimits& limits, QWidget* parent);

    /// The limits as the fields show them.
    [[nodiscard]] analysis::RecordingLimits limits() const;

    QSpinBox* splitSize = nullptr; // МБ
    QSpinBox* splitTime = nullptr; // minutes
    QSpinBox* minFree = nullptr;   // МБ
};

} // namespace ui
