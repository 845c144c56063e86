#include "scripted_prompts.h"

#include "formats/assignment_table.h"
#include "formats/cp1251.h"
#include "tests/formats/table_fixtures.h"
#include "ui/dialogs/Paramformat.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <memory>
#include <utility>

using formats_testing::makeAssignment;
using formats_testing::makeFormat;

namespace {

// The window over its two tables, with both grids' models under the model tester.
struct Window {
    formats::AssignmentTable assignments;
    formats::DecimalFormatTable formats;
    testing_support::ScriptedPrompts prompts;
    std::unique_ptr<ui::TFrmParamFormat> dialog;
    std::unique_ptr<QAbstractItemModelTester> assignmentTester;
    std::unique_ptr<QAbstractItemModelTester> formatTester;

    void open() {
        dialog = std::make_unique<ui::TFrmParamFormat>(assignments, formats, prompts);
        assignmentTester = std::make_unique<QAbstractItemModelTester>(
            grid2()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        formatTester = std::make_unique<QAbstractItemModelTester>(
            grid1()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    [[nodiscard]] QTableView* grid1() const { return dialog->DrawGrid1; }
    [[nodiscard]] QTableView* grid2() const { return dialog->DrawGrid2; }
    [[nodiscard]] int rows2() const { return grid2()->model()->rowCount(); }
    [[nodiscard]] QString cell2(int row, int column) const {
        return grid2()->model()->index(row, column).data().toString();
    }
    [[nodiscard]] QColor labelColour(int row) const {
        return grid2()->model()->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    }

    // Opens the editor of an assignment cell (it opens empty) and types into it.
    QLineEdit* type(int row, int column, const QString& text) {
        const QModelIndex index = grid2()->model()->index(row, column);
        grid2()->setCurrentIndex(index);
        grid2()->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(grid2()->indexWidget(index));
        if (editor == nullptr)
            qWarning("no editor opened");
        else
            QTest::keyClicks(editor, text);
        return editor;
    }
    // Enter closes the editor through a queued call.
    void pressEnter(QLineEdit* editor) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    void doubleClickFormatList(QPoint at) {
        QTest::mouseDClick(grid1()->viewport(), Qt::LeftButton, {}, at);
    }
    [[nodiscard]] QPoint formatCellCentre(int row, int column) const {
        return grid1()->visualRect(grid1()->model()->index(row, column)).center();
    }
};

void fillTwoFormats(formats::DecimalFormatTable& table) {
    table.slots[0] = makeFormat("ALT", 28, 9, 65536.0f, "ft");
    table.slots[1] = makeFormat("SPD", 28, 14, 512.0f, "kn");
    table.formatCount = 2;
}

QString label(const formats::ParamFormatAssignment& assignment) {
    return QString::fromStdString(std::string(formats::fieldText(assignment.formatLabel)));
}

void writeRecords(const QString& path, int count) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int record = 0; record < count; ++record) {
        const auto assignment = makeAssignment(static_cast<std::uint8_t>(record % 255 + 1),
                                               static_cast<std::uint8_t>(record % 8 + 1), "ALT");
        file.write(reinterpret_cast<const char*>(&assignment), sizeof assignment);
    }
}

} // namespace

class ParamformatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutNamesTextsAndSizes() {
        Window w;
        fillTwoFormats(w.formats);
        w.open();
        ui::TFrmParamFormat& d = *w.dialog;
        QCOMPARE(d.objectName(), QStringLiteral("TFrmParamFormat"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Форматы параметров"));
        QCOMPARE(d.size(), QSize(762, 509));
        QVERIFY(!d.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!d.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(d.findChild<QWidget*>(QStringLiteral("Panel1"))->width(), 233);
        QCOMPARE(d.findChild<QWidget*>(QStringLiteral("Panel2"))->height(), 40);

        QCOMPARE(d.btReadFile->objectName(), QStringLiteral("btReadFile"));
        QCOMPARE(d.btReadFile->defaultAction(), d.FileOpen1);
        QCOMPARE(d.btWriteFile->defaultAction(), d.FileSaveAs1);
        QCOMPARE(d.btReadFile->text(), QStringLiteral("Восстановить"));
        QCOMPARE(d.btWriteFile->text(), QStringLiteral("Сохранить"));
        QCOMPARE(d.FileOpen1->objectName(), QStringLiteral("FileOpen1"));
        QCOMPARE(d.FileSaveAs1->objectName(), QStringLiteral("FileSaveAs1"));
        QCOMPARE(d.FileOpen1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(d.btAdd->text(), QStringLiteral("+"));
        QCOMPARE(d.btDelete->text(), QStringLiteral("-"));
        QCOMPARE(d.Label1->text(), QStringLiteral("Десятичные параметры:"));
        QVERIFY(d.btReadFile->x() < d.btWriteFile->x());
        QVERIFY(d.btWriteFile->x() < d.btAdd->x());
        QVERIFY(d.btAdd->x() < d.btDelete->x());

        QCOMPARE(w.grid2()->objectName(), QStringLiteral("DrawGrid2"));
        const QStringList headers2 = {"  АП  ", " № канала", " метка"};
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(w.grid2()->model()->headerData(c, Qt::Horizontal).toString(), headers2[c]);
        }
        const QStringList headers1 = {" метка",    "29-й бит",        "№ ст.бита",
                                      "№ мл.бита", "цена ст.разряда", "единицы измерения"};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(w.grid1()->model()->headerData(c, Qt::Horizontal).toString(), headers1[c]);
        }
        QCOMPARE(w.grid1()->font().pixelSize(), 11);
        QCOMPARE(w.grid2()->font().pixelSize(), 11);
        QCOMPARE(w.grid1()->toolTip(),
                 QStringLiteral("двойной щелчок мыши перенесет метку формата в выбранную "
                                "строку таблицы форматов параметров"));
        QCOMPARE(w.grid1()->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void hintShowsAnywhereOnTheFormatList() {
        Window w;
        fillTwoFormats(w.formats);
        w.open();
        for (QWidget* area : {w.grid1()->viewport(), w.grid1()->horizontalHeader()->viewport()}) {
            QToolTip::hideText();
            const QPoint at(area->width() - 5, area->height() - 3); // no cell there
            QHelpEvent help(QEvent::ToolTip, at, area->mapToGlobal(at));
            QApplication::sendEvent(area, &help);
            QCOMPARE(QToolTip::text(), w.grid1()->toolTip());
        }
    }

    void gridsShowCountPlusOneRowsOrTwo() {
        Window w;
        w.open();
        QCOMPARE(w.rows2(), 1);
        QCOMPARE(w.grid1()->model()->rowCount(), 1);
        QCOMPARE(w.cell2(0, 0), QStringLiteral("      0"));
        w.dialog->hide();

        fillTwoFormats(w.formats);
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0206, 12, "SPD");
        w.assignments.assignmentCount = 2;
        w.dialog->show();
        QCOMPARE(w.rows2(), 2);
        QCOMPARE(w.cell2(0, 0), QStringLiteral("    310"));
        QCOMPARE(w.cell2(1, 1), QStringLiteral("     12"));
        QCOMPARE(w.cell2(1, 2), QStringLiteral("SPD"));
        QAbstractItemModel* list = w.grid1()->model();
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->index(1, 0).data().toString(), QStringLiteral("SPD"));
        QCOMPARE(list->index(1, 1).data().toString(), QStringLiteral("знак"));
        QCOMPARE(list->index(1, 2).data().toString(), QStringLiteral("     28"));
        QCOMPARE(list->index(1, 4).data().toString(), QStringLiteral(" 512.000000"));
        QCOMPARE(list->index(1, 5).data().toString(), QStringLiteral("kn"));
        const QColor face = QGuiApplication::palette().color(QPalette::Button);
        QCOMPARE(list->index(0, 3).data(Qt::BackgroundRole).value<QBrush>().color(), face);
    }

    void addressIsOctalAndHeldTo377() {
        Window w;
        w.open();
        QLineEdit* editor = w.type(0, 0, QStringLiteral("400"));
        QVERIFY(editor);
        QCOMPARE(w.assignments.slots[0].address, 0377);
        QCOMPARE(w.prompts.beeps, 1);
        QCOMPARE(w.cell2(0, 0), QStringLiteral("    377"));
        w.pressEnter(editor); // closing the editor does not judge the text again
        QCOMPARE(w.prompts.beeps, 1);
        QCOMPARE(w.assignments.slots[0].address, 0377);

        w.type(0, 0, QStringLiteral("12"));
        QCOMPARE(w.assignments.slots[0].address, 012);
        QCOMPARE(w.prompts.beeps, 1);
    }

    void addressRefusesEightAndNine() {
        Window w;
        w.assignments.slots[0] = makeAssignment(012, 1, "ALT");
        w.assignments.assignmentCount = 1;
        w.open();
        QLineEdit* editor = w.type(0, 0, QStringLiteral("8"));
        QCOMPARE(w.prompts.beeps, 1);
        QCOMPARE(w.assignments.slots[0].address, 012);
        QTest::keyClicks(editor, QStringLiteral("9"));
        QCOMPARE(w.prompts.beeps, 2);
        QCOMPARE(w.assignments.slots[0].address, 012);
        QCOMPARE(w.cell2(0, 0), QStringLiteral("     12"));
        // Leaving an editor untouched neither beeps nor stores.
        w.pressEnter(editor);
        w.pressEnter(w.type(0, 1, QString()));
        QCOMPARE(w.prompts.beeps, 2);
        QCOMPARE(w.assignments.slots[0].channel, 1);
    }

    void channelIsOneThroughEight() {
        Window w;
        w.open();
        QLineEdit* editor = w.type(0, 1, QStringLiteral("3"));
        QCOMPARE(w.assignments.slots[0].channel, 3);
        QCOMPARE(w.cell2(0, 1), QStringLiteral("      3"));
        QCOMPARE(w.prompts.beeps, 0);
        QTest::keyClicks(editor, QStringLiteral("4")); // "34": longer than one character
        QCOMPARE(w.prompts.beeps, 1);
        QCOMPARE(w.assignments.slots[0].channel, 3);
        w.pressEnter(editor);

        for (const QString& typed : {QStringLiteral("9"), QStringLiteral("0")}) {
            w.pressEnter(w.type(0, 1, typed)); // keys outside 1..8
            QCOMPARE(w.assignments.slots[0].channel, 3);
        }
        QCOMPARE(w.prompts.beeps, 3);

        // Pasted text passes the key filter and is held to the range, with a beep.
        const std::pair<const char*, int> pastes[] = {{"0", 1}, {"9", 8}};
        for (const auto& [text, channel] : pastes) {
            QApplication::clipboard()->setText(QString::fromLatin1(text));
            editor = w.type(0, 1, QString());
            const int before = w.prompts.beeps;
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(w.assignments.slots[0].channel, channel);
            QCOMPARE(w.prompts.beeps, before + 1);
            w.pressEnter(editor);
        }
    }

    void typedLabelsAreNotStored() {
        Window w;
        fillTwoFormats(w.formats);
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.assignmentCount = 1;
        w.open();
        w.pressEnter(w.type(0, 2, QStringLiteral("SPD")));
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("ALT"));
        QCOMPARE(w.cell2(0, 2), QStringLiteral("ALT"));
        QCOMPARE(w.prompts.beeps, 0);
    }

    void labelsNamingNoCountedFormatAreRed() {
        Window w;
        fillTwoFormats(w.formats);
        w.formats.slots[2] = makeFormat("HDG", 28, 9, 90.0f, "deg"); // beyond formatCount
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0311, 1, "HDG");
        w.assignments.slots[2] = makeAssignment(0312, 1, "alt");
        w.assignments.slots[3] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 4;
        w.open();
        QCOMPARE(w.labelColour(0), QColor(Qt::black));
        QCOMPARE(w.labelColour(1), QColor(Qt::red));
        QCOMPARE(w.labelColour(2), QColor(Qt::red));
        QCOMPARE(w.labelColour(3), QColor(Qt::black));
        QCOMPARE(w.grid2()->model()->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::black));
    }

    void doubleClickCarriesTheLabelIntoTheCurrentRow() {
        Window w;
        fillTwoFormats(w.formats);
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0206, 2, "OLD");
        w.assignments.assignmentCount = 2;
        w.open();
        w.grid2()->setCurrentIndex(w.grid2()->model()->index(1, 0));

        w.doubleClickFormatList(w.formatCellCentre(1, 3));
        QCOMPARE(w.grid1()->currentIndex().row(), 1);
        QCOMPARE(label(w.assignments.slots[1]), QStringLiteral("SPD"));
        QCOMPARE(w.cell2(1, 2), QStringLiteral("SPD"));
        QCOMPARE(w.assignments.slots[1].address, 0206);
        QCOMPARE(w.assignments.slots[1].channel, 2);
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("ALT"));

        // On the header row the list's current row is the one transferred.
        w.grid2()->setCurrentIndex(w.grid2()->model()->index(0, 0));
        QHeaderView* header = w.grid1()->horizontalHeader();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("SPD"));
    }

    void doubleClickOutsideEveryCellDoesNothing() {
        Window w;
        fillTwoFormats(w.formats);
        w.assignments.slots[0] = makeAssignment(0310, 1, "OLD");
        w.assignments.assignmentCount = 1;
        w.open();
        w.grid2()->setCurrentIndex(w.grid2()->model()->index(0, 0));
        const QRect lastRow = w.grid1()->visualRect(w.grid1()->model()->index(1, 0));
        const QPoint below(lastRow.center().x(), lastRow.bottom() + 20);
        QVERIFY(!w.grid1()->indexAt(below).isValid());
        w.doubleClickFormatList(below);
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("OLD"));
        // Right of the last column too.
        w.doubleClickFormatList(QPoint(w.grid1()->viewport()->width() - 3, lastRow.center().y()));
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("OLD"));
    }

    void deleteRemovesTheRowAndEveryIncompleteOne() {
        Window w;
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0206, 0, "SPD"); // channel 0: incomplete
        w.assignments.slots[2] = makeAssignment(0206, 2, "SPD");
        w.assignments.slots[3] = makeAssignment(0311, 3, "HDG");
        w.assignments.assignmentCount = 4;
        w.open();
        w.grid2()->setCurrentIndex(w.grid2()->model()->index(2, 0));
        w.dialog->btDelete->click();
        QCOMPARE(w.assignments.assignmentCount, 2);
        QCOMPARE(w.rows2(), 2);
        QCOMPARE(w.cell2(0, 2), QStringLiteral("ALT"));
        QCOMPARE(w.cell2(1, 2), QStringLiteral("HDG"));

        w.dialog->btAdd->click();
        QCOMPARE(w.rows2(), 3);
        QCOMPARE(w.cell2(2, 0), QStringLiteral("      0"));
        QCOMPARE(w.cell2(2, 1), QStringLiteral("      0"));
        QCOMPARE(w.cell2(2, 2), QString());

        w.grid2()->setCurrentIndex(w.grid2()->model()->index(0, 0));
        w.dialog->btDelete->click();
        w.dialog->btDelete->click();
        QCOMPARE(w.assignments.assignmentCount, 0);
        QCOMPARE(w.rows2(), 1); // never fewer than one data row
    }

    void addStopsAt256Rows() {
        Window w;
        w.open();
        for (int click = 0; click < 300; ++click)
            w.dialog->btAdd->click();
        QCOMPARE(w.rows2(), 256);
    }

    void closingCompactsOnly() {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        Window w;
        w.assignments.slots[0] = makeAssignment(0, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 2;
        w.open();
        QLineEdit* editor = w.type(0, 1, QStringLiteral("5"));
        QVERIFY(editor);
        w.dialog->close();
        QCOMPARE(w.assignments.assignmentCount, 1);
        QCOMPARE(label(w.assignments.slots[0]), QStringLiteral("SPD"));
        QCOMPARE(w.assignments.slots[0].channel, 2);
        QCOMPARE(w.assignments.slots[1].channel, 0);
        QCOMPARE(w.grid2()->indexWidget(w.grid2()->model()->index(0, 1)), nullptr);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(w.prompts.fileDialogs.isEmpty());
    }

    void saveThenLoadRestoresTheRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("params.si"));
        const QString filter = QStringLiteral("Файлы форматов входных параметров(*.si);;*.*");
        Window w;
        fillTwoFormats(w.formats);
        w.assignments.slots[0] = makeAssignment(0310, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0, 1, "SPD"); // dropped by the save
        w.assignments.slots[2] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 3;
        w.open();
        w.prompts.fileAnswers = {path};
        w.dialog->btWriteFile->click();
        QCOMPARE(w.prompts.fileDialogs, QStringList{filter + QStringLiteral("|.|si")});
        QCOMPARE(QFileInfo(path).size(), 22);
        QCOMPARE(w.rows2(), 2);

        w.grid2()->setCurrentIndex(w.grid2()->model()->index(0, 0));
        w.dialog->btDelete->click();
        w.dialog->btDelete->click();
        QCOMPARE(w.rows2(), 1);

        w.prompts.fileAnswers = {path};
        w.dialog->FileOpen1->trigger();
        QCOMPARE(w.prompts.fileDialogs.last(), filter + QStringLiteral("|.|"));
        QCOMPARE(w.rows2(), 2);
        QCOMPARE(w.assignments.assignmentCount, 2);
        QCOMPARE(w.cell2(0, 0), QStringLiteral("    310"));
        QCOMPARE(w.cell2(0, 2), QStringLiteral("ALT"));
        QCOMPARE(w.cell2(1, 0), QStringLiteral("    206"));
        QCOMPARE(w.cell2(1, 1), QStringLiteral("      2"));
        QCOMPARE(w.cell2(1, 2), QStringLiteral("SPD"));
        QVERIFY(w.prompts.questions.isEmpty());
    }

    void cancelledDialogsChangeNothing() {
        Window w;
        w.assignments.slots[0] = makeAssignment(0, 1, "ALT"); // incomplete, not compacted
        w.assignments.slots[1] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 2;
        w.open();
        w.dialog->btWriteFile->click();
        w.dialog->btReadFile->click();
        QCOMPARE(w.prompts.fileDialogs.size(), 2);
        QCOMPARE(w.rows2(), 2);
        QCOMPARE(w.assignments.slots[0].channel, 1);
        QCOMPARE(w.assignments.assignmentCount, 2);
    }

    void loadingMoreThan256RecordsWarnsOfTheRest() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.si"));
        writeRecords(path, 260);
        Window w;
        w.open();
        w.prompts.fileAnswers = {path};
        w.dialog->btReadFile->click();
        QCOMPARE(w.rows2(), 256);
        QCOMPARE(w.assignments.assignmentCount, 256);
        QCOMPARE(w.prompts.questions,
                 QStringList{QStringLiteral("Форматы параметров|В файле больше 256 записей. "
                                            "Загружены первые 256, остальные записи (4) "
                                            "пропущены.")});
    }

    void aPathThatIsNoFileIsPassedOverSilently() {
        QTemporaryDir dir;
        Window w;
        w.assignments.slots[0] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 1;
        w.open();
        const QString missing = QStringLiteral("/nonexistent-folder/none.si");
        w.prompts.fileAnswers = {missing, dir.path()};
        w.dialog->btReadFile->click();
        w.dialog->btReadFile->click();
        QCOMPARE(w.assignments.slots[0].channel, 2);
        QCOMPARE(w.rows2(), 1);
        QVERIFY(w.prompts.questions.isEmpty());
    }

    void failedSaveWarns() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing-folder/params.si"));
        Window w;
        w.assignments.slots[0] = makeAssignment(0206, 2, "SPD");
        w.assignments.assignmentCount = 1;
        w.open();
        w.prompts.fileAnswers = {path};
        w.dialog->btWriteFile->click();
        QCOMPARE(w.prompts.questions.size(), 1);
        const QString expectedStart = QStringLiteral("Форматы параметров|Не удалось сохранить "
                                                     "файл \"") +
                                      path + QStringLiteral("\" (");
        QVERIFY2(w.prompts.questions[0].startsWith(
                     expectedStart + QStringLiteral("файл или папка не найдены (код ")),
                 qPrintable(w.prompts.questions[0]));
        QVERIFY(w.prompts.questions[0].endsWith(
            QStringLiteral("Прежний файл, если он был, остался без изменений.")));
        QVERIFY(!QFileInfo::exists(path));
    }

    void rendersForALook() {
        // ZELVA_SCREENSHOT_DIR=<folder> keeps a picture of the window there.
        const QByteArray folder = qgetenv("ZELVA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("ZELVA_SCREENSHOT_DIR not set");
        Window w;
        fillTwoFormats(w.formats);
        w.formats.slots[2] = makeFormat("\xea\xf3\xf0\xf1", 29, 9, 180.0f, "\xe3\xf0\xe0\xe4", 1);
        w.formats.formatCount = 3;
        w.assignments.slots[0] = makeAssignment(0203, 1, "ALT");
        w.assignments.slots[1] = makeAssignment(0206, 1, "SPD");
        w.assignments.slots[2] = makeAssignment(0314, 2, "\xea\xf3\xf0\xf1");
        w.assignments.slots[3] = makeAssignment(0377, 8, "NONE");
        w.assignments.assignmentCount = 4;
        w.open();
        QVERIFY(w.dialog->grab().save(
            QDir(QString::fromLocal8Bit(folder)).filePath(QStringLiteral("paramformat.png"))));
    }
};

QTEST_MAIN(ParamformatTest)
#include "paramformat_test.moc"
