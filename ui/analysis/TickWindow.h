#pragma once

#include "reception/tick_observer.h"

#include <QWidget>

namespace ui {

class TMainFrm;

/// @brief A window beside the main window that is told every refresh tick while it is open:
/// it joins the main window's tick observers when shown and leaves them when closed or
/// destroyed. Minimised, it stays among them.
class TickWindow : public QWidget, public reception::TickObserver {
    Q_OBJECT
public:
    explicit TickWindow(TMainFrm& main, QWidget* parent = nullptr);
    ~TickWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    TMainFrm& main_;
};

} // namespace ui
