// Mouse events go through the window system here, where a modal dialog blocks the windows
// beneath it: a click that arrives shows that a window is usable.
#define QTEST_QPA_MOUSE_HANDLING

#include "monitor_fixture.h"

#include "ui/help/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWindow>
#include <QtTest>

using testing_support::Monitor;
using testing_support::showAnd;

namespace {

const QUrl kContents(QString::fromLatin1(ui::kHelpContentsUrl));

// Every command of the main window, by the name of its action.
const char* const kCommands[] = {
    "FileExit1",         "ActionDeviceChoice",    "DeviceInitialization",
    "DeviceReset",       "SIaddressPusk",         "SIfilePusk",
    "SIstopChannel",     "SOsinglePusk",          "SOciclePusk",
    "SOstopChannel",     "SOdataClear",           "SOdataTest",
    "FileOpen1",         "FileSaveAs1",           "FormatList",
    "ParamFormat",       "TimerPeriod",           "HelpContents1",
    "mmRecording",       "mmLabelWatch",          "mmParameterChart",
    "mmLabelDatabase",   "mmUnloadLabelDatabase", "mmParameterStimulus",
    "mmRecordingReplay", "mmRecordingLimits",
};

const char* const kDialogs[] = {"TFrmDeviceChoice", "TFrmSObinParam", "TFrmFormatList",
                                "TFrmParamFormat", "TFrmTimerPeriod"};

QStringList helpPages() {
    return QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files);
}

QString pageSource(const QString& page) {
    QFile file(QStringLiteral(":/help/") + page);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

/// The text a reader sees on all pages, with every run of blanks as one space.
QString helpText() {
    QString text;
    for (const QString& page : helpPages()) {
        QTextDocument document;
        document.setHtml(pageSource(page));
        text += document.toPlainText() + QLatin1Char('\n');
    }
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return text.simplified();
}

/// "Канал → входной → адресный прием" for every item of the main window's menus.
void collectMenuPaths(const QMenu& menu, const QString& path, QStringList& paths) {
    for (QAction* item : menu.actions()) {
        if (item->isSeparator())
            continue;
        if (item->menu() != nullptr)
            collectMenuPaths(*item->menu(), path + item->text() + QStringLiteral(" → "), paths);
        else
            paths << path + item->text().section(QLatin1Char('\t'), 0, 0);
    }
}

ui::HelpWindow* shownHelp() {
    ui::HelpWindow* help = ui::openedHelpWindow();
    return help != nullptr && help->isVisible() ? help : nullptr;
}

/// Clicks "Содержание" while another page is shown: the help takes mouse input only when no
/// modal dialog blocks it.
void checkUsable(ui::HelpWindow& help) {
    help.browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
    auto* home = help.findChild<QPushButton*>(QStringLiteral("HelpHome"));
    QVERIFY(home != nullptr);
    QTest::mouseClick(home, Qt::LeftButton);
    QTRY_COMPARE(help.browser()->source(), kContents);
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path()); // the formats window writes its state file here
    }

    void startUpLoadsNoHelp() {
        Monitor m;
        QVERIFY(ui::openedHelpWindow() == nullptr);
        QVERIFY(m.main().findChild<ui::HelpWindow*>() == nullptr);
    }

    void theHelpCommandOpensTheContents_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("menu item") << "mmHelpContents";
        QTest::newRow("toolbar button") << "tbHelp";
        QTest::newRow("F1") << "F1";
    }
    void theHelpCommandOpensTheContents() {
        QFETCH(QString, control);
        Monitor m;
        m.main().show();
        QVERIFY(QTest::qWaitForWindowActive(&m.main()));
        if (control == QLatin1String("F1"))
            QTest::keyClick(&m.main(), Qt::Key_F1);
        else if (control == QLatin1String("tbHelp"))
            m.button("tbHelp")->click();
        else
            m.action("mmHelpContents")->trigger();

        ui::HelpWindow* help = shownHelp();
        QVERIFY(help != nullptr);
        QCOMPARE(help->browser()->source(), kContents);
        QCOMPARE(help->parentWidget(), &m.main());
        QVERIFY(!help->isModal());
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Содержание")));

        // Asked again from another page, it shows the contents in the same window.
        help->browser()->setSource(QUrl(QStringLiteral("qrc:/help/decimal.html")));
        m.action("HelpContents1")->trigger();
        QCOMPARE(ui::openedHelpWindow(), help);
        QCOMPARE(help->browser()->source(), kContents);
    }

    void f1InEachDialogOpensAHelpUsableBesideIt_data() {
        QTest::addColumn<QString>("dialogName");
        for (const char* name : kDialogs)
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void f1InEachDialogOpensAHelpUsableBesideIt() {
        QFETCH(QString, dialogName);
        Monitor m;
        m.main().show();
        QDialog* dialog = m.dialogNamed(dialogName);
        QVERIFY(dialog != nullptr);

        showAnd(*dialog, [&] {
            QWidget* focus = dialog->focusWidget();
            QTest::keyClick(focus != nullptr ? focus : dialog, Qt::Key_F1);
            ui::HelpWindow* help = shownHelp();
            QVERIFY(help != nullptr);
            QCOMPARE(help->browser()->source(), kContents);
            // The dialog stays open and modal; the help is not blocked by it.
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            QVERIFY(dialog->isVisible());
            checkUsable(*help);
            // It belongs to the main window, not to the dialog.
            QCOMPARE(help->parentWidget(), &m.main());
            help->close();
        });
        QVERIFY(!dialog->isVisible());
    }

    void aHelpAlreadyOpenStaysUsableWhenADialogOpens() {
        Monitor m;
        m.main().show();
        m.action("HelpContents1")->trigger();
        ui::HelpWindow* help = shownHelp();
        QVERIFY(help != nullptr);
        QDialog* dialog = m.dialogNamed(QStringLiteral("TFrmTimerPeriod"));
        showAnd(*dialog, [&] {
            QTRY_VERIFY(help->windowHandle()->transientParent() == dialog->windowHandle());
            checkUsable(*help);
        });
        // With the dialog closed, the help stands above the main window again.
        QVERIFY(help->isVisible());
        QTRY_VERIFY(help->windowHandle()->transientParent() == m.main().windowHandle());
        checkUsable(*help);
    }

    void theHelpNamesEveryWindowAndCommand() {
        Monitor m;
        const QString text = helpText();
        QVERIFY(text.size() > 20000);

        QVERIFY2(text.contains(m.main().windowTitle()), qPrintable(m.main().windowTitle()));
        for (const char* name : kDialogs) {
            const QString title = m.dialogNamed(QString::fromLatin1(name))->windowTitle();
            QVERIFY2(text.contains(title), name);
        }
        for (const char* name : kCommands) {
            const QAction* action = m.action(name);
            QVERIFY2(action != nullptr, name);
            QVERIFY2(text.contains(action->text()), name);
            if (!action->toolTip().isEmpty() && action->toolTip() != action->text())
                QVERIFY2(text.contains(action->toolTip()), qPrintable(action->toolTip()));
        }
        QStringList paths;
        for (QAction* top : m.main().menuBar()->actions())
            collectMenuPaths(*top->menu(), top->text() + QStringLiteral(" → "), paths);
        QCOMPARE(paths.size(), int(std::size(kCommands)));
        for (const QString& path : paths)
            QVERIFY2(text.contains(path), qPrintable(path));
    }

    void theHelpCoversStatusTextsFormatsAndSettings() {
        const QString text = helpText();
        const QStringList expected = {
            // status texts
            "Устройство", "ZELVA-1: серийный №", "Обновление экрана:-период", "-счетчик",
            "прием адресный", "прием файловый", "прием остановлен", "выдача однократная",
            "выдача циклическая", "выдача остановлена", "модули не обнаружены",
            "При выборе устройства происходит его сброс. Продолжить?",
            // decimal formats and files
            "знак", "данные", "№ ст.бита", "№ мл.бита", "цена ст.разряда", "единицы измерения",
            "0xE1388083", "+10000.000000", "-500.000000", "KST3frmt.stt", "*.so", "*.si",
            "01 00 00 01 FF FE", "C2 DB D1 CE D2 C0 00 00 00",
            // the simulated board, its settings and the trace
            "ZELVA1_SIM_CONFIG", "ZELVA1_DRIVER_TRACE", "ZELVA1_BACKEND", "IOCTL_SI_READ",
            "open failed", "fail-open"};
        for (const QString& phrase : expected)
            QVERIFY2(text.contains(phrase), qPrintable(phrase));
    }

    void everyLinkLeadsToAPageAndAnchorThatExist() {
        const QStringList pages = helpPages();
        QVERIFY(pages.contains(QStringLiteral("contents.html")));
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
        for (const QString& page : pages) {
            auto matches = link.globalMatch(pageSource(page));
            while (matches.hasNext()) {
                const QRegularExpressionMatch match = matches.next();
                const QString target = match.captured(1).isEmpty() ? page : match.captured(1);
                QVERIFY2(pages.contains(target), qPrintable(page + " -> " + target));
                const QString anchor = match.captured(2);
                if (!anchor.isEmpty())
                    QVERIFY2(pageSource(target).contains("name=\"" + anchor + "\""),
                             qPrintable(page + " -> " + target + "#" + anchor));
            }
        }
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
