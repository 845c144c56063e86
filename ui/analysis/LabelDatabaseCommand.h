#pragma once

#include "labels/label_database.h"

#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QWidget;

namespace ui {

class Prompts;

/// @brief «база меток…» and «выгрузить базу меток» of the "Анализ" menu: the label database
/// that the watch, the charts and the recording use. A file is loaded whole or not at all:
/// one with an error is told in one message and the database in use stays. The file loaded
/// is named in a settings file beside the format state file and loaded again at the next start.
class LabelDatabaseCommand : public QObject {
    Q_OBJECT
public:
    LabelDatabaseCommand(QWidget& window, QAction& load, QAction& unload, Prompts& prompts);

    /// Loads the database the settings file names, if any; a file that no longer loads is
    /// told and forgotten.
    void restore();

    [[nodiscard]] const std::shared_ptr<const labels::LabelDatabase>& database() const {
        return database_;
    }
    /// The file in use as the user sees it; empty without a database.
    [[nodiscard]] const QString& fileName() const { return fileName_; }

    void mmLabelDatabaseExecute();
    void mmUnloadLabelDatabaseExecute();

    /// Puts `database` in use, named `fileName`, without a file or the settings file: for the
    /// pictures and benchmarks that need a database at hand.
    void use(std::shared_ptr<const labels::LabelDatabase> database, const QString& fileName);

Q_SIGNALS:
    void databaseChanged();

private:
    /// Loads `path`; true when it took the place of the database in use.
    bool load(const QString& path);

    QWidget& window_;
    QAction& unload_;
    Prompts& prompts_;
    std::shared_ptr<const labels::LabelDatabase> database_;
    QString fileName_;
};

} // namespace ui
