#pragma once

#include <QObject>

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace ui {

/// The main window's commands, in toolbar and menu order.
enum class CommandId {
    FileExit1,
    ActionDeviceChoice,
    DeviceInitialization,
    DeviceReset,
    SIaddressPusk,
    SIfilePusk,
    SIstopChannel,
    SOsinglePusk,
    SOciclePusk,
    SOstopChannel,
    SOdataClear,
    SOdataTest,
    FileOpen1,
    FileSaveAs1,
    FormatList,
    ParamFormat,
    TimerPeriod,
    HelpContents1,
};
inline constexpr int kCommandCount = 18;

enum class MenuId {
    File,
    Device,
    Channel,
    ChannelInput,
    ChannelOutput,
    OutputData,
    Settings,
    Help
};
inline constexpr int kMenuCount = 8;

/// @brief One command and its two presentations, enabled separately: the menu item and the
/// toolbar button each run the command's action, which itself stays enabled.
struct Command {
    QAction* action = nullptr;
    QAction* menuItem = nullptr;
    QToolButton* button = nullptr;

    void setMenuItemEnabled(bool enabled) const;
    void setButtonEnabled(bool enabled) const;
    void setEnabled(bool enabled) const;
};

/// @brief Builds the menus and the toolbar of the main window and keeps their controls.
class CommandSet {
public:
    explicit CommandSet(QMainWindow& window);

    [[nodiscard]] const Command& operator[](CommandId id) const {
        return commands_[static_cast<int>(id)];
    }
    [[nodiscard]] QMenu* menu(MenuId id) const { return menus_[static_cast<int>(id)]; }
    void setMenuEnabled(MenuId id, bool enabled) const;

private:
    void buildMenus(QMainWindow& window);
    void buildToolBar(QMainWindow& window);

    std::array<Command, kCommandCount> commands_{};
    std::array<QMenu*, kMenuCount> menus_{};
};

} // namespace ui
