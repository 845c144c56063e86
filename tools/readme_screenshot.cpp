// The picture in the README: the monitor on the simulated board, input 5 receiving the
// built-in stream decoded through the example formats, output 1 sending the test pattern.
//   readme_screenshot <examples folder> <picture.png>
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under xvfb-run. It reads the example
// format files and writes nothing but the picture.

#include "board/default_driver.h"
#include "ui/Devicechoice.h"
#include "ui/Mainform.h"
#include "ui/MonitorWindows.h"
#include "ui/Paramformat.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTabBar>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

/// Yes to every question; the example assignment file whenever a file is to be read.
class ExampleAnswers final : public ui::Prompts {
public:
    explicit ExampleAnswers(QString assignmentFile) : assignmentFile_(std::move(assignmentFile)) {}
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    QString chooseFileToOpen(QWidget*, const QString&, const QString&) override {
        return assignmentFile_;
    }
    QString chooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void warn(QWidget*, const QString&, const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    void beep() override {}

private:
    QString assignmentFile_;
};

void run(ui::TMainFrm& main, const char* command) {
    main.findChild<QAction*>(QString::fromLatin1(command))->trigger();
}

/// A modal dialog opened by `command`, answered by `step` once it shows.
void runWithDialog(ui::TMainFrm& main, const char* command, const std::function<void()>& step) {
    QTimer::singleShot(0, step);
    run(main, command);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: readme_screenshot <examples folder> <picture.png>\n");
        return 2;
    }
    const QDir examples(QString::fromLocal8Bit(argv[1]));
    // The format state file is read from the working folder.
    QDir::setCurrent(examples.absolutePath());
    ExampleAnswers prompts(examples.absoluteFilePath(QStringLiteral("builtin-traffic.si")));
    const auto driver = board::makeDefaultDriver();
    ui::MonitorWindows windows(*driver, prompts);
    ui::TMainFrm& main = windows.mainForm();
    main.resize(1180, 640);
    main.show();

    runWithDialog(main, "ParamFormat", [&] {
        windows.paramFormat().FileOpen1->trigger();
        windows.paramFormat().close();
    });
    runWithDialog(main, "ActionDeviceChoice", [&] { windows.deviceChoice().Button1->click(); });
    run(main, "DeviceInitialization");
    run(main, "SOdataTest");
    run(main, "SOciclePusk");
    main.findChild<QTabBar*>(QStringLiteral("SI"))->setCurrentIndex(4);
    run(main, "SIfilePusk");
    // The simulated board runs on the real clock: let words arrive between ticks.
    for (int tick = 0; tick < 4; ++tick) {
        QThread::msleep(250);
        main.Timer1Timer();
        QApplication::processEvents();
    }
    // A palette of 256 colours keeps the committed picture small; the window has few colours.
    const QImage picture = main.grab().toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    if (!picture.save(QString::fromLocal8Bit(argv[2]), "PNG", 0)) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
