#pragma once

#include "board/shared_state.h"

#include <QAbstractTableModel>

namespace ui {

/// @brief The 256 cells of the current input channel, one row each.
class InputBufferModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit InputBufferModel(const board::SharedState& state, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    /// Every row may have changed (new words, another channel): one dataChanged, no reset.
    void cellsChanged();

private:
    const board::SharedState& state_;
};

} // namespace ui
