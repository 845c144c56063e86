#include "ui/stimulus/StimulusLaw.h"

#include "ui/common/Prompts.h"
#include "ui/common/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

QLineEdit* numberField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromUtf8(name));
    return field;
}

QWidget* page(QWidget* parent, std::initializer_list<std::pair<const char*, QWidget*>> rows) {
    auto* widget = new QWidget(parent);
    auto* form = new QFormLayout(widget);
    for (const auto& [caption, field] : rows)
        form->addRow(QString::fromUtf8(caption), field);
    return widget;
}

} // namespace

TFrmStimulusLaw::TFrmStimulusLaw(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmStimulusLaw"));
    setWindowTitle(QStringLiteral("Закон параметра"));
    lbParameter_ = new QLabel(this);

    cbLawKind = new QComboBox(this);
    cbLawKind->setObjectName(QStringLiteral("cbLawKind"));
    cbLawKind->addItems({QStringLiteral("постоянно"), QStringLiteral("линейно"),
                         QStringLiteral("синус"), QStringLiteral("ступени")});
    edValue = numberField(this, "edValue");
    edFrom = numberField(this, "edFrom");
    edTo = numberField(this, "edTo");
    edSeconds = numberField(this, "edSeconds");
    cbLinearEnd = new QComboBox(this);
    cbLinearEnd->setObjectName(QStringLiteral("cbLinearEnd"));
    cbLinearEnd->addItems({QStringLiteral("держать конечное значение"),
                           QStringLiteral("начинать снова"), QStringLiteral("туда и обратно")});
    edMean = numberField(this, "edMean");
    edAmplitude = numberField(this, "edAmplitude");
    edPeriod = numberField(this, "edPeriod");
    edSteps = numberField(this, "edSteps");
    edSteps->setPlaceholderText(QStringLiteral("значение:секунды; значение:секунды …"));

    pgLaw = new QStackedWidget(this);
    pgLaw->setObjectName(QStringLiteral("pgLaw"));
    pgLaw->addWidget(page(this, {{"значение:", edValue}}));
    pgLaw->addWidget(page(
        this, {{"от:", edFrom}, {"до:", edTo}, {"за, с:", edSeconds}, {"затем:", cbLinearEnd}}));
    pgLaw->addWidget(
        page(this, {{"среднее:", edMean}, {"амплитуда:", edAmplitude}, {"период, с:", edPeriod}}));
    pgLaw->addWidget(page(this, {{"ступени:", edSteps}}));
    connect(cbLawKind, &QComboBox::currentIndexChanged, pgLaw, &QStackedWidget::setCurrentIndex);

    lbDiscreteBits = new QListWidget(this);
    lbDiscreteBits->setObjectName(QStringLiteral("lbDiscreteBits"));
    cbWrongParity = new QCheckBox(QStringLiteral("неверная чётность (проверка приёмника)"), this);
    cbWrongParity->setObjectName(QStringLiteral("cbWrongParity"));
    cbOutsideRange =
        new QCheckBox(QStringLiteral("значения вне диапазона базы (проверка приёмника)"), this);
    cbOutsideRange->setObjectName(QStringLiteral("cbOutsideRange"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFrmStimulusLaw::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFrmStimulusLaw::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbParameter_);
    layout->addWidget(cbLawKind);
    layout->addWidget(pgLaw);
    layout->addWidget(lbDiscreteBits);
    layout->addWidget(cbWrongParity);
    layout->addWidget(cbOutsideRange);
    layout->addWidget(buttons);
}

std::optional<transmission::StimulusParameter> TFrmStimulusLaw::edit(
    const transmission::StimulusParameter& parameter) {
    fill(parameter);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return parameter_;
}

void TFrmStimulusLaw::fill(const transmission::StimulusParameter& parameter) {
    parameter_ = parameter;
    const labels::LabelDefinition& definition = *parameter.definition;
    lbParameter_->setText(QStringLiteral("%1 %2, %3")
                              .arg(parameter.label, 3, 8, QChar('0'))
                              .arg(qtext(definition.name))
                              .arg(definition.units.empty() ? QStringLiteral("без единиц")
                                                            : qtext(definition.units)));
    const bool discrete = definition.encoding == labels::LabelEncoding::Disc;
    cbLawKind->setVisible(!discrete);
    pgLaw->setVisible(!discrete);
    lbDiscreteBits->setVisible(discrete);
    cbOutsideRange->setVisible(!discrete);

    const transmission::LawFields fields = transmission::fieldsOf(parameter.law);
    cbLawKind->setCurrentIndex(static_cast<int>(fields.kind));
    pgLaw->setCurrentIndex(static_cast<int>(fields.kind));
    edValue->setText(qtext(fields.value));
    edFrom->setText(qtext(fields.from));
    edTo->setText(qtext(fields.to));
    edSeconds->setText(qtext(fields.seconds));
    cbLinearEnd->setCurrentIndex(static_cast<int>(fields.end));
    edMean->setText(qtext(fields.mean));
    edAmplitude->setText(qtext(fields.amplitude));
    edPeriod->setText(qtext(fields.period));
    edSteps->setText(qtext(fields.steps));

    lbDiscreteBits->clear();
    for (const labels::DiscreteBit& bit : definition.discretes) {
        auto* item = new QListWidgetItem(
            QStringLiteral("бит %1: %2").arg(bit.bit).arg(qtext(bit.name)), lbDiscreteBits);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState((parameter.discreteBits >> (bit.bit - 1) & 1U) != 0 ? Qt::Checked
                                                                                : Qt::Unchecked);
    }
    cbWrongParity->setChecked(parameter.wrongParity);
    cbOutsideRange->setChecked(parameter.outsideRange);
}

transmission::LawFields TFrmStimulusLaw::fields() const {
    return {.kind = static_cast<transmission::LawKind>(cbLawKind->currentIndex()),
            .value = edValue->text().toStdString(),
            .from = edFrom->text().toStdString(),
            .to = edTo->text().toStdString(),
            .seconds = edSeconds->text().toStdString(),
            .end = static_cast<transmission::LinearEnd>(cbLinearEnd->currentIndex()),
            .mean = edMean->text().toStdString(),
            .amplitude = edAmplitude->text().toStdString(),
            .period = edPeriod->text().toStdString(),
            .steps = edSteps->text().toStdString()};
}

void TFrmStimulusLaw::accept() {
    transmission::StimulusParameter edited = parameter_;
    const labels::LabelDefinition& definition = *edited.definition;
    if (definition.encoding == labels::LabelEncoding::Disc) {
        edited.discreteBits = 0;
        for (int row = 0; row < lbDiscreteBits->count(); ++row)
            if (lbDiscreteBits->item(row)->checkState() == Qt::Checked)
                edited.discreteBits |=
                    1U << (definition.discretes[static_cast<std::size_t>(row)].bit - 1);
    } else {
        const transmission::LawEdit law = transmission::lawOf(fields());
        if (!law.law) {
            prompts_.warn(this, windowTitle(), qtext(law.why));
            return;
        }
        edited.law = *law.law;
    }
    edited.wrongParity = cbWrongParity->isChecked();
    edited.outsideRange = cbOutsideRange->isChecked();
    if (const std::string why = transmission::parameterProblem(edited); !why.empty()) {
        prompts_.warn(this, windowTitle(), qtext(why));
        return;
    }
    parameter_ = std::move(edited);
    QDialog::accept();
}

} // namespace ui
