#pragma once

#include "board/shared_state.h"
#include "reception/format_lookup.h"

#include <QAbstractTableModel>

namespace ui {

/// @brief The 256 cells of the current input channel, one row each, decoded into the
/// columns of the input buffer view. Texts are formatted as the rows are painted.
class InputBufferModel : public QAbstractTableModel {
    Q_OBJECT
public:
    InputBufferModel(const board::SharedState& state, const reception::ChannelFormatLookup& lookup,
                     QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Every row may have changed (new words, another channel): one dataChanged, no reset.
    void cellsChanged();

private:
    const board::SharedState& state_;
    const reception::ChannelFormatLookup& lookup_;
};

} // namespace ui
