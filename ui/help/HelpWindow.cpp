#include "ui/help/HelpWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace ui {
namespace {

QString& helpFileName() {
    static QString name;
    return name;
}

QPointer<HelpWindow>& helpWindowPointer() {
    static QPointer<HelpWindow> window;
    return window;
}

/// The outermost window above `from`: the main window for every dialog of the monitor, so
/// the help outlives a file dialog or message box that F1 was pressed in.
QWidget* ownerOf(QWidget* from) {
    QWidget* window = from != nullptr ? from->window() : nullptr;
    while (window != nullptr && window->parentWidget() != nullptr)
        window = window->parentWidget()->window();
    return window;
}

/// @brief F1 in any window. The main window's help command takes F1 itself while nothing
/// blocks it; a modal dialog does block it, and the key then arrives here.
class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && key->key() == Qt::Key_F1 &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                showHelpContents(widget);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void setHelpFile(const QString& path) { helpFileName() = path; }

QString helpFile() { return helpFileName(); }

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(780, 700);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* back = new QPushButton(QStringLiteral("Назад"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setEnabled(false);
    auto* contents = new QPushButton(QStringLiteral("Содержание"), this);
    contents->setObjectName(QStringLiteral("HelpHome"));
    for (QPushButton* button : {back, contents}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
}

void HelpWindow::showContents() {
    browser_->setSource(QUrl(QString::fromLatin1(kHelpContentsUrl)));
    show();
    followModalDialog();
    raise();
    activateWindow();
}

bool HelpWindow::event(QEvent* event) {
    // A modal dialog opened while the help is showing: move above it once it is up.
    if (event->type() == QEvent::WindowBlocked)
        QMetaObject::invokeMethod(this, &HelpWindow::followModalDialog, Qt::QueuedConnection);
    return QDialog::event(event);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // The dialog the help stood above has closed: back to its owner, or the next dialog.
    if (watched == followed_ && event->type() == QEvent::Hide) {
        followed_->removeEventFilter(this);
        followed_ = nullptr;
        QMetaObject::invokeMethod(this, &HelpWindow::followModalDialog, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void HelpWindow::followModalDialog() {
    QWindow* mine = windowHandle();
    if (!isVisible() || mine == nullptr)
        return;
    // A modal dialog blocks every window but those above it, so the help becomes a
    // transient window of the dialog; with none open it belongs to its owner again.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* above = modal != nullptr ? modal : parentWidget();
    QWindow* theirs = above != nullptr ? above->window()->windowHandle() : nullptr;
    if (theirs == nullptr || mine->transientParent() == theirs)
        return;
    mine->setTransientParent(theirs);
    if (modal != nullptr && modal != followed_) {
        if (followed_ != nullptr)
            followed_->removeEventFilter(this);
        followed_ = modal;
        modal->installEventFilter(this);
    }
}

void showHelpContents(QWidget* from) {
#ifdef Q_OS_WIN
    if (QFileInfo::exists(helpFile()) && QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile())))
        return;
#endif
    QPointer<HelpWindow>& window = helpWindowPointer();
    if (window.isNull())
        window = new HelpWindow(ownerOf(from));
    window->showContents();
}

HelpWindow* openedHelpWindow() { return helpWindowPointer().data(); }

} // namespace ui

namespace {

void installHelpKey() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new ui::HelpKey(application));
}

} // namespace

// Every program built on these windows answers F1 from its first window on.
Q_COREAPP_STARTUP_FUNCTION(installHelpKey)
