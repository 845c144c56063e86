#pragma once

#include "board/shared_state.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ui {

/// @brief The refresh period dialog: Edit1 shows RefreshPeriod when shown, and "Применить"
/// stores the typed period, clamped to 100..10000 ms. The caller sets the timer's interval
/// from RefreshPeriod after it closes, whichever way.
class TFrmTimerPeriod : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTimerPeriod(board::SharedState& state, QWidget* parent = nullptr);

    void FormShow();
    void Button1Click();
    void Button2Click();

    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    board::SharedState& state_;
};

} // namespace ui
