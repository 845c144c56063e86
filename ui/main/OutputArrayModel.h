#pragma once

#include "ui/grid/SlotGridModel.h"

#include "board/shared_state.h"

namespace ui {

/// @brief The words of the current output channel's array, one row per word: index, address
/// and code. The address and code cells are edited through the grid's cell editor.
class OutputArrayModel : public SlotGridModel {
    Q_OBJECT
public:
    explicit OutputArrayModel(const board::SharedState& state, QObject* parent = nullptr);

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// The channel or its size changed: the row count follows SOArrayDim of the current
    /// channel and every row is shown again.
    void arrayChanged();

private:
    const board::SharedState& state_;
};

} // namespace ui
