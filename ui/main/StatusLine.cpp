#include "ui/main/StatusLine.h"

#include <QLabel>

namespace ui {

StatusLine::StatusLine(const QString& objectName, int firstPanelWidth, QWidget* parent)
    : QStatusBar(parent) {
    setObjectName(objectName);
    setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i));
        // Plain, not selectable: the refresh renews a panel on every tick, and a selectable
        // label lays its text out again as a whole document at each change and each paint.
    }
    panels_[0]->setMinimumWidth(firstPanelWidth);
    addWidget(panels_[0], 1);
    addWidget(panels_[1], 1);
}

void StatusLine::setPanelText(int panel, const QString& text) { panels_[panel]->setText(text); }

} // namespace ui
