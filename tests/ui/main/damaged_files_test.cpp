// Damaged format files reach the windows without a fault: more records than the tables hold,
// text fields without a terminating NUL, absurd bit numbers and a weight that is not a number.
// The sanitizer suite runs this too.

#include "monitor_fixture.h"

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <limits>

using testing_support::child;
using testing_support::Monitor;

namespace {

QByteArray damagedFormat(char fill, std::uint8_t msb, std::uint8_t lsb, float weight) {
    formats::DecimalFormat format{};
    std::memset(format.label.data(), fill, format.label.size()); // no NUL anywhere
    format.bit29Mode = 7;
    format.msbBit = msb;
    format.lsbBit = lsb;
    format.msbWeight = weight;
    std::memset(format.units.data(), '\xE3', format.units.size()); // cp1251 letters, no NUL
    return {reinterpret_cast<const char*>(&format), sizeof format};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class DamagedFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(workDir.isValid());
        QDir::setCurrent(workDir.path());
    }

    void damagedStateFileIsLoadedShownAndDecodedSafely() {
        QByteArray state;
        state += damagedFormat('A', 255, 200, 90.0f);
        state += damagedFormat('B', 28, 0, std::numeric_limits<float>::quiet_NaN());
        state += damagedFormat('C', 40, 33, 1.0f);
        for (int i = 0; i < 300; ++i)
            state += damagedFormat('D', 28, 18, 90.0f);
        state += QByteArray(5, '\xFF'); // a short last piece
        writeFile(QDir(workDir.path()).filePath("KST3frmt.stt"), state);

        Monitor m;
        QCOMPARE(m.main().formatTable().formatCount, 256);
        m.chooseBoard(0);
        m.initialise();

        // Assign the damaged formats by their unterminated labels to three addresses.
        auto& assignments = m.main().assignmentTable();
        const char fills[] = {'A', 'B', 'C'};
        for (int i = 0; i < 3; ++i) {
            formats::ParamFormatAssignment& a = assignments.slots[i];
            a.address = static_cast<std::uint8_t>(0201 + i);
            a.channel = 1;
            std::memset(a.formatLabel.data(), fills[i], a.formatLabel.size());
            m.state().SIbuffer[0][i] = {0xFFFFFF00u | a.address, 1};
        }
        assignments.assignmentCount = 3;

        // Both format windows show the damaged rows; closing them compacts and saves.
        QImage formatList;
        testing_support::onNextModal([&](QWidget* dialog) {
            formatList = dialog->grab().toImage();
            dialog->close();
        });
        m.button("tbFormatList")->click();
        QVERIFY(!formatList.isNull());
        QImage paramFormat;
        testing_support::onNextModal([&](QWidget* dialog) {
            paramFormat = dialog->grab().toImage();
            dialog->close();
        });
        m.button("tbParamFormat")->click();
        QVERIFY(!paramFormat.isNull());

        auto* grid = child<QTableView>(&m.main(), "DrawGrid2");
        for (int row = 0; row < 3; ++row) {
            const QString decimal = grid->model()->index(row, 5).data().toString();
            QVERIFY2(decimal.size() < 64, qPrintable(decimal));
        }
        // Bit numbers outside the word show a single blank.
        QCOMPARE(grid->model()->index(0, 5).data().toString(), QStringLiteral(" "));
        QCOMPARE(grid->model()->index(2, 5).data().toString(), QStringLiteral(" "));
        m.main().grab();
    }

    void damagedAssignmentFileIsLoadedAndShown() {
        QByteArray file;
        for (int i = 0; i < 260; ++i) {
            formats::ParamFormatAssignment a{};
            a.address = static_cast<std::uint8_t>(i);
            a.channel = static_cast<std::uint8_t>(i % 12); // channels beyond 8 and 0 too
            std::memset(a.formatLabel.data(), 'Z', a.formatLabel.size());
            file += QByteArray(reinterpret_cast<const char*>(&a), sizeof a);
        }
        file += QByteArray(3, '\x01');
        const QString path = QDir(workDir.path()).filePath("damaged.si");
        writeFile(path, file);

        Monitor m;
        m.prompts.fileAnswers = {path};
        QImage shown;
        testing_support::onNextModal([&](QWidget* dialog) {
            dialog->findChild<QAbstractButton*>(QStringLiteral("btReadFile"))->click();
            shown = dialog->grab().toImage();
            dialog->close();
        });
        m.button("tbParamFormat")->click();
        QVERIFY(!shown.isNull());
        QVERIFY(m.prompts.questions.last().contains(QStringLiteral("256")));
        QVERIFY(m.main().assignmentTable().assignmentCount <= 256);
    }

private:
    QTemporaryDir workDir;
};

QTEST_MAIN(DamagedFilesTest)
#include "damaged_files_test.moc"
