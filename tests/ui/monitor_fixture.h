#pragma once

#include "dialog_steps.h"
#include "scripted_driver.h"
#include "scripted_prompts.h"

#include "board/control_codes.h"
#include "ui/dialogs/Devicechoice.h"
#include "ui/dialogs/Formatlist.h"
#include "ui/dialogs/Paramformat.h"
#include "ui/dialogs/Sobinparam.h"
#include "ui/dialogs/Timerperiod.h"
#include "ui/main/Mainform.h"
#include "ui/main/MonitorWindows.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <initializer_list>
#include <memory>

namespace testing_support {

template <typename Widget>
Widget* child(QObject* root, const char* name) {
    auto* found = root->findChild<Widget*>(QString::fromUtf8(name));
    if (found == nullptr)
        qWarning("no child named %s", name);
    return found;
}

/// Boards at interface indices 0 (8 inputs, 8 outputs, serial 1021) and 2 (serial 1187,
/// 2 inputs, 4 outputs); index 1 does not open.
inline void scriptTwoBoards(ScriptedDriver& driver) {
    driver.addBoard(0);
    driver.addBoard(2);
    driver.answerU16(ScriptedDriver::handleFor(0), board::IOCTL_GET_SERIAL_NUMBER, 1021);
    driver.answerU16(ScriptedDriver::handleFor(2), board::IOCTL_GET_SERIAL_NUMBER, 1187);
    driver.answerU16(ScriptedDriver::handleFor(0), board::IOCTL_GET_CONFIGURATION, 0x0880);
    driver.answerU16(ScriptedDriver::handleFor(2), board::IOCTL_GET_CONFIGURATION, 0x0240);
}

/// A cell's display text, as the grid shows it.
inline QString cellText(QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

/// @brief The whole monitor over some driver, driven through its named controls.
///
/// Whoever derives from it owns the driver in an earlier base, so that the driver is made
/// before the windows and outlives them.
struct MonitorControls {
    explicit MonitorControls(board::Driver& driver)
        : windows(std::make_unique<ui::MonitorWindows>(driver, prompts)) {}

    [[nodiscard]] ui::TMainFrm& main() const { return windows->mainForm(); }
    [[nodiscard]] ui::TFrmDeviceChoice& dialog() const { return windows->deviceChoice(); }
    board::SharedState& state() { return main().state(); }

    QToolButton* button(const char* name) { return child<QToolButton>(&main(), name); }
    QAction* action(const char* name) { return child<QAction>(&main(), name); }
    QTabBar* tabs(const char* name) { return child<QTabBar>(&main(), name); }
    QTableView* inputGrid() { return child<QTableView>(&main(), "DrawGrid2"); }
    QTableView* outputGrid() { return child<QTableView>(&main(), "DrawGrid1"); }
    /// A dialog by its object name; asking for it makes it, as its command would.
    [[nodiscard]] QDialog* dialogNamed(const QString& name) const {
        for (QDialog* dialog : std::initializer_list<QDialog*>{
                 &windows->deviceChoice(), &windows->bitEditor(), &windows->formatList(),
                 &windows->paramFormat(), &windows->timerPeriod()})
            if (dialog->objectName() == name)
                return dialog;
        qWarning("no dialog named %s", qPrintable(name));
        return nullptr;
    }
    QString statusText(const char* bar, int panel) {
        return child<QWidget>(&main(), bar)
            ->findChild<QObject*>(QStringLiteral("panel%1").arg(panel))
            ->property("text")
            .toString();
    }

    /// Device choice command, picking the board at list position `position` and applying.
    void chooseBoard(int position) {
        onNextModal([this, position](QWidget*) {
            dialog().DeviceList->setCurrentIndex(position);
            dialog().Button1->click();
        });
        button("tbDeviceChoice")->click();
    }
    void initialise() { button("tbDeviceInitialization")->click(); }
    void reset() { button("tbDeviceReset")->click(); }

    ScriptedPrompts prompts;
    std::unique_ptr<ui::MonitorWindows> windows;
};

/// The scripted boards behind a `Monitor`.
struct ScriptedBoards {
    explicit ScriptedBoards(const std::function<void(ScriptedDriver&)>& script) { script(driver); }
    ScriptedDriver driver;
};

/// The whole monitor on a scripted board, driven through its named controls.
struct Monitor : ScriptedBoards, MonitorControls {
    explicit Monitor(const std::function<void(ScriptedDriver&)>& script = scriptTwoBoards)
        : ScriptedBoards(script), MonitorControls(driver) {}
};

} // namespace testing_support
