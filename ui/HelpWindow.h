#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace ui {

/// The help file named at start-up. It is a WinHelp file on a fixed path, opened only where
/// it exists and the system can show it; everywhere else the built-in help is shown.
void setHelpFile(const QString& path);
[[nodiscard]] QString helpFile();

/// @brief The built-in help: Russian pages shipped inside the program.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showContents();

private:
    QTextBrowser* browser_ = nullptr;
};

/// Opens the contents page of the help (the help command and F1).
void showHelpContents(QWidget* parent);

} // namespace ui
