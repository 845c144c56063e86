#include "ui/dialogs/Timerperiod.h"

#include "ui/dialogs/DialogParts.h"

#include "reception/refresh_period.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace ui {

namespace {

constexpr int kDialogWidth = 264;
constexpr int kDialogHeight = 117;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 21;

[[nodiscard]] QFont tahomaFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

TFrmTimerPeriod::TFrmTimerPeriod(board::SharedState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("TFrmTimerPeriod"));
    setWindowTitle(QStringLiteral("Период обновления экрана, мс"));
    setWindowFlags(kFixedSizeDialogFlags);
    setFont(tahomaFont(11));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    const ApplyCancelButtons buttons = makeApplyCancelButtons(*this);
    Button1 = buttons.apply;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &TFrmTimerPeriod::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrmTimerPeriod::Button2Click);

    Edit1->setGeometry(kMargin, kMargin, kDialogWidth - 2 * kMargin, kEditHeight);
    const int buttonsTop = kDialogHeight - kMargin - kButtonHeight;
    Button1->setGeometry(kMargin, buttonsTop, kButtonWidth, kButtonHeight);
    Button2->setGeometry(kDialogWidth - kMargin - kButtonWidth, buttonsTop, kButtonWidth,
                         kButtonHeight);
    setFixedSize(kDialogWidth, kDialogHeight);
}

void TFrmTimerPeriod::showEvent(QShowEvent* event) {
    // A window restored by the system is not a new showing.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmTimerPeriod::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Escape closes nothing; only the close box and the
    // buttons end the dialog.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmTimerPeriod::FormShow() {
    Edit1->setText(QString::fromStdString(reception::refreshPeriodText(state_.RefreshPeriod)));
    // Typing replaces the shown period, as the focused field's whole text is selected.
    Edit1->selectAll();
    Edit1->setFocus();
}

void TFrmTimerPeriod::Button1Click() {
    state_.RefreshPeriod =
        reception::appliedRefreshPeriod(Edit1->text().toStdString(), state_.RefreshPeriod);
    accept();
}

void TFrmTimerPeriod::Button2Click() { reject(); }

} // namespace ui
