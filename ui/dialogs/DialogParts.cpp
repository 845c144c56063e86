#include "ui/dialogs/DialogParts.h"

#include <QFont>
#include <QPushButton>
#include <QSize>

namespace ui {
namespace {

QPushButton* makeNonDefaultButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

ApplyCancelButtons makeApplyCancelButtons(QWidget& dialog) {
    return {makeNonDefaultButton(QStringLiteral("Применить"), QStringLiteral("Button1"), &dialog),
            makeNonDefaultButton(QStringLiteral("Отмена"), QStringLiteral("Button2"), &dialog)};
}

QPushButton* makeSignButton(const QString& caption, const QString& name, int captionPixels,
                            QSize size, QWidget* parent) {
    QPushButton* button = makeNonDefaultButton(caption, name, parent);
    QFont bold = button->font();
    bold.setBold(true);
    bold.setPixelSize(captionPixels);
    button->setFont(bold);
    button->setFixedSize(size);
    return button;
}

} // namespace ui
