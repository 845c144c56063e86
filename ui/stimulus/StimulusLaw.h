#pragma once

#include "transmission/stimulus_edit.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace ui {

class Prompts;

/// @brief The law of one parameter (constant, linear, sine, steps), the named bits of a
/// discrete word, and the faults put into its words on purpose. «OK» takes it only when the
/// law can run and every value it reaches makes a word; otherwise it says why and stays.
class TFrmStimulusLaw : public QDialog {
    Q_OBJECT
public:
    TFrmStimulusLaw(Prompts& prompts, QWidget* parent = nullptr);

    /// Shows `parameter` to edit; the edited one when the user took it.
    [[nodiscard]] std::optional<transmission::StimulusParameter> edit(
        const transmission::StimulusParameter& parameter);

    void accept() override;

    QComboBox* cbLawKind = nullptr;
    QStackedWidget* pgLaw = nullptr;
    QLineEdit* edValue = nullptr;
    QLineEdit* edFrom = nullptr;
    QLineEdit* edTo = nullptr;
    QLineEdit* edSeconds = nullptr;
    QComboBox* cbLinearEnd = nullptr;
    QLineEdit* edMean = nullptr;
    QLineEdit* edAmplitude = nullptr;
    QLineEdit* edPeriod = nullptr;
    QLineEdit* edSteps = nullptr;
    QListWidget* lbDiscreteBits = nullptr;
    QCheckBox* cbWrongParity = nullptr;
    QCheckBox* cbOutsideRange = nullptr;

private:
    void fill(const transmission::StimulusParameter& parameter);
    [[nodiscard]] transmission::LawFields fields() const;

    Prompts& prompts_;
    QLabel* lbParameter_ = nullptr;
    transmission::StimulusParameter parameter_;
};

} // namespace ui
