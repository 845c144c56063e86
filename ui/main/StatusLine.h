#pragma once

#include <QStatusBar>

class QLabel;

namespace ui {

/// @brief A status bar of two text panels, named "panel0" and "panel1".
class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    StatusLine(const QString& objectName, int firstPanelWidth, QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);

private:
    QLabel* panels_[2];
};

} // namespace ui
