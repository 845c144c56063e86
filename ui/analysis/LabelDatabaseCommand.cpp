#include "ui/analysis/LabelDatabaseCommand.h"

#include "ui/common/FileFilter.h"
#include "ui/common/Prompts.h"
#include "ui/common/Text.h"

#include "analysis/label_database_setting.h"
#include "labels/label_database_file.h"

#include <QAction>
#include <QDir>
#include <QWidget>

#include <filesystem>

namespace ui {
namespace {

std::filesystem::path pathOf(const QString& path) { return {path.toStdU16String()}; }

} // namespace

LabelDatabaseCommand::LabelDatabaseCommand(QWidget& window, QAction& load, QAction& unload,
                                           Prompts& prompts)
    : QObject(&window), window_(window), unload_(unload), prompts_(prompts) {
    unload_.setEnabled(false);
    connect(&load, &QAction::triggered, this, &LabelDatabaseCommand::mmLabelDatabaseExecute);
    connect(&unload_, &QAction::triggered, this,
            &LabelDatabaseCommand::mmUnloadLabelDatabaseExecute);
}

void LabelDatabaseCommand::restore() {
    const std::optional<std::filesystem::path> named = analysis::readLabelDatabaseSetting();
    if (!named)
        return;
    const QString path = QString::fromStdU16String(named->u16string());
    if (!load(path))
        (void)analysis::writeLabelDatabaseSetting(std::nullopt);
}

void LabelDatabaseCommand::mmLabelDatabaseExecute() {
    const QString path = prompts_.chooseFileToOpen(
        &window_, qtFileFilter(labels::kLabelDatabaseFileFilter), QStringLiteral("."));
    if (path.isEmpty())
        return;
    if (!load(path))
        return;
    (void)analysis::writeLabelDatabaseSetting(pathOf(QDir::current().absoluteFilePath(path)));
    // Told when the user chooses the file, not at every start that loads it again.
    const std::string notice = labels::unseenLabelsNotice(*database_);
    if (!notice.empty())
        prompts_.warn(&window_, qtext(labels::kLabelDatabaseWarningCaption),
                      QString::fromStdString(notice));
}

void LabelDatabaseCommand::mmUnloadLabelDatabaseExecute() {
    use(nullptr, QString());
    (void)analysis::writeLabelDatabaseSetting(std::nullopt);
}

bool LabelDatabaseCommand::load(const QString& path) {
    labels::LabelDatabaseLoad loaded = labels::loadLabelDatabaseFile(pathOf(path));
    const QString shown = QDir::toNativeSeparators(path);
    if (!loaded.ok()) {
        prompts_.warn(&window_, qtext(labels::kLabelDatabaseWarningCaption),
                      QString::fromStdString(
                          labels::labelDatabaseErrorMessage(shown.toStdString(), loaded.error)));
        return false;
    }
    use(std::make_shared<const labels::LabelDatabase>(std::move(*loaded.database)), shown);
    return true;
}

void LabelDatabaseCommand::use(std::shared_ptr<const labels::LabelDatabase> database,
                               const QString& fileName) {
    database_ = std::move(database);
    fileName_ = fileName;
    unload_.setEnabled(database_ != nullptr);
    Q_EMIT databaseChanged();
}

} // namespace ui
