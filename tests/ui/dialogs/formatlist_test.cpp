#include "scripted_prompts.h"
#include "tests/formats/table_fixtures.h"

#include "formats/format_state_file.h"
#include "ui/dialogs/Formatlist.h"
#include "ui/dialogs/FormatlistModel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using formats_testing::makeFormat; // labels and units given in cp1251

// QTest::keyClicks takes Latin-1 only: other characters are sent as key events with their text.
void typeKeys(QWidget* widget, const QString& keys) {
    for (const QChar ch : keys) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, ch.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        }
    }
}

// The window over its own table, shown, with its model under the model tester.
struct Window {
    explicit Window(std::initializer_list<formats::DecimalFormat> formats = {}) {
        for (const auto& format : formats)
            table.slots[table.formatCount++] = format;
        dialog = std::make_unique<ui::TFrmFormatList>(table, prompts);
        tester = std::make_unique<QAbstractItemModelTester>(
            &dialog->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dialog->show();
    }

    [[nodiscard]] QTableView* grid() const { return dialog->DrawGrid1; }
    [[nodiscard]] QString cell(int row, int column) const {
        return dialog->model().index(row, column).data().toString();
    }
    [[nodiscard]] int rows() const { return dialog->model().rowCount(); }

    QLineEdit* openEditor(int row, int column) {
        const QModelIndex index = dialog->model().index(row, column);
        grid()->setCurrentIndex(index);
        grid()->edit(index);
        return qobject_cast<QLineEdit*>(grid()->indexWidget(index));
    }
    /// Types `keys` into the cell's editor one key at a time, then leaves it with Enter.
    void type(int row, int column, const QString& keys) {
        QLineEdit* editor = openEditor(row, column);
        QVERIFY(editor != nullptr);
        typeKeys(editor, keys);
        leave(editor);
    }
    /// Enter closes the editor from the event loop, as it does for a user.
    static void leave(QLineEdit* editor) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void pressOn(int row, int column) {
        const QRect rect = grid()->visualRect(dialog->model().index(row, column));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    formats::DecimalFormatTable table;
    testing_support::ScriptedPrompts prompts;
    std::unique_ptr<ui::TFrmFormatList> dialog;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class FormatlistTest : public QObject {
    Q_OBJECT

private:
    // Every test that closes the window writes its state file into a folder of its own.
    std::unique_ptr<QTemporaryDir> workDir;

private Q_SLOTS:
    void init() {
        workDir = std::make_unique<QTemporaryDir>();
        QVERIFY(workDir->isValid());
        QDir::setCurrent(workDir->path());
    }
    void cleanup() {
        QDir::setCurrent(QDir::tempPath());
        workDir.reset();
    }

    void windowControlsAndTexts() {
        Window w({makeFormat("ALT", 28, 12, 65536.0F, "\xF4\xF3\xF2", 1)}); // "фут"
        auto& d = *w.dialog;
        QCOMPARE(d.objectName(), QStringLiteral("TFrmFormatList"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Десятичные форматы"));
        QCOMPARE(d.size(), QSize(522, 640));
        QVERIFY(!(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);

        QCOMPARE(d.btAdd->text(), QStringLiteral("+"));
        QCOMPARE(d.btDelete->text(), QStringLiteral("-"));
        for (QPushButton* button : {d.btAdd, d.btDelete}) {
            QVERIFY(button->font().bold());
            QCOMPARE(button->font().pixelSize(), 27);
            QCOMPARE(button->height(), 32);
            QCOMPARE(button->width(), 32);
        }
        QCOMPARE(d.btDelete->mapTo(&d, QPoint(d.btDelete->width(), 0)), QPoint(d.width(), 0));
        QCOMPARE(d.btAdd->geometry().right() + 1, d.btDelete->geometry().left());
        QCOMPARE(d.DrawGrid1->mapTo(&d, QPoint(0, 0)).y(), 32);

        QCOMPARE(d.DrawGrid1->objectName(), QStringLiteral("DrawGrid1"));
        QCOMPARE(d.DrawGrid1->font().pixelSize(), 11);
        const QStringList headers = {" метка",    "29-й бит",        "№ ст.бита",
                                     "№ мл.бита", "цена ст.разряда", "единицы измерения"};
        QHeaderView* header = d.DrawGrid1->horizontalHeader();
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(d.model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     headers[column]);
            QCOMPARE(header->sectionResizeMode(column), QHeaderView::Interactive);
        }
        QVERIFY(!d.DrawGrid1->verticalHeader()->isVisible());

        QCOMPARE(w.rows(), 1);
        const QStringList row = {"ALT", "данные", "     28", "     12", " 65536.000000", "фут"};
        for (int column = 0; column < 6; ++column)
            QCOMPARE(w.cell(0, column), row[column]);

        QCOMPARE(d.ComboBox1->objectName(), QStringLiteral("ComboBox1"));
        QCOMPARE(d.ComboBox1->count(), 2);
        QCOMPARE(d.ComboBox1->itemText(0), QStringLiteral("знак"));
        QCOMPARE(d.ComboBox1->itemText(1), QStringLiteral("данные"));
        QVERIFY(!d.ComboBox1->isVisible());
    }

    void emptyTableShowsOneEmptyRowAndClosingWritesAnEmptyFile() {
        Window w;
        QCOMPARE(w.rows(), 1);
        QCOMPARE(w.cell(0, 0), QString());
        QCOMPARE(w.cell(0, 1), QStringLiteral("знак"));
        QCOMPARE(w.cell(0, 2), QStringLiteral("      0"));
        QCOMPARE(w.cell(0, 4), QStringLiteral(" 0.000000"));
        w.dialog->close();
        QVERIFY(!w.dialog->isVisible());
        QCOMPARE(w.table.formatCount, 0);
        QVERIFY(QFileInfo::exists(QStringLiteral("KST3frmt.stt")));
        QCOMPARE(fileBytes(QStringLiteral("KST3frmt.stt")), QByteArray());
        QVERIFY(w.prompts.questions.isEmpty());
    }

    void bitNumberEntries_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("bit29Mode");
        QTest::addColumn<int>("msb");
        QTest::addColumn<int>("lsb");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("beeps");
        // Every key is a change of the text: "35" passes 3 (raised to 9 silently) on its way.
        QTest::newRow("MSB 5 -> 9 silently") << 2 << 1 << 20 << 0 << "5" << 9 << 0;
        QTest::newRow("MSB 35 -> 29") << 2 << 1 << 20 << 0 << "35" << 29 << 1;
        QTest::newRow("MSB 35 on sign -> 28") << 2 << 0 << 20 << 0 << "35" << 28 << 2;
        QTest::newRow("MSB 29 on sign -> 28") << 2 << 0 << 20 << 0 << "29" << 28 << 1;
        QTest::newRow("MSB 29 on data") << 2 << 1 << 20 << 0 << "29" << 29 << 0;
        QTest::newRow("MSB -1 -> 29") << 2 << 1 << 20 << 0 << "-1" << 29 << 2;
        QTest::newRow("MSB below LSB") << 2 << 1 << 20 << 14 << "12" << 14 << 2;
        QTest::newRow("MSB three digits") << 2 << 1 << 20 << 0 << "123" << 12 << 1;
        QTest::newRow("LSB above MSB") << 3 << 1 << 20 << 0 << "25" << 20 << 1;
        QTest::newRow("LSB on a fresh row") << 3 << 1 << 0 << 0 << "12" << 0 << 2;
        QTest::newRow("LSB 5 -> 9 silently") << 3 << 1 << 20 << 0 << "5" << 9 << 0;
        QTest::newRow("letter in MSB") << 2 << 1 << 20 << 0 << "1a" << 9 << 1;
    }
    void bitNumberEntries() {
        QFETCH(int, column);
        QFETCH(int, bit29Mode);
        QFETCH(int, msb);
        QFETCH(int, lsb);
        QFETCH(QString, keys);
        QFETCH(int, stored);
        QFETCH(int, beeps);
        Window w({makeFormat("A", static_cast<std::uint8_t>(msb), static_cast<std::uint8_t>(lsb),
                             1.0F, "m", static_cast<std::uint8_t>(bit29Mode))});
        w.type(0, column, keys);
        const auto& slot = w.table.slots[0];
        QCOMPARE(int(column == 2 ? slot.msbBit : slot.lsbBit), stored);
        QCOMPARE(w.prompts.beeps, beeps);
        QCOMPARE(w.cell(0, column), QString::asprintf(" %6d", stored));
    }

    void nonDigitsBeepAndTheNextDigitMakesTheWholeTextCount() {
        Window w({makeFormat("A", 20, 9, 1.0F, "m")});
        w.type(0, 4, QStringLiteral("0.5"));
        QCOMPARE(w.table.slots[0].msbWeight, 0.5F);
        QCOMPARE(w.prompts.beeps, 1);
        QCOMPARE(w.cell(0, 4), QStringLiteral(" 0.500000"));

        // Backspace passes the key filter: "2x" loses its letter and reads as 25.
        QLineEdit* editor = w.openEditor(0, 2);
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("2x"));
        QCOMPARE(w.prompts.beeps, 2);
        QCOMPARE(w.table.slots[0].msbBit, 9); // "2" raised to 9 without a beep
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, QStringLiteral("5"));
        Window::leave(editor);
        QCOMPARE(w.table.slots[0].msbBit, 25);
        QCOMPARE(w.prompts.beeps, 2);

        w.type(0, 4, QStringLiteral("-2"));
        QCOMPARE(w.table.slots[0].msbWeight, -2.0F);
        QCOMPARE(w.prompts.beeps, 3);
    }

    void labelsAndUnitsAreTrimmedAndLimited() {
        Window w({makeFormat("OLD", 20, 10, 1.0F, "m")});
        w.type(0, 0, QStringLiteral("  СКОР  "));
        QCOMPARE(w.cell(0, 0), QStringLiteral("СКОР"));
        QCOMPARE(w.prompts.beeps, 0);

        w.type(0, 0, QStringLiteral("ABCDEFGHI"));
        QCOMPARE(w.cell(0, 0), QStringLiteral("ABCDEFGH"));
        QCOMPARE(w.prompts.beeps, 1);

        w.type(0, 5, QStringLiteral(" км/ч "));
        QCOMPARE(w.cell(0, 5), QStringLiteral("км/ч"));
        QCOMPARE(w.table.slots[0].units[0], '\xEA'); // cp1251 'к'
        w.type(0, 5, QStringLiteral("градусы"));
        QCOMPARE(w.cell(0, 5), QStringLiteral("градус"));
        QCOMPARE(w.prompts.beeps, 2);
    }

    void typingIntoTheGridOpensTheEditorWithThatKey() {
        Window w({makeFormat("A", 20, 9, 1.0F, "m")});
        w.grid()->setFocus();
        w.grid()->setCurrentIndex(w.dialog->model().index(0, 2));
        QTest::keyClick(w.grid(), Qt::Key_2);
        auto* editor = qobject_cast<QLineEdit*>(w.grid()->indexWidget(w.grid()->currentIndex()));
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), QStringLiteral("2"));
        QTest::keyClicks(editor, QStringLiteral("4"));
        QCOMPARE(w.table.slots[0].msbBit, 24);
        QCOMPARE(w.prompts.beeps, 0);

        // Typed text in column 1 is ignored: no editor opens.
        w.grid()->setCurrentIndex(w.dialog->model().index(0, 1));
        QTest::keyClick(w.grid(), Qt::Key_5);
        QVERIFY(w.grid()->indexWidget(w.grid()->currentIndex()) == nullptr);
        QCOMPARE(w.cell(0, 1), QStringLiteral("знак"));
    }

    void leavingACellWithoutTypingKeepsItsValue() {
        Window w({makeFormat("A", 20, 10, 1.5F, "m")});
        for (int column : {0, 2, 3, 4, 5}) {
            QLineEdit* editor = w.openEditor(0, column);
            QVERIFY(editor != nullptr);
            Window::leave(editor);
        }
        QCOMPARE(w.cell(0, 0), QStringLiteral("A"));
        QCOMPARE(w.cell(0, 2), QStringLiteral("     20"));
        QCOMPARE(w.cell(0, 4), QStringLiteral(" 1.500000"));
        QCOMPARE(w.cell(0, 5), QStringLiteral("m"));
        QCOMPARE(w.prompts.beeps, 0);
    }

    void dropDownOverColumnOneChoosesBit29() {
        Window w({makeFormat("A", 28, 12, 1.0F, "m"), makeFormat("B", 29, 29, 1.0F, "m", 1)});
        auto& d = *w.dialog;
        w.pressOn(1, 1);
        QVERIFY(d.ComboBox1->isVisible());
        const QRect cell = d.DrawGrid1->visualRect(d.model().index(1, 1));
        QCOMPARE(d.ComboBox1->pos(), cell.topLeft() + QPoint(2, 2));
        QCOMPARE(d.ComboBox1->currentIndex(), 1);

        // "знак" on an MSB of 29 lowers it to 28 and leaves the LSB above it.
        QTest::keyClick(d.ComboBox1, Qt::Key_Up);
        QCOMPARE(w.table.slots[1].bit29Mode, 0);
        QCOMPARE(w.table.slots[1].msbBit, 28);
        QCOMPARE(w.table.slots[1].lsbBit, 29);
        QCOMPARE(w.cell(1, 1), QStringLiteral("знак"));
        QCOMPARE(w.cell(1, 2), QStringLiteral("     28"));
        QCOMPARE(w.prompts.beeps, 0);
        QVERIFY(d.ComboBox1->isVisible());

        w.pressOn(0, 1);
        QCOMPARE(d.ComboBox1->pos(),
                 d.DrawGrid1->visualRect(d.model().index(0, 1)).topLeft() + QPoint(2, 2));
        QCOMPARE(d.ComboBox1->currentIndex(), 0);
        QTest::keyClick(d.ComboBox1, Qt::Key_Down);
        QCOMPARE(w.table.slots[0].bit29Mode, 1);
        QCOMPARE(w.table.slots[1].bit29Mode, 0);

        // Any other press on the grid hides it.
        w.pressOn(0, 3);
        QVERIFY(!d.ComboBox1->isVisible());
        w.pressOn(1, 1);
        QVERIFY(d.ComboBox1->isVisible());
        QTest::mouseClick(d.DrawGrid1->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(!d.ComboBox1->isVisible());
    }

    void addStopsAt256Rows() {
        Window w;
        for (int click = 0; click < 300; ++click)
            w.dialog->btAdd->click();
        QCOMPARE(w.rows(), 256);
        QCOMPARE(w.prompts.beeps, 0);
        QCOMPARE(w.cell(255, 2), QStringLiteral("      0"));
    }

    void deleteRemovesTheCurrentRowAndEveryIncompleteOne() {
        Window w({makeFormat("A", 28, 12, 1.0F, "m"), makeFormat("B", 28, 12, 0.0F, "m"),
                  makeFormat("C", 28, 12, 1.0F, "m"), makeFormat("D", 28, 12, 1.0F, "m")});
        w.dialog->btAdd->click();
        QCOMPARE(w.rows(), 5);
        w.grid()->setCurrentIndex(w.dialog->model().index(2, 0));
        w.dialog->btDelete->click();
        QCOMPARE(w.rows(), 2);
        QCOMPARE(w.table.formatCount, 2);
        QCOMPARE(w.cell(0, 0), QStringLiteral("A"));
        QCOMPARE(w.cell(1, 0), QStringLiteral("D"));
        QCOMPARE(w.prompts.beeps, 0);

        w.grid()->setCurrentIndex(w.dialog->model().index(0, 0));
        w.dialog->btDelete->click();
        w.grid()->setCurrentIndex(w.dialog->model().index(0, 0));
        w.dialog->btDelete->click();
        QCOMPARE(w.table.formatCount, 0);
        QCOMPARE(w.rows(), 1);
    }

    void aRowTypedInFullIsKeptWhenTheWindowCloses() {
        Window w({makeFormat("A", 28, 12, 1.0F, "m")});
        w.dialog->btAdd->click();
        w.dialog->btAdd->click();
        w.type(1, 0, QStringLiteral("НОВЫЙ"));
        w.type(1, 2, QStringLiteral("20"));
        w.type(1, 3, QStringLiteral("10"));
        w.type(1, 4, QStringLiteral("90"));
        // The last cell is still being edited when the window closes.
        QLineEdit* editor = w.openEditor(1, 5);
        QVERIFY(editor != nullptr);
        typeKeys(editor, QStringLiteral("град"));
        w.dialog->close();
        QCOMPARE(w.prompts.beeps, 0);
        QCOMPARE(w.table.formatCount, 2);
        const QByteArray bytes = fileBytes(QStringLiteral("KST3frmt.stt"));
        QCOMPARE(bytes.size(), 46);
        QCOMPARE(bytes.mid(23, 6), QByteArray("\xCD\xCE\xC2\xDB\xC9\0", 6));
        QCOMPARE(bytes.mid(39, 5), QByteArray("\xE3\xF0\xE0\xE4\0", 5));

        // Shown again, the grid has one row per kept format.
        w.dialog->show();
        QCOMPARE(w.rows(), 2);
    }

    void aFailedWriteOfTheStateFileIsReported() {
        Window w({makeFormat("A", 28, 12, 1.0F, "m")});
        QVERIFY(QDir().mkdir(QStringLiteral("KST3frmt.stt")));
        w.dialog->close();
        QVERIFY(!w.dialog->isVisible());
        QCOMPARE(w.prompts.questions.size(), 1);
        const QString expected = QStringLiteral("Десятичные форматы|") +
                                 QString::fromStdString(formats::formatStateSaveWarning());
        QCOMPARE(w.prompts.questions.front(), expected);
        QVERIFY(expected.contains(QDir::toNativeSeparators(QDir::currentPath())));
        QCOMPARE(w.table.formatCount, 1);
    }

    void screenshot() {
        const QByteArray path = qgetenv("FORMATLIST_PNG");
        if (path.isEmpty())
            QSKIP("set FORMATLIST_PNG to a file name to render the window");
        Window w({makeFormat("ALT", 28, 12, 65536.0F, "\xF4\xF3\xF2", 1),
                  makeFormat("IAS", 28, 18, 512.0F, "\xF3\xE7\xEB"),
                  makeFormat("HDG", 29, 19, 180.0F, "\xE3\xF0\xE0\xE4"),
                  makeFormat("\xD1\xCA\xCE\xD0", 28, 15, 1024.0F, "\xEA\xEC/\xF7")});
        w.pressOn(0, 1);
        QApplication::processEvents();
        QVERIFY(w.dialog->grab().save(QString::fromLocal8Bit(path)));
    }
};

QTEST_MAIN(FormatlistTest)
#include "formatlist_test.moc"
