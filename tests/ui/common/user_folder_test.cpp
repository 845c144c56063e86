// The folder the Start menu entry of the Windows installer starts the monitor in: the user's
// own, since under Program Files the user cannot write the format table.
#include "ui/common/UserFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class UserFolderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { before_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(before_); }

    void madeWhenMissingAndCurrentEitherWay() {
        QTemporaryDir documents;
        QVERIFY(documents.isValid());
        const QString folder = documents.filePath(QStringLiteral("ZELVA-1"));
        for (int start = 0; start < 2; ++start) {
            QDir::setCurrent(before_);
            QCOMPARE(ui::enterUserFolder(documents.path()), QString());
            QCOMPARE(QDir::current().canonicalPath(), QDir(folder).canonicalPath());
        }
        // What the monitor then saves without a path lands in it.
        QFile table(QStringLiteral("KST3frmt.stt"));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.close();
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("KST3frmt.stt"))));
        // Windows removes no folder that is current, so the temporary one is left first.
        QVERIFY(QDir::setCurrent(before_));
    }

    void aFolderThatCannotBeMadeLeavesTheCurrentOne() {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        // A file where the documents folder should be: nothing can be made inside it.
        const QString notAFolder = scratch.filePath(QStringLiteral("documents"));
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        const QString problem = ui::enterUserFolder(notAFolder);
        QVERIFY(problem.startsWith(QStringLiteral("Не удалось создать папку «")));
        QVERIFY(problem.contains(
            QDir::toNativeSeparators(QDir(notAFolder).filePath(QStringLiteral("ZELVA-1")))));
        QCOMPARE(QDir::currentPath(), before_);

        QVERIFY(ui::enterUserFolder(QString()).startsWith(
            QStringLiteral("Папка документов пользователя неизвестна")));
        QCOMPARE(QDir::currentPath(), before_);
    }

private:
    QString before_;
};

QTEST_MAIN(UserFolderTest)
#include "user_folder_test.moc"
