#include "ui/analysis/WatchCellDelegate.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace ui {

void WatchCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!option.state.testFlag(QStyle::State_Selected)) {
        FixedPitchCellDelegate::paint(painter, option, index);
        return;
    }
    // The cells take their colours from the palette where the model gives none.
    QStyleOptionViewItem selected(option);
    selected.palette.setBrush(QPalette::Base, option.palette.highlight());
    selected.palette.setBrush(QPalette::Text, option.palette.highlightedText());
    FixedPitchCellDelegate::paint(painter, selected, index);
}

WatchGridStyle::WatchGridStyle(QObject* parent) : QProxyStyle(QApplication::style()->name()) {
    setParent(parent);
}

void WatchGridStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelItemViewRow)
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

} // namespace ui
