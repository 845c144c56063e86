#pragma once

#include "ui/analysis/Labelwatch.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {

class Prompts;

/// @brief Asks which parameter to chart: an input channel and a label in octal. "Применить"
/// accepts a label of one to three octal digits up to 377 and beeps at anything else.
class TFrmParameterChoice : public QDialog {
    Q_OBJECT
public:
    explicit TFrmParameterChoice(Prompts& prompts, QWidget* parent = nullptr);

    /// Shows `proposal` in the fields, asks modally, and gives the parameter applied.
    [[nodiscard]] std::optional<ParameterKey> ask(ParameterKey proposal);

    void Button1Click();

    QComboBox* cbChannel = nullptr;
    QLineEdit* edLabel = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    Prompts& prompts_;
    ParameterKey chosen_;
};

} // namespace ui
