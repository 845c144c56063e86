#include "ui/common/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ui {

bool StandardPrompts::confirm(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString StandardPrompts::chooseFileToOpen(QWidget* parent, const QString& filter,
                                          const QString& directory) {
    QFileDialog dialog(parent, QString(), directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString StandardPrompts::chooseFileToSave(QWidget* parent, const QString& filter,
                                          const QString& directory, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void StandardPrompts::warn(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::warning(parent, caption, text);
}

void StandardPrompts::beep() { QApplication::beep(); }

} // namespace ui
