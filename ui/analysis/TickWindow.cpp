#include "ui/analysis/TickWindow.h"

#include "ui/main/Mainform.h"

#include <QHideEvent>
#include <QShowEvent>

namespace ui {

TickWindow::TickWindow(TMainFrm& main, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main) {}

TickWindow::~TickWindow() { main_.removeTickObserver(this); }

void TickWindow::showEvent(QShowEvent* event) {
    main_.addTickObserver(this);
    QWidget::showEvent(event);
}

void TickWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) // the system hides a window it minimises
        main_.removeTickObserver(this);
    QWidget::hideEvent(event);
}

} // namespace ui
