// Qt's own texts speak Russian whatever the system's language: the buttons of the reset
// warning, the labels and buttons of the file dialogs, and each dialog's file type list as
// the monitor writes it.
#include "dialog_steps.h"

#include "formats/assignment_file.h"
#include "transmission/output_file.h"
#include "ui/common/FileFilter.h"
#include "ui/common/Prompts.h"
#include "ui/common/QtTranslations.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

QString labelText(QWidget* dialog, const char* name) {
    auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("(none)");
}

QStringList comboItems(QWidget* dialog, const char* name) {
    QStringList items;
    if (auto* combo = dialog->findChild<QComboBox*>(QString::fromLatin1(name)))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

} // namespace

class QtTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::English); // whatever the system's language
        QVERIFY(ui::installQtTranslations());
    }

    void theResetWarningAnswersDaOrNet() {
        ui::StandardPrompts prompts;
        QStringList buttons;
        testing_support::onNextModal([&buttons](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            buttons << box->button(QMessageBox::Yes)->text()
                    << box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!prompts.confirm(nullptr, QStringLiteral("ВНИМАНИЕ!"), QStringLiteral("?")));
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Да"), QStringLiteral("&Нет")}));
    }

    void aTextFieldsMenuCopiesAndPastesInRussian() {
        QLineEdit field(QStringLiteral("1"));
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
        QVERIFY2(texts.contains(QStringLiteral("&Копировать")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains(QStringLiteral("В&ставить")), qPrintable(texts.join('|')));
    }

    void theFileDialogsSpeakRussianAndShowEachTypeOnce_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("firstPattern");
        const QString outputs = QStringLiteral("Файлы выходных параметров (*.so)");
        const QString assignments = QStringLiteral("Файлы форматов входных параметров(*.si)");
        QTest::newRow("output parameters, restore")
            << false << ui::qtFileFilter(transmission::kOutputFileOpenFilter)
            << QStringList{outputs, QStringLiteral("*.*")} << QStringLiteral("*.so");
        QTest::newRow("output parameters, save")
            << true << ui::qtFileFilter(transmission::kOutputFileSaveFilter)
            << QStringList{outputs, QStringLiteral("*.*")} << QStringLiteral("*.so");
        QTest::newRow("assignments, restore")
            << false << ui::qtFileFilter(formats::kAssignmentFileFilters)
            << QStringList{assignments, QStringLiteral("*.*")} << QStringLiteral("*.si");
        QTest::newRow("assignments, save")
            << true << ui::qtFileFilter(formats::kAssignmentFileFilters)
            << QStringList{assignments, QStringLiteral("*.*")} << QStringLiteral("*.si");
    }

    void theFileDialogsSpeakRussianAndShowEachTypeOnce() {
        QFETCH(bool, save);
        QFETCH(QString, filter);
        QFETCH(QStringList, types);
        QFETCH(QString, firstPattern);
        ui::StandardPrompts prompts;
        QStringList labels;
        QStringList shownTypes;
        QStringList patterns;
        testing_support::onNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            labels << labelText(dialog, "lookInLabel") << labelText(dialog, "fileNameLabel")
                   << labelText(dialog, "fileTypeLabel");
            const auto* box = dialog->findChild<QDialogButtonBox*>();
            for (const QAbstractButton* button : box->buttons())
                labels << button->text();
            shownTypes = comboItems(dialog, "fileTypeCombo");
            const auto* files = dialog->findChild<QFileSystemModel*>();
            patterns << files->nameFilters().join(QLatin1Char(' '));
            dialog->selectNameFilter(shownTypes.value(1));
            patterns << files->nameFilters().join(QLatin1Char(' '));
            // The places beside the folder view start with the whole computer.
            const QAbstractItemModel* places =
                dialog->findChild<QAbstractItemView*>(QStringLiteral("sidebar"))->model();
            labels << places->index(0, 0).data().toString();
            dialog->reject();
        });
        const QString chosen = save
                                   ? prompts.chooseFileToSave(nullptr, filter, QStringLiteral("."),
                                                              QStringLiteral("so"))
                                   : prompts.chooseFileToOpen(nullptr, filter, QStringLiteral("."));
        QVERIFY(chosen.isEmpty());
        const QString accept = save ? QStringLiteral("&Сохранить") : QStringLiteral("&Открыть");
        // The side list names the top of the file system as the system's own shell does.
#ifdef Q_OS_WIN
        const QString computer = QStringLiteral("Мой компьютер");
#else
        const QString computer = QStringLiteral("Компьютер");
#endif
        QCOMPARE(labels, (QStringList{QStringLiteral("Перейти к:"), QStringLiteral("&Имя файла:"),
                                      QStringLiteral("Типы файлов:"), accept,
                                      QStringLiteral("Отмена"), computer}));
        QCOMPARE(shownTypes, types);
        QCOMPARE(patterns, (QStringList{firstPattern, QStringLiteral("*.*")}));
    }
};

QTEST_MAIN(QtTextsTest)
#include "qt_texts_test.moc"
