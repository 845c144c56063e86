#pragma once

#include "board/board_session.h"
#include "board/records.h"

#include <QFrame>

#include <array>

class QComboBox;
class QLabel;

namespace ui {

/// @brief The channel rate panel: one input-rate and one output-rate selector per channel.
/// Only the user's picks are reported; setting the selectors by program is silent.
class RatePanel : public QFrame {
    Q_OBJECT
public:
    explicit RatePanel(QWidget* parent = nullptr);

    /// Every selector back to its first item, without reporting a change.
    void selectFirstItems();
    /// Shows the first `count` channels of a side and hides the rest; the row labels follow
    /// the input side only.
    void showChannels(board::ChannelSide side, int count);

Q_SIGNALS:
    void rateChosen(board::ChannelSide side, int channelIndex, int code);

private:
    std::array<QComboBox*, board::kMaxChannels> inputSelectors_{};
    std::array<QComboBox*, board::kMaxChannels> outputSelectors_{};
    std::array<QLabel*, board::kMaxChannels> rowLabels_{};
};

} // namespace ui
