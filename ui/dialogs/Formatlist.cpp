#include "ui/dialogs/Formatlist.h"

#include "ui/common/Prompts.h"
#include "ui/common/Text.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/FormatlistModel.h"
#include "ui/grid/CellEditDelegate.h"
#include "ui/grid/Fonts.h"
#include "ui/grid/GridView.h"

#include "formats/format_cells.h"
#include "formats/format_editing.h"
#include "formats/format_state_file.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {
namespace {

constexpr int kWindowWidth = 522;
constexpr int kWindowHeight = 640;
constexpr int kButtonBarHeight = 32;
constexpr int kButtonCaptionPixels = 27;
constexpr int kGridFontPixels = 11;
// The drop-down sits this far right of and below the top-left corner of the cell it serves.
constexpr int kDropDownOffset = 2;
constexpr int kMinimumRowHeight = 24;

} // namespace

TFrmFormatList::TFrmFormatList(formats::DecimalFormatTable& table, Prompts& prompts,
                               QWidget* parent)
    : QDialog(parent), table_(table), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmFormatList"));
    setWindowTitle(QStringLiteral("Десятичные форматы"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(kWindowWidth, kWindowHeight);

    auto* bar = new QWidget(this);
    bar->setFixedHeight(kButtonBarHeight);
    const QSize buttonSize(kButtonBarHeight, kButtonBarHeight);
    btAdd = makeSignButton(QStringLiteral("+"), QStringLiteral("btAdd"), kButtonCaptionPixels,
                           buttonSize, bar);
    btDelete = makeSignButton(QStringLiteral("-"), QStringLiteral("btDelete"), kButtonCaptionPixels,
                              buttonSize, bar);
    connect(btAdd, &QPushButton::clicked, this, &TFrmFormatList::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TFrmFormatList::btDeleteClick);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);
    barLayout->addStretch(1);
    barLayout->addWidget(btAdd);
    barLayout->addWidget(btDelete);

    buildGrid();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(DrawGrid1, 1);
    // The grid gets its rows each time the window shows.
}

TFrmFormatList::~TFrmFormatList() {
    delegate_->detach(); // an open cell editor closes while the dialog is torn down
}

void TFrmFormatList::buildGrid() {
    model_ = new FormatListModel(table_, this);
    CellEditDelegate::Handlers handlers;
    handlers.keyPressed = [this](char32_t key) { lastKey_ = key; };
    handlers.textChanged = [this](const QModelIndex& index, const QString& text) {
        DrawGrid1SetEditText(index, text);
    };
    delegate_ = new CellEditDelegate(std::move(handlers), this);

    DrawGrid1 = makeGridView(QStringLiteral("DrawGrid1"), *model_,
                             {kGridFontPixels, kMinimumRowHeight}, this);
    DrawGrid1->setItemDelegate(delegate_);
    DrawGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    // Tab walks the cells of this grid.
    DrawGrid1->setTabKeyNavigation(true);

    QHeaderView* header = DrawGrid1->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignTop);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);

    ComboBox1 = new QComboBox(DrawGrid1->viewport());
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (const std::string_view item : formats::kBit29Items)
        ComboBox1->addItem(qtext(item));
    ComboBox1->setFont(courierNewFont(kGridFontPixels));
    ComboBox1->hide();
    connect(ComboBox1, &QComboBox::activated, this, &TFrmFormatList::ComboBox1Change);

    // Rows are tall enough for the drop-down to stand inside the cell it serves.
    const int rowHeight =
        std::max(kMinimumRowHeight, ComboBox1->sizeHint().height() + 2 * kDropDownOffset);
    DrawGrid1->verticalHeader()->setDefaultSectionSize(rowHeight);

    DrawGrid1->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
}

void TFrmFormatList::showEvent(QShowEvent* event) {
    model_->setGridRows(formats::gridRowsFor(table_.formatCount));
    if (!DrawGrid1->currentIndex().isValid())
        DrawGrid1->setCurrentIndex(model_->index(0, 0));
    QDialog::showEvent(event);
}

bool TFrmFormatList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == DrawGrid1->viewport())
            DrawGrid1MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (watched == DrawGrid1->horizontalHeader()->viewport())
            ComboBox1->hide();
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmFormatList::DrawGrid1MouseDown(const QPoint& viewportPos) {
    ComboBox1->hide();
    const QModelIndex cell = DrawGrid1->indexAt(viewportPos);
    if (!cell.isValid() || cell.column() != formats::kBit29Column)
        return;
    const QRect rect = DrawGrid1->visualRect(cell);
    ComboBox1->move(rect.topLeft() + QPoint(kDropDownOffset, kDropDownOffset));
    ComboBox1->resize(std::max(rect.width() - kDropDownOffset, ComboBox1->sizeHint().width()),
                      ComboBox1->sizeHint().height());
    ComboBox1->setCurrentIndex(
        formats::bit29ItemIndex(table_.slots[static_cast<std::size_t>(cell.row())]));
    ComboBox1->show();
    ComboBox1->raise();
}

void TFrmFormatList::ComboBox1Change(int itemIndex) {
    const int row = currentRow();
    if (row < 0)
        return;
    (void)formats::chooseBit29Mode(table_, row, itemIndex);
    model_->refreshRow(row);
}

void TFrmFormatList::DrawGrid1SetEditText(const QModelIndex& index, const QString& text) {
    PromptsBeeper beeper(prompts_);
    const formats::EditResult result = formats::editFormatCell(
        table_, index.row(), index.column(), text.toStdString(), lastKey_, beeper);
    if (result == formats::EditResult::Stored)
        model_->refreshRow(index.row());
}

int TFrmFormatList::currentRow() const {
    const QModelIndex current = DrawGrid1->currentIndex();
    if (current.isValid())
        return current.row();
    return model_->rowCount() > 0 ? 0 : -1;
}

void TFrmFormatList::btAddClick() {
    delegate_->closeOpenEditor(*DrawGrid1);
    model_->setGridRows(formats::gridRowsAfterAdd(model_->gridRows()));
}

void TFrmFormatList::btDeleteClick() {
    delegate_->closeOpenEditor(*DrawGrid1);
    // The rows below move up: the drop-down would stand over another format.
    ComboBox1->hide();
    const int row = currentRow();
    model_->setGridRows(formats::deleteFormatRow(table_, row, model_->gridRows()));
}

void TFrmFormatList::done(int result) {
    delegate_->closeOpenEditor(*DrawGrid1);
    ComboBox1->hide();
    const formats::FormatListClosing closing = formats::closeFormatList(table_, model_->gridRows());
    model_->setGridRows(closing.gridRows);
    if (closing.saveError)
        prompts_.warn(this, QString::fromUtf8(formats::kFormatStateWarningCaption),
                      QString::fromStdString(formats::formatStateSaveWarning()));
    QDialog::done(result);
}

} // namespace ui
