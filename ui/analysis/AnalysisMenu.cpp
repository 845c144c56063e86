#include "ui/analysis/AnalysisMenu.h"

#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/RecordingCommand.h"
#include "ui/main/Mainform.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ui {
namespace {

QAction* addCommand(QMenu& menu, const char* name, const char* caption) {
    QAction* action = menu.addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

} // namespace

AnalysisMenu::AnalysisMenu(TMainFrm& window, QMenu* before) : QObject(&window) {
    menu_ = new QMenu(QStringLiteral("Анализ"), &window);
    menu_->setObjectName(QStringLiteral("mmAnalysis"));
    menu_->menuAction()->setObjectName(QStringLiteral("mmAnalysisAction"));
    window.menuBar()->insertMenu(before->menuAction(), menu_);

    recording_ = addCommand(*menu_, "mmRecording", "запись принятых слов…");
    recordingLimits_ = addCommand(*menu_, "mmRecordingLimits", "параметры записи…");
    labelWatch_ = addCommand(*menu_, "mmLabelWatch", "наблюдение за метками");
    chart_ = addCommand(*menu_, "mmParameterChart", "график параметра");
    menu_->addSeparator();
    labelDatabase_ = addCommand(*menu_, "mmLabelDatabase", "база меток…");
    unloadLabelDatabase_ = addCommand(*menu_, "mmUnloadLabelDatabase", "выгрузить базу меток");

    labelDatabaseCommand_ =
        new LabelDatabaseCommand(window, *labelDatabase_, *unloadLabelDatabase_, window.prompts());
    recordingCommand_ = new RecordingCommand(window, *recording_, window.prompts());
    connect(recordingLimits_, &QAction::triggered, recordingCommand_,
            &RecordingCommand::editLimits);
    connect(labelDatabaseCommand_, &LabelDatabaseCommand::databaseChanged, recordingCommand_,
            [this] { recordingCommand_->setDatabase(labelDatabaseCommand_->database()); });
    labelDatabaseCommand_->restore();
}

AnalysisMenu::~AnalysisMenu() = default;

} // namespace ui
