#pragma once

#include "transmission/output_stimulus.h"

#include "board/shared_state.h"
#include "labels/label_database.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;
class QTableView;
class QTimer;

namespace ui {

class Prompts;
class StimulusModel;
class TFrmStimulusLaw;
class TMainFrm;

/// @brief «Выдача по параметрам»: each output's parameters, taken from the label database and
/// sent by their engineering values, each label at its own interval, on a thread of its own.
/// One output is shown at a time; each output is started and stopped on its own and keeps
/// running while another is shown. The design's array and its commands are left alone.
class TFrmStimulus : public QWidget {
    Q_OBJECT
public:
    TFrmStimulus(TMainFrm& main, Prompts& prompts, QWidget* parent = nullptr);
    ~TFrmStimulus() override;

    /// Whether a stimulus is being sent on output `outputNo` (1-based).
    [[nodiscard]] bool running(std::uint16_t outputNo) const;
    /// Stops every output's stimulus: the board is about to change.
    void stopAll();
    [[nodiscard]] transmission::OutputStimulus& output(std::uint16_t outputNo) {
        return outputs_[outputNo - 1U];
    }
    /// The output shown (1-based).
    [[nodiscard]] std::uint16_t shownOutput() const;

    void btnAddParameterClick();
    void btnRemoveParameterClick();
    void btnStimulusLawClick();
    void btnStimulusOpenClick();
    void btnStimulusSaveClick();
    void btnStimulusStartClick();
    void btnStimulusStopClick();
    void cbStimulusOutputChange(int index);

    /// Loads a stimulus file onto the shown output, as «открыть…» does after its dialog.
    bool open(const QString& path);

    QComboBox* cbStimulusOutput = nullptr;
    QLabel* lbBusLoad = nullptr;
    QLineEdit* edParameterSearch = nullptr;
    QPushButton* btnAddParameter = nullptr;
    QPushButton* btnRemoveParameter = nullptr;
    QPushButton* btnStimulusLaw = nullptr;
    QPushButton* btnStimulusOpen = nullptr;
    QPushButton* btnStimulusSave = nullptr;
    QPushButton* btnStimulusStart = nullptr;
    QPushButton* btnStimulusStop = nullptr;
    QTableView* gridStimulus = nullptr;
    QLabel* lbStimulusState = nullptr;

Q_SIGNALS:
    /// An output's stimulus started or stopped.
    void runningChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void databaseChanged();
    void fillOutputs();
    void showState();
    void renew();
    [[nodiscard]] std::uint8_t rateCode() const;
    [[nodiscard]] std::optional<std::size_t> selectedRow() const;
    [[nodiscard]] const labels::LabelDefinition* chosenRow() const;

    TMainFrm& main_;
    Prompts& prompts_;
    std::array<transmission::OutputStimulus, board::kMaxChannels> outputs_{};
    std::array<bool, board::kMaxChannels> wasRunning_{};
    /// The database the parameters point into, kept while they do.
    std::shared_ptr<const labels::LabelDatabase> database_;
    StimulusModel* model_ = nullptr;
    QStringListModel* choices_ = nullptr;
    QTimer* renewTimer_ = nullptr;
    std::unique_ptr<TFrmStimulusLaw> lawDialog_;
};

} // namespace ui
