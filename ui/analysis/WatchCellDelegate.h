#pragma once

#include "ui/grid/FixedPitchCellDelegate.h"

#include <QProxyStyle>

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

/// @brief The style of a table whose cells WatchCellDelegate paints: the application's own,
/// except that it leaves out the row panel a table view draws under each cell, which the
/// delegate's opaque cell covers anyway and which some styles make costly by working out
/// their colours afresh for every cell.
class WatchGridStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit WatchGridStyle(QObject* parent);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace ui
