#include "ui/main/MainformCommands.h"

#include "ui/main/ToolbarIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace ui {
namespace {

struct CommandSpec {
    CommandId id;
    const char* name;
    const char* caption;
    const char* hint; // the toolbar button's tooltip; empty for none
    MenuId menu;
    const char* buttonName;
    const char* menuItemName;
    bool startsToolbarGroup;
};

// Texts as the users know them; order is toolbar and menu order.
constexpr CommandSpec kCommands[kCommandCount] = {
    {CommandId::FileExit1, "FileExit1", "Выход", "", MenuId::File, "tbExit", "mmExit", true},
    {CommandId::ActionDeviceChoice, "ActionDeviceChoice", "выбор", "Выбор устройства",
     MenuId::Device, "tbDeviceChoice", "mmDeviceChoice", true},
    {CommandId::DeviceInitialization, "DeviceInitialization", "инициализация",
     "инициализация устройства", MenuId::Device, "tbDeviceInitialization", "mmDeviceInitialization",
     false},
    {CommandId::DeviceReset, "DeviceReset", "останов", "останов устройства", MenuId::Device,
     "tbDeviceReset", "mmDeviceReset", false},
    {CommandId::SIaddressPusk, "SIaddressPusk", "адресный прием", "пуск адресного приема",
     MenuId::ChannelInput, "tbSIaddressPusk", "mmSIaddressPusk", true},
    {CommandId::SIfilePusk, "SIfilePusk", "файловый прием", "пуск файлового приема",
     MenuId::ChannelInput, "tbSIfilePusk", "mmSIfilePusk", false},
    {CommandId::SIstopChannel, "SIstopChannel", "остановить прием", "останов приема",
     MenuId::ChannelInput, "tbSIstop", "mmSIstop", false},
    {CommandId::SOsinglePusk, "SOsinglePusk", "однократная выдача", "пуск однократной выдачи",
     MenuId::ChannelOutput, "tbSOsinglePusk", "mmSOsinglePusk", true},
    {CommandId::SOciclePusk, "SOciclePusk", "циклическая выдача", "пуск циклической выдачи",
     MenuId::ChannelOutput, "tbSOciclePusk", "mmSOciclePusk", false},
    {CommandId::SOstopChannel, "SOstopChannel", "остановить выдачу", "останов выдачи",
     MenuId::ChannelOutput, "tbSOstop", "mmSOstop", false},
    {CommandId::SOdataClear, "SOdataClear", "обнулить", "обнуление массива выходных параметров",
     MenuId::OutputData, "tbSOdataClear", "mmSOdataClear", true},
    {CommandId::SOdataTest, "SOdataTest", "тестовые значения",
     "заполнение массива выходных параметров тестовыми значениями", MenuId::OutputData,
     "tbSOdataTest", "mmSOdataTest", false},
    {CommandId::FileOpen1, "FileOpen1", "восстановить из файла",
     "Восстановить выходные параметры из файла", MenuId::OutputData, "tbSOdataOpen", "mmSOdataOpen",
     false},
    {CommandId::FileSaveAs1, "FileSaveAs1", "сохранить в файле",
     "Сохранить выходные параметры в файле", MenuId::OutputData, "tbSOdataSave", "mmSOdataSave",
     false},
    {CommandId::FormatList, "FormatList", "десятичные форматы", "Десятичные форматы",
     MenuId::Settings, "tbFormatList", "mmFormatList", true},
    {CommandId::ParamFormat, "ParamFormat", "форматы параметров",
     "задание соответствия формата физическому параметру", MenuId::Settings, "tbParamFormat",
     "mmParamFormat", false},
    {CommandId::TimerPeriod, "TimerPeriod", "период обновления экрана",
     "изменить период обновления экрана", MenuId::Settings, "tbTimer", "mmTimerPeriod", false},
    {CommandId::HelpContents1, "HelpContents1", "Справка", "", MenuId::Help, "tbHelp",
     "mmHelpContents", true},
};

struct MenuSpec {
    MenuId id;
    const char* name;
    const char* title;
};

constexpr MenuSpec kMenus[kMenuCount] = {
    {MenuId::File, "mmFile", "Файл"},
    {MenuId::Device, "mmDevice", "Устройство"},
    {MenuId::Channel, "mmChannel", "Канал"},
    {MenuId::ChannelInput, "mmSI", "входной"},
    {MenuId::ChannelOutput, "mmSO", "выходной"},
    {MenuId::OutputData, "mmSOdata", "Выходные параметры"},
    {MenuId::Settings, "mmSettings", "Настройки"},
    {MenuId::Help, "mmHelp", "Справка"},
};

} // namespace

void Command::setMenuItemEnabled(bool enabled) const { menuItem->setEnabled(enabled); }

void Command::setButtonEnabled(bool enabled) const { button->setEnabled(enabled); }

void Command::setEnabled(bool enabled) const {
    setMenuItemEnabled(enabled);
    setButtonEnabled(enabled);
}

CommandSet::CommandSet(QMainWindow& window) {
    for (const CommandSpec& entry : kCommands) {
        Command& command = commands_[static_cast<int>(entry.id)];
        command.action = new QAction(QString::fromUtf8(entry.caption), &window);
        command.action->setObjectName(QString::fromUtf8(entry.name));
        command.action->setToolTip(QString::fromUtf8(entry.hint));
        command.action->setStatusTip(QString::fromUtf8(entry.hint));
        // The action lives on the window so its shortcut works even with the menu closed.
        window.addAction(command.action);
    }
    QAction* help = commands_[static_cast<int>(CommandId::HelpContents1)].action;
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    buildMenus(window);
    buildToolBar(window);
}

void CommandSet::setMenuEnabled(MenuId id, bool enabled) const {
    QMenu* m = menu(id);
    m->setEnabled(enabled);
    m->menuAction()->setEnabled(enabled);
}

void CommandSet::buildMenus(QMainWindow& window) {
    for (const MenuSpec& entry : kMenus) {
        auto* m = new QMenu(QString::fromUtf8(entry.title), &window);
        m->setObjectName(QString::fromUtf8(entry.name));
        m->menuAction()->setObjectName(QString::fromUtf8(entry.name) + QStringLiteral("Action"));
        menus_[static_cast<int>(entry.id)] = m;
    }
    QMenuBar* bar = window.menuBar();
    bar->addMenu(menu(MenuId::File));
    bar->addMenu(menu(MenuId::Device));
    bar->addMenu(menu(MenuId::Channel));
    menu(MenuId::Channel)->addMenu(menu(MenuId::ChannelInput));
    menu(MenuId::Channel)->addMenu(menu(MenuId::ChannelOutput));
    bar->addMenu(menu(MenuId::OutputData));
    bar->addMenu(menu(MenuId::Settings));
    bar->addMenu(menu(MenuId::Help));

    for (const CommandSpec& entry : kCommands) {
        Command& command = commands_[static_cast<int>(entry.id)];
        QString text = command.action->text();
        if (!command.action->shortcut().isEmpty())
            text += QLatin1Char('\t') + command.action->shortcut().toString();
        command.menuItem = menu(entry.menu)->addAction(text);
        command.menuItem->setObjectName(QString::fromUtf8(entry.menuItemName));
        command.menuItem->setStatusTip(command.action->statusTip());
        QObject::connect(command.menuItem, &QAction::triggered, command.action,
                         [action = command.action] { action->trigger(); });
    }
}

void CommandSet::buildToolBar(QMainWindow& window) {
    auto* toolBar = new QToolBar(&window);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(24, 24));
    window.addToolBar(Qt::TopToolBarArea, toolBar);

    for (const CommandSpec& entry : kCommands) {
        if (entry.startsToolbarGroup && entry.id != CommandId::FileExit1)
            toolBar->addSeparator();
        Command& command = commands_[static_cast<int>(entry.id)];
        auto* button = new QToolButton(toolBar);
        button->setObjectName(QString::fromUtf8(entry.buttonName));
        button->setIcon(commandIcon(entry.id));
        button->setToolTip(QString::fromUtf8(entry.hint));
        button->setAutoRaise(true);
        toolBar->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, command.action,
                         [action = command.action] { action->trigger(); });
        command.button = button;
    }
}

} // namespace ui
