#pragma once

#include "board/shared_state.h"
#include "transmission/bit_editor.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace ui {

/// @brief The output word bit editor: one word of the current output array (SOparamIndex)
/// set bit by bit with 32 check boxes. Shown modally; every showing starts from the word's
/// current value, and only "Применить" writes the edited copy back.
class TFrmSObinParam : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSObinParam(board::SharedState& state, QWidget* parent = nullptr);

    void FormShow();
    /// CheckBox1Click ... CheckBox32Click: the box's bit follows its check state.
    void CheckBoxClick(int checkBox);
    void Button1Click();
    void Button2Click();

    /// The copy of the word that the check boxes change.
    [[nodiscard]] std::uint32_t workingWord() const { return editor_.workingWord(); }
    /// CheckBox1 ... CheckBox32; nullptr for any other number.
    [[nodiscard]] QCheckBox* CheckBox(int checkBox) const;

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void placeControls();

    board::SharedState& state_;
    transmission::OutputWordBitEditor editor_;
    std::array<QCheckBox*, transmission::kBitCheckBoxCount> checkBoxes_{};
};

} // namespace ui
