#include "UserFolder.h"

#include <QDir>

namespace ui {

QString enterUserFolder(const QString& documents) {
    if (documents.isEmpty())
        return QStringLiteral("Папка документов пользователя неизвестна; файлы программы "
                              "хранятся в текущей папке.");
    const QString folder = QDir(documents).filePath(QString::fromLatin1(kUserFolderName));
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder))
        return QStringLiteral("Не удалось создать папку «%1»; файлы программы хранятся в "
                              "текущей папке.")
            .arg(shown);
    if (!QDir::setCurrent(folder))
        return QStringLiteral("Не удалось перейти в папку «%1»; файлы программы хранятся в "
                              "текущей папке.")
            .arg(shown);
    return {};
}

} // namespace ui
