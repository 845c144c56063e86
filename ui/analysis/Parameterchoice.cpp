#include "ui/analysis/Parameterchoice.h"

#include "ui/common/Prompts.h"
#include "ui/dialogs/DialogParts.h"

#include "board/records.h"
#include "labels/label_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

TFrmParameterChoice::TFrmParameterChoice(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmParameterChoice"));
    setWindowTitle(QStringLiteral("График параметра"));
    setWindowFlags(kFixedSizeDialogFlags);

    cbChannel = new QComboBox(this);
    cbChannel->setObjectName(QStringLiteral("cbChannel"));
    for (int channelNo = 1; channelNo <= board::kMaxChannels; ++channelNo)
        cbChannel->addItem(QString::number(channelNo));
    edLabel = new QLineEdit(this);
    edLabel->setObjectName(QStringLiteral("edLabel"));
    edLabel->setMaxLength(3);
    edLabel->setToolTip(QStringLiteral("адрес параметра: три восьмеричные цифры, 000..377"));
    const ApplyCancelButtons buttons = makeApplyCancelButtons(*this);
    Button1 = buttons.apply;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &TFrmParameterChoice::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("входной канал:"), cbChannel);
    fields->addRow(QStringLiteral("АП (восьмеричный):"), edLabel);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Button1);
    buttonRow->addStretch(1);
    buttonRow->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<ParameterKey> TFrmParameterChoice::ask(ParameterKey proposal) {
    cbChannel->setCurrentIndex(proposal.channelIndex);
    edLabel->setText(QString::asprintf("%03o", proposal.label));
    edLabel->selectAll();
    edLabel->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen_;
}

void TFrmParameterChoice::Button1Click() {
    const std::optional<std::uint8_t> label =
        labels::parseOctalLabel(edLabel->text().toStdString());
    if (!label) {
        prompts_.beep();
        return;
    }
    chosen_ = {cbChannel->currentIndex(), *label};
    accept();
}

} // namespace ui
