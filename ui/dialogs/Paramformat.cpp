#include "ui/dialogs/Paramformat.h"

#include "ui/common/FileFilter.h"
#include "ui/common/Text.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/ParamformatModels.h"
#include "ui/grid/CellEditDelegate.h"
#include "ui/grid/GridView.h"

#include "formats/assignment_editing.h"
#include "formats/assignment_file.h"
#include "formats/assignment_file_messages.h"
#include "formats/assignment_table.h"
#include "formats/grid_rows.h"
#include "util/system_error_text.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <filesystem>

namespace ui {
namespace {

constexpr int kWindowWidth = 762;
constexpr int kWindowHeight = 509;
constexpr int kAssignmentPanelWidth = 233;
constexpr int kButtonBarHeight = 40;
constexpr int kGridFontPixels = 11;
constexpr int kRowHeight = 16;
constexpr int kSignPixels = 20;
constexpr QSize kSignButtonSize(27, 30);

const char* const kFormatListHint =
    "двойной щелчок мыши перенесет метку формата в выбранную строку таблицы форматов "
    "параметров";

std::filesystem::path filePath(const QString& name) { return {name.toStdU16String()}; }

QTableView* makeGrid(const QString& name, QAbstractItemModel& model, QWidget* parent) {
    QTableView* grid = makeGridView(name, model, {kGridFontPixels, kRowHeight}, parent);
    // Header texts start next to the section edge, as in the cells, so that the window's
    // two grids fit its fixed width.
    grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { padding-left: 1px; }"));
    fitColumnsToWidestTexts(*grid);
    return grid;
}

int currentRow(const QTableView* grid) {
    const QModelIndex current = grid->currentIndex();
    return current.isValid() ? current.row() : 0;
}

} // namespace

TFrmParamFormat::TFrmParamFormat(formats::AssignmentTable& assignments,
                                 const formats::DecimalFormatTable& formats, Prompts& prompts,
                                 QWidget* parent)
    : QDialog(parent), assignments_(assignments), formats_(formats), prompts_(prompts),
      beeper_(prompts) {
    setObjectName(QStringLiteral("TFrmParamFormat"));
    setWindowTitle(qtext(formats::kAssignmentFileWarningCaption));
    setWindowFlags(kFixedSizeDialogFlags);
    setFixedSize(kWindowWidth, kWindowHeight);

    assignmentModel_ = new AssignmentGridModel(assignments_, formats_, this);
    formatListModel_ = new ParamformatFormatListModel(formats_, this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildAssignmentPanel());
    layout->addWidget(buildFormatListPanel(), 1);
    // The grids get their rows each time the window shows.
}

TFrmParamFormat::~TFrmParamFormat() {
    assignmentDelegate_->detach(); // an open cell editor closes while the dialog is torn down
}

QWidget* TFrmParamFormat::buildAssignmentPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedWidth(kAssignmentPanelWidth);

    FileOpen1 = new QAction(QStringLiteral("Восстановить"), this);
    FileOpen1->setObjectName(QStringLiteral("FileOpen1"));
    FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileSaveAs1 = new QAction(QStringLiteral("Сохранить"), this);
    FileSaveAs1->setObjectName(QStringLiteral("FileSaveAs1"));
    addAction(FileOpen1);
    addAction(FileSaveAs1);
    connect(FileOpen1, &QAction::triggered, this, &TFrmParamFormat::FileOpen1Execute);
    connect(FileSaveAs1, &QAction::triggered, this, &TFrmParamFormat::FileSaveAs1Execute);

    auto* bar = new QWidget(panel);
    bar->setObjectName(QStringLiteral("Panel2"));
    bar->setFixedHeight(kButtonBarHeight);
    btReadFile = new QToolButton(bar);
    btReadFile->setObjectName(QStringLiteral("btReadFile"));
    btReadFile->setDefaultAction(FileOpen1);
    btWriteFile = new QToolButton(bar);
    btWriteFile->setObjectName(QStringLiteral("btWriteFile"));
    btWriteFile->setDefaultAction(FileSaveAs1);
    btAdd = makeSignButton(QStringLiteral("+"), QStringLiteral("btAdd"), kSignPixels,
                           kSignButtonSize, bar);
    btDelete = makeSignButton(QStringLiteral("-"), QStringLiteral("btDelete"), kSignPixels,
                              kSignButtonSize, bar);
    connect(btAdd, &QPushButton::clicked, this, &TFrmParamFormat::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TFrmParamFormat::btDeleteClick);
    // Both captions fit the narrow panel beside "+" and "-" at the classic 11-pixel UI size.
    QFont captionFont = font();
    captionFont.setPixelSize(11);
    for (QToolButton* button : {btReadFile, btWriteFile}) {
        button->setFont(captionFont);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFixedHeight(30);
        button->setMinimumWidth(button->sizeHint().width());
    }
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(1, 5, 1, 5);
    buttons->setSpacing(2);
    buttons->addWidget(btReadFile);
    buttons->addWidget(btWriteFile);
    buttons->addStretch(1);
    buttons->addWidget(btAdd);
    buttons->addWidget(btDelete);

    DrawGrid2 = makeGrid(QStringLiteral("DrawGrid2"), *assignmentModel_, panel);
    DrawGrid2->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    assignmentDelegate_ =
        new CellEditDelegate({{},
                              [this](char32_t key) { lastKey_ = key; },
                              [this](const QModelIndex& index, const QString& text) {
                                  DrawGrid2SetEditText(index, text);
                              }},
                             DrawGrid2);
    DrawGrid2->setItemDelegate(assignmentDelegate_);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(DrawGrid2, 1);
    return panel;
}

QWidget* TFrmParamFormat::buildFormatListPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel3"));
    Label1 = new QLabel(QStringLiteral("Десятичные параметры:"), panel);
    Label1->setObjectName(QStringLiteral("Label1"));

    DrawGrid1 = makeGrid(QStringLiteral("DrawGrid1"), *formatListModel_, panel);
    DrawGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The delegate only paints here: no cell of the list is editable.
    DrawGrid1->setItemDelegate(
        new CellEditDelegate({[](const QModelIndex&) { return false; }, {}, {}}, DrawGrid1));
    DrawGrid1->setToolTip(QString::fromUtf8(kFormatListHint));
    DrawGrid1->viewport()->installEventFilter(this);
    DrawGrid1->horizontalHeader()->viewport()->installEventFilter(this);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(Label1);
    column->addWidget(DrawGrid1, 1);
    return panel;
}

void TFrmParamFormat::showEvent(QShowEvent* event) {
    // Both tables may have changed since the window was last open.
    assignmentModel_->setGridRows(formats::gridRowsFor(assignments_.assignmentCount));
    formatListModel_->setGridRows(formats::gridRowsFor(formats_.formatCount));
    QDialog::showEvent(event);
}

void TFrmParamFormat::done(int result) {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    assignmentModel_->setGridRows(
        formats::compactAssignments(assignments_, assignmentModel_->gridRows()));
    QDialog::done(result);
}

bool TFrmParamFormat::eventFilter(QObject* watched, QEvent* event) {
    const bool onFormatList = watched == DrawGrid1->viewport() ||
                              watched == DrawGrid1->horizontalHeader()->viewport();
    if (!onFormatList)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ToolTip: {
        // The hint belongs to the whole list, not to single cells.
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), DrawGrid1->toolTip(), DrawGrid1);
        return true;
    }
    case QEvent::MouseButtonPress:
        DrawGrid1MouseDown(watched, static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::MouseButtonDblClick:
        // A double click is also a press: it records its cell and makes its row current.
        DrawGrid1MouseDown(watched, static_cast<QMouseEvent*>(event)->position().toPoint());
        DrawGrid1DblClick();
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmParamFormat::DrawGrid1MouseDown(QObject* viewport, const QPoint& position) {
    if (viewport == DrawGrid1->horizontalHeader()->viewport()) {
        lastPressInCell_ = DrawGrid1->horizontalHeader()->logicalIndexAt(position) >= 0;
        return;
    }
    const QModelIndex cell = DrawGrid1->indexAt(position);
    lastPressInCell_ = cell.isValid();
    if (lastPressInCell_)
        DrawGrid1->setCurrentIndex(cell);
}

void TFrmParamFormat::DrawGrid1DblClick() {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    const int assignmentRow = currentRow(DrawGrid2);
    if (formats::transferFormatLabel(formats_, currentRow(DrawGrid1), assignments_, assignmentRow,
                                     lastPressInCell_))
        assignmentModel_->refreshRow(assignmentRow);
}

void TFrmParamFormat::DrawGrid2SetEditText(const QModelIndex& index, const QString& text) {
    const formats::EditResult result = formats::editAssignmentCell(
        assignments_, index.row(), index.column(), text.toStdString(), lastKey_, beeper_);
    if (result == formats::EditResult::Stored)
        assignmentModel_->refreshRow(index.row());
}

void TFrmParamFormat::btAddClick() {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    assignmentModel_->setGridRows(formats::gridRowsAfterAdd(assignmentModel_->gridRows()));
}

void TFrmParamFormat::btDeleteClick() {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    assignmentModel_->setGridRows(formats::deleteAssignmentRow(assignments_, currentRow(DrawGrid2),
                                                               assignmentModel_->gridRows()));
}

void TFrmParamFormat::FileOpen1Execute() {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    const QString name = prompts_.chooseFileToOpen(this,
                                                   qtFileFilter(formats::kAssignmentFileFilters),
                                                   qtext(formats::kAssignmentFileInitialDirectory));
    if (name.isEmpty())
        return;
    const formats::AssignmentFileLoad load =
        formats::loadAssignmentFile(assignments_, filePath(name));
    if (!load.opened)
        return; // a file that is no file to read leaves the table as it was, without a word
    assignmentModel_->setGridRows(load.gridRows);
    if (load.ignoredRecords > 0)
        prompts_.warn(this, qtext(formats::kAssignmentFileWarningCaption),
                      QString::fromStdString(formats::ignoredRecordsWarning(load.ignoredRecords)));
}

void TFrmParamFormat::FileSaveAs1Execute() {
    assignmentDelegate_->closeOpenEditor(*DrawGrid2);
    const QString name = prompts_.chooseFileToSave(this,
                                                   qtFileFilter(formats::kAssignmentFileFilters),
                                                   qtext(formats::kAssignmentFileInitialDirectory),
                                                   qtext(formats::kAssignmentFileDefaultExtension));
    if (name.isEmpty())
        return;
    const formats::AssignmentFileSave save =
        formats::saveAssignmentFile(assignments_, assignmentModel_->gridRows(), filePath(name));
    assignmentModel_->setGridRows(save.gridRows);
    if (save.error)
        prompts_.warn(this, qtext(formats::kAssignmentFileWarningCaption),
                      QString::fromStdString(formats::saveFailedWarning(
                          name.toStdString(), util::systemErrorText(save.error))));
}

} // namespace ui
