#include "ui/main/RatePanel.h"

#include "ui/common/Text.h"

#include "board/rate_codes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace ui {
namespace {

QComboBox* makeSelector(const std::array<std::string_view, board::kRateCodeCount>& items,
                        const QString& name, QWidget* parent) {
    auto* selector = new QComboBox(parent);
    selector->setObjectName(name);
    for (std::string_view item : items)
        selector->addItem(qtext(item));
    selector->setCurrentIndex(0);
    return selector;
}

} // namespace

RatePanel::RatePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel9"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(this);

    auto* header = new QLabel(QStringLiteral("Частоты каналов"), this);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    layout->addWidget(header, 0, 0, 1, 3, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QStringLiteral("входные ПК        выходные ПК"), this), 1, 1, 1, 2,
                      Qt::AlignHCenter);

    for (int i = 0; i < board::kMaxChannels; ++i) {
        const int number = i + 1;
        rowLabels_[i] = new QLabel(QStringLiteral("канал %1").arg(number), this);
        rowLabels_[i]->setObjectName(QStringLiteral("lbRateRow%1").arg(number));
        inputSelectors_[i] =
            makeSelector(board::kInputRateItems, QStringLiteral("cbFreqSI%1").arg(number), this);
        outputSelectors_[i] =
            makeSelector(board::kOutputRateItems, QStringLiteral("cbFreqSO%1").arg(number), this);
        layout->addWidget(rowLabels_[i], i + 2, 0);
        layout->addWidget(inputSelectors_[i], i + 2, 1);
        layout->addWidget(outputSelectors_[i], i + 2, 2);
        // activated, not currentIndexChanged: only a pick by the user stores a rate code.
        connect(inputSelectors_[i], &QComboBox::activated, this,
                [this, i](int code) { Q_EMIT rateChosen(board::ChannelSide::Input, i, code); });
        connect(outputSelectors_[i], &QComboBox::activated, this,
                [this, i](int code) { Q_EMIT rateChosen(board::ChannelSide::Output, i, code); });
    }
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(board::kMaxChannels + 2, 1);
}

void RatePanel::selectFirstItems() {
    for (int i = 0; i < board::kMaxChannels; ++i) {
        inputSelectors_[i]->setCurrentIndex(0);
        outputSelectors_[i]->setCurrentIndex(0);
    }
}

void RatePanel::showChannels(board::ChannelSide side, int count) {
    for (int i = 0; i < board::kMaxChannels; ++i) {
        const bool shown = i < count;
        if (side == board::ChannelSide::Input) {
            inputSelectors_[i]->setVisible(shown);
            rowLabels_[i]->setVisible(shown);
        } else {
            outputSelectors_[i]->setVisible(shown);
        }
    }
}

} // namespace ui
