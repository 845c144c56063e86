#include "HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {
namespace {

QString& helpFileName() {
    static QString name;
    return name;
}

} // namespace

void setHelpFile(const QString& path) { helpFileName() = path; }

QString helpFile() { return helpFileName(); }

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    resize(720, 640);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpWindow::showContents() {
    browser_->setSource(QUrl(QStringLiteral("qrc:/help/contents.html")));
    show();
    raise();
    activateWindow();
}

void showHelpContents(QWidget* parent) {
#ifdef Q_OS_WIN
    if (QFileInfo::exists(helpFile()) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile())))
        return;
#endif
    static QPointer<HelpWindow> window;
    if (window.isNull())
        window = new HelpWindow(parent ? parent->window() : nullptr);
    window->showContents();
}

} // namespace ui
