#pragma once

#include "FixedPitchCellDelegate.h"

namespace ui {

/// @brief The fixed-pitch cells of a grid repainted on every tick, where the user also picks
/// a row: selected cells are drawn in the palette's highlight colours, others as they are.
class WatchCellDelegate : public FixedPitchCellDelegate {
    Q_OBJECT
public:
    using FixedPitchCellDelegate::FixedPitchCellDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace ui
