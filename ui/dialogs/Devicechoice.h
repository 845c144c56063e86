#pragma once

#include "board/driver.h"
#include "board/shared_state.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace ui {

class Prompts;

/// @brief The device choice dialog. Creating it opens every installed board and asks each
/// for its serial number; "Применить" makes the selected board the chosen one.
class TFrmDeviceChoice : public QDialog {
    Q_OBJECT
public:
    TFrmDeviceChoice(board::Driver& driver, board::SharedState& state, Prompts& prompts,
                     QWidget* parent = nullptr);

    void Button1Click();
    void Button2Click();

    QComboBox* DeviceList = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

public Q_SLOTS:
    void done(int result) override;

private:
    void fillDeviceList();

    board::Driver& driver_;
    board::SharedState& state_;
    Prompts& prompts_;
    int rememberedSelection_ = 0;
};

} // namespace ui
