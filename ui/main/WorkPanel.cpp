#include "ui/main/WorkPanel.h"

#include "ui/grid/FixedPitchCellDelegate.h"
#include "ui/grid/Fonts.h"
#include "ui/grid/GridView.h"
#include "ui/main/InputBufferModel.h"
#include "ui/main/OutputArrayModel.h"

#include "board/records.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr int kGridFontPixels = 13;
constexpr int kRowHeight = 18;
constexpr int kCaptionHeight = 48; ///< the input caption band, the top-row list at its foot

QTabBar* makeChannelTabs(const QString& name, const QString& captionFormat, QWidget* parent) {
    auto* tabs = new QTabBar(parent);
    tabs->setObjectName(name);
    tabs->setExpanding(false);
    tabs->setDrawBase(true);
    for (int number = 1; number <= board::kMaxChannels; ++number)
        tabs->addTab(captionFormat.arg(number));
    return tabs;
}

/// `font`, when given, is set before the items: a font changed afterwards lays the whole
/// popup list out again.
QComboBox* makeNumberList(const QString& name, int first, int last, QWidget* parent,
                          const QFont* font = nullptr) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    if (font != nullptr)
        list->setFont(*font);
    list->setEditable(false);
    list->setMaxVisibleItems(20);
    for (int n = first; n <= last; ++n)
        list->addItem(QString::number(n));
    return list;
}

} // namespace

WorkPanel::WorkPanel(InputBufferModel& inputModel, OutputArrayModel& outputModel, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("Panel5"));
    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildInputPane(inputModel));
    splitter->addWidget(buildOutputPane(outputModel));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void WorkPanel::splitFourFifths(int panelWidth) {
    const int inputWidth = panelWidth * 4 / 5;
    splitter->setSizes({inputWidth, panelWidth - inputWidth});
}

QWidget* WorkPanel::buildInputPane(InputBufferModel& model) {
    auto* pane = new QWidget(this);
    pane->setObjectName(QStringLiteral("InputPane"));
    SI = makeChannelTabs(QStringLiteral("SI"), QStringLiteral("Вх.канал %1"), pane);

    StaticText3 = new QLabel(pane);
    StaticText3->setObjectName(QStringLiteral("StaticText3"));
    QFont captionFont = courierNewFont(19);
    captionFont.setBold(true);
    captionFont.setItalic(true);
    StaticText3->setFont(captionFont);
    StaticText3->setAlignment(Qt::AlignCenter);
    StaticText3->setStyleSheet(QStringLiteral("color: #0066cc;"));
    StaticText3->setFixedHeight(kCaptionHeight);

    const QFont listFont = courierNewFont(13);
    ComboBox1 = makeNumberList(QStringLiteral("ComboBox1"), 0, 255, pane, &listFont);
    ComboBox1->setFixedWidth(65);
    ComboBox1->setToolTip(QStringLiteral("задать номер ячейки, отображаемой в верхней строке"));

    DrawGrid2 =
        makeGridView(QStringLiteral("DrawGrid2"), model, {kGridFontPixels, kRowHeight}, pane);
    // Cells show what fits, like the column widths intend, in both grids of the panel.
    DrawGrid2->setTextElideMode(Qt::ElideNone);
    // Repainted on every refresh tick: its cells are drawn straight from glyphs, with the
    // grid lines as part of each cell.
    DrawGrid2->setShowGrid(false);
    DrawGrid2->setItemDelegate(
        new FixedPitchCellDelegate(FixedPitchCellDelegate::GridLines::InCells, DrawGrid2));
    DrawGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawGrid2->setFocusPolicy(Qt::ClickFocus);

    // The top-row selector sits at the lower left of the caption band.
    auto* band = new QGridLayout;
    band->setContentsMargins(0, 0, 0, 0);
    band->addWidget(StaticText3, 0, 0, 2, 2);
    band->addWidget(ComboBox1, 1, 0, Qt::AlignLeft | Qt::AlignBottom);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(SI);
    layout->addLayout(band);
    layout->addWidget(DrawGrid2, 1);
    return pane;
}

QWidget* WorkPanel::buildOutputPane(OutputArrayModel& model) {
    auto* pane = new QWidget(this);
    pane->setObjectName(QStringLiteral("OutputPane"));
    SO = makeChannelTabs(QStringLiteral("SO"), QStringLiteral("Вых.канал %1"), pane);

    StaticText4 = new QLabel(pane);
    StaticText4->setObjectName(QStringLiteral("StaticText4"));
    StaticText4->setAlignment(Qt::AlignCenter);
    StaticText4->setWordWrap(true);
    QFont titleFont = StaticText4->font();
    titleFont.setBold(true);
    StaticText4->setFont(titleFont);

    Label10 = new QLabel(QStringLiteral("Размер массива , слов ПК"), pane);
    Label10->setObjectName(QStringLiteral("Label10"));
    cbSOArrayDim = makeNumberList(QStringLiteral("cbSOArrayDim"), 1, 256, pane);
    ComboBox2 = makeNumberList(QStringLiteral("ComboBox2"), 0, 255, pane);
    ComboBox2->setToolTip(
        QStringLiteral("задать индекс параметра, отображаемого в верхней строке"));

    DrawGrid1 =
        makeGridView(QStringLiteral("DrawGrid1"), model, {kGridFontPixels, kRowHeight}, pane);
    DrawGrid1->setTextElideMode(Qt::ElideNone);
    DrawGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(Label10);
    sizeRow->addWidget(cbSOArrayDim);
    sizeRow->addStretch(1);
    sizeRow->addWidget(ComboBox2);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(SO);
    layout->addWidget(StaticText4);
    layout->addLayout(sizeRow);
    layout->addWidget(DrawGrid1, 1);
    return pane;
}

} // namespace ui
