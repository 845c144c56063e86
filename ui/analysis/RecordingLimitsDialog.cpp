#include "ui/analysis/RecordingLimitsDialog.h"

#include "ui/dialogs/DialogParts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>

namespace ui {
namespace {

constexpr int kLargestMegabytes = 1048576; // a terabyte
constexpr int kLargestMinutes = 7 * 24 * 60;
constexpr int kSecondsInMinute = 60;

QSpinBox* makeField(const char* name, int largest, const char* suffix, QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(0, largest);
    field->setSuffix(QString::fromUtf8(suffix));
    field->setSpecialValueText(QStringLiteral("нет"));
    return field;
}

} // namespace

RecordingLimitsDialog::RecordingLimitsDialog(const analysis::RecordingLimits& limits,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TFrmRecordingLimits"));
    setWindowTitle(QStringLiteral("Параметры записи"));
    setWindowFlags(kFixedSizeDialogFlags);

    splitSize = makeField("seSplitSize", kLargestMegabytes, " МБ", this);
    splitTime = makeField("seSplitTime", kLargestMinutes, " мин", this);
    minFree = makeField("seMinFree", kLargestMegabytes, " МБ", this);
    splitSize->setValue(static_cast<int>(limits.splitBytes >> 20));
    splitTime->setValue(static_cast<int>(limits.splitTime.count() / kSecondsInMinute));
    minFree->setValue(static_cast<int>(limits.minFreeBytes >> 20));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Новый файл, когда файл достиг:"), splitSize);
    form->addRow(QStringLiteral("Новый файл через:"), splitTime);
    form->addRow(QStringLiteral("Остановить, когда на диске свободно меньше:"), minFree);
    const ApplyCancelButtons buttons = makeApplyCancelButtons(*this);
    auto* row = new QHBoxLayout;
    row->addWidget(buttons.apply);
    row->addStretch();
    row->addWidget(buttons.cancel);
    form->addRow(row);
    connect(buttons.apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

analysis::RecordingLimits RecordingLimitsDialog::limits() const {
    return {static_cast<std::uint64_t>(splitSize->value()) << 20,
            std::chrono::seconds(static_cast<std::int64_t>(splitTime->value()) * kSecondsInMinute),
            static_cast<std::uint64_t>(minFree->value()) << 20};
}

} // namespace ui
