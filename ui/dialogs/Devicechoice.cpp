#include "ui/dialogs/Devicechoice.h"

#include "ui/common/Prompts.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/grid/Fonts.h"

#include "board/board_list.h"
#include "board/board_session.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

TFrmDeviceChoice::TFrmDeviceChoice(board::Driver& driver, board::SharedState& state,
                                   Prompts& prompts, QWidget* parent)
    : QDialog(parent), driver_(driver), state_(state), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmDeviceChoice"));
    setWindowTitle(QStringLiteral("Выбор устройства"));
    setWindowFlags(kFixedSizeDialogFlags);

    // The list items are two right-aligned number fields: a fixed-pitch face keeps them
    // under the heading.
    auto* heading = new QLabel(QStringLiteral("Серийный №    Порядковый №"), this);
    heading->setFont(courierNewFont(13));
    heading->setAlignment(Qt::AlignRight);
    DeviceList = new QComboBox(this);
    DeviceList->setObjectName(QStringLiteral("DeviceList"));
    DeviceList->setFont(courierNewFont(13));
    const ApplyCancelButtons buttons = makeApplyCancelButtons(*this);
    Button1 = buttons.apply;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &TFrmDeviceChoice::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrmDeviceChoice::Button2Click);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(Button1);
    buttonRow->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(DeviceList);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    board::buildBoardList(driver_, state_);
    fillDeviceList();
}

void TFrmDeviceChoice::fillDeviceList() {
    for (int i = 0; i < state_.BoardCount; ++i) {
        const board::BoardEntry& entry = state_.BoardTable[i];
        DeviceList->addItem(
            QString::fromStdString(board::boardListItemText(entry.serial, entry.ordinal)));
    }
    if (state_.BoardCount == 0)
        DeviceList->addItem(QString::fromUtf8(board::kNoBoardsItem));
    Button1->setEnabled(state_.BoardCount > 0);
    DeviceList->setCurrentIndex(0);
}

void TFrmDeviceChoice::showEvent(QShowEvent* event) {
    rememberedSelection_ = DeviceList->currentIndex();
    QDialog::showEvent(event);
}

void TFrmDeviceChoice::done(int result) {
    // Whichever way the dialog closes, it shows the remembered board next time.
    DeviceList->setCurrentIndex(rememberedSelection_);
    QDialog::done(result);
}

void TFrmDeviceChoice::Button1Click() {
    if (!prompts_.confirm(
            this, QStringLiteral("ВНИМАНИЕ!"),
            QStringLiteral("При выборе устройства происходит его сброс. Продолжить?")))
        return;
    const int position = DeviceList->currentIndex();
    if (position < 0 || position >= state_.BoardCount)
        return;
    rememberedSelection_ = position;
    board::applyBoard(driver_, state_, static_cast<std::size_t>(position));
    accept();
}

void TFrmDeviceChoice::Button2Click() { reject(); }

} // namespace ui
