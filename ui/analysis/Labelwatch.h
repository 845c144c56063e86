#pragma once

#include "ui/analysis/TickWindow.h"

#include "analysis/monotonic_clock.h"

#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QTableView;

namespace ui {

class LabelWatchFilter;
class LabelWatchModel;
class TMainFrm;

/// An input channel (0-based) and a label on it.
struct ParameterKey {
    int channelIndex = 0;
    std::uint8_t label = 0;
    friend bool operator==(const ParameterKey&, const ParameterKey&) = default;
};

/// @brief The label watch: a window beside the main window with one row per (input channel,
/// label) received since it was opened or cleared. It is told every tick while it is shown.
class TFrmLabelWatch : public TickWindow {
    Q_OBJECT
public:
    TFrmLabelWatch(TMainFrm& main, analysis::MonotonicClock clock, QWidget* parent = nullptr);

    void afterTickReads(const board::SharedState& state,
                        const reception::ChangedCells& changes) override;

    /// The parameter of the row the user picked, if any.
    [[nodiscard]] std::optional<ParameterKey> selectedParameter() const;
    [[nodiscard]] LabelWatchModel& model() const { return *model_; }

    void btClearClick();
    void cbChannelFilterChange(int index);
    void seStaleLimitChange(double seconds);
    void WatchGridDblClick(const QModelIndex& index);

    QComboBox* cbChannelFilter = nullptr;
    QDoubleSpinBox* seStaleLimit = nullptr;
    QPushButton* btClear = nullptr;
    QTableView* WatchGrid = nullptr;

Q_SIGNALS:
    void chartRequested(ui::ParameterKey parameter);

private:
    [[nodiscard]] std::optional<ParameterKey> parameterAt(const QModelIndex& viewIndex) const;

    analysis::MonotonicClock clock_;
    LabelWatchModel* model_ = nullptr;
    LabelWatchFilter* filter_ = nullptr;
};

} // namespace ui
