#include "ui/dialogs/Sobinparam.h"

#include "ui/common/Text.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/grid/Fonts.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace ui {

namespace {

constexpr int kDialogWidth = 673;
constexpr int kDialogHeight = 160;
constexpr int kMargin = 8;
constexpr int kPanelTop = 12;
constexpr int kNumberFontPx = 12;
constexpr int kPanelLeft = 44;
constexpr int kPanelPadding = 10;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;

/// Horizontal centre of each bit's box, in character cells of the fixed-pitch number row
/// over the boxes: an odd bit sits under its number, an even bit halfway between its odd
/// neighbours, and bit 8 one step left of bit 7, after the gap that separates code from
/// address.
[[nodiscard]] std::array<double, 33> bitCentresInCells(std::string_view numbers) {
    std::array<double, 33> centre{};
    for (std::size_t i = 0; i < numbers.size();) {
        if (numbers[i] < '0' || numbers[i] > '9') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        int bit = 0;
        for (; i < numbers.size() && numbers[i] >= '0' && numbers[i] <= '9'; ++i)
            bit = bit * 10 + (numbers[i] - '0');
        if (bit >= 1 && bit <= 32)
            centre[static_cast<std::size_t>(bit)] =
                static_cast<double>(start) + static_cast<double>(i - start) / 2.0;
    }
    for (std::size_t bit = 2; bit <= 30; bit += 2)
        centre[bit] = (centre[bit + 1] + centre[bit - 1]) / 2.0;
    centre[8] = centre[7] - (centre[5] - centre[7]) / 2.0;
    return centre;
}

} // namespace

TFrmSObinParam::TFrmSObinParam(board::SharedState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("TFrmSObinParam"));
    setWindowTitle(qtext(transmission::kBitEditorDesignCaption));
    setWindowFlags(kFixedSizeDialogFlags);
    createControls();
    placeControls();
    setFixedSize(kDialogWidth, kDialogHeight);
}

void TFrmSObinParam::createControls() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    for (int number = 1; number <= transmission::kBitCheckBoxCount; ++number) {
        auto* box = new QCheckBox(number == 1 ? static_cast<QWidget*>(this) : Panel1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(number));
        box->setToolTip(QString::number(transmission::bitOfCheckBox(number)));
        // Setting a box while showing runs this too, as a click would; it leaves the word as
        // it is because the box then already matches its bit.
        connect(box, &QCheckBox::toggled, this, [this, number] { CheckBoxClick(number); });
        checkBoxes_[static_cast<std::size_t>(number - 1)] = box;
    }

    Label1 = new QLabel(qtext(transmission::kBitNumbersOverRow), Panel1);
    Label2 = new QLabel(qtext(transmission::kBitNumberOverCheckBox1), this);
    Label3 = new QLabel(qtext(transmission::kAddressLabel), Panel1);
    Label4 = new QLabel(qtext(transmission::kCodeLabel), Panel1);
    const std::array labels{Label1, Label2, Label3, Label4};
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    Label1->setFont(courierNewFont(kNumberFontPx));
    Label2->setFont(courierNewFont(kNumberFontPx));

    const ApplyCancelButtons buttons = makeApplyCancelButtons(*this);
    Button1 = buttons.apply;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &TFrmSObinParam::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrmSObinParam::Button2Click);
}

void TFrmSObinParam::placeControls() {
    const QFontMetricsF numbers(Label1->font());
    const double cell = numbers.horizontalAdvance(QLatin1Char('0'));
    const int numbersHeight = static_cast<int>(numbers.height()) + 2;
    const int boxWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int boxHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const int textHeight = Label3->sizeHint().height();
    const auto centre = bitCentresInCells(transmission::kBitNumbersOverRow);

    const int rowTop = kPanelPadding + numbersHeight + 2;
    const int captionsTop = rowTop + boxHeight + 8;
    const int panelWidth = kDialogWidth - kPanelLeft - kMargin;
    Panel1->setGeometry(kPanelLeft, kPanelTop, panelWidth,
                        captionsTop + textHeight + kPanelPadding);
    const int numbersWidth =
        static_cast<int>(cell * static_cast<double>(transmission::kBitNumbersOverRow.size())) + 2;
    const int rowLeft = std::max(kPanelPadding, (panelWidth - numbersWidth) / 2);
    Label1->setGeometry(rowLeft, kPanelPadding, numbersWidth, numbersHeight);

    const auto boxLeft = [&](int bit) {
        return rowLeft + static_cast<int>(std::lround(cell * centre[static_cast<std::size_t>(bit)] -
                                                      boxWidth / 2.0));
    };
    for (int number = 2; number <= transmission::kBitCheckBoxCount; ++number)
        CheckBox(number)->setGeometry(boxLeft(transmission::bitOfCheckBox(number)), rowTop,
                                      boxWidth, boxHeight);

    // Bit 32 stands apart, level with the row inside the panel and under its own number.
    const int standaloneCentre = (kMargin + kPanelLeft) / 2;
    const int twoDigits = static_cast<int>(cell * 2.0) + 2;
    Label2->setGeometry(standaloneCentre - twoDigits / 2, kPanelTop + kPanelPadding, twoDigits,
                        numbersHeight);
    CheckBox(1)->setGeometry(standaloneCentre - boxWidth / 2, kPanelTop + rowTop, boxWidth,
                             boxHeight);

    // Each caption is centred under the boxes it names: the code bits 31..9, the address 8..1.
    const auto placeCaption = [&](QLabel* caption, int leftBit, int rightBit) {
        const int width = caption->sizeHint().width();
        const int middle = (boxLeft(leftBit) + boxLeft(rightBit) + boxWidth) / 2;
        caption->setGeometry(middle - width / 2, captionsTop, width, textHeight);
    };
    placeCaption(Label4, 31, 9);
    placeCaption(Label3, 8, 1);

    const int buttonsTop = kDialogHeight - kPanelTop - kButtonHeight;
    const int right = kDialogWidth - kMargin;
    Button2->setGeometry(right - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    Button1->setGeometry(right - 2 * kButtonWidth - kButtonGap, buttonsTop, kButtonWidth,
                         kButtonHeight);
}

QCheckBox* TFrmSObinParam::CheckBox(int checkBox) const {
    if (checkBox < 1 || checkBox > transmission::kBitCheckBoxCount)
        return nullptr;
    return checkBoxes_[static_cast<std::size_t>(checkBox - 1)];
}

void TFrmSObinParam::showEvent(QShowEvent* event) {
    // A window restored by the system is not a new showing.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmSObinParam::FormShow() {
    editor_.show(state_);
    setWindowTitle(QString::fromStdString(editor_.caption()));
    for (int number = transmission::kBitCheckBoxCount; number >= 1; --number)
        CheckBox(number)->setChecked(editor_.isChecked(number));
}

void TFrmSObinParam::CheckBoxClick(int checkBox) {
    if (QCheckBox* box = CheckBox(checkBox))
        editor_.setChecked(checkBox, box->isChecked());
}

void TFrmSObinParam::Button1Click() {
    editor_.apply(state_);
    accept();
}

void TFrmSObinParam::Button2Click() { reject(); }

} // namespace ui
