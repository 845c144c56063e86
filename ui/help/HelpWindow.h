#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QTextBrowser;

namespace ui {

/// The help file named at start-up. It is a WinHelp file on a fixed path, opened only where
/// it exists and the system can show it; everywhere else the built-in help is shown.
void setHelpFile(const QString& path);
[[nodiscard]] QString helpFile();

/// @brief The built-in help: Russian pages shipped inside the program, loaded only when the
/// help is first asked for.
///
/// It is never modal and stays usable beside the monitor's modal dialogs: whenever a modal
/// dialog would block it, it is placed above that dialog instead.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showContents();
    [[nodiscard]] QTextBrowser* browser() const { return browser_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followModalDialog();

    QTextBrowser* browser_ = nullptr;
    QPointer<QWidget> followed_; // the modal dialog the help stands above
};

/// The address of the contents page.
inline constexpr const char* kHelpContentsUrl = "qrc:/help/contents.html";

/// Opens the contents page of the help (the help command, and F1 in every window of the
/// program). `from` is the window the user asked from; the help lives as long as the
/// top-level window that owns it.
void showHelpContents(QWidget* from);

/// The help window once it has been opened, otherwise nullptr.
[[nodiscard]] HelpWindow* openedHelpWindow();

} // namespace ui
