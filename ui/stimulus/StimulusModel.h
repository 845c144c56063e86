#pragma once

#include "transmission/output_stimulus.h"

#include <QAbstractTableModel>

#include <vector>

namespace ui {

/// @brief The parameters of one output's stimulus as the window's table shows and edits them:
/// a row per parameter. Edits go through the stimulus, so that a running one takes them with
/// its next burst; a value or interval it cannot take is refused with the reason.
class StimulusModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Label, Sdi, Name, Value, LawColumn, Ssm, Interval, Sent, Paused, ColumnCount };

    explicit StimulusModel(QObject* parent = nullptr);

    /// Shows `stimulus` (not owned; null for none).
    void show(transmission::OutputStimulus* stimulus);
    /// Takes the values and counts of the moment; the rows stay as they are.
    void renew();
    /// Rows were added, removed or replaced.
    void reset();

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    /// An edit was refused; `why` says it in the system's words.
    void editRefused(const QString& why);

private:
    [[nodiscard]] QVariant display(const transmission::StimulusParameter& parameter,
                                   std::size_t row, int column) const;
    [[nodiscard]] QString intervalTip(const transmission::StimulusParameter& parameter,
                                      std::size_t row) const;

    transmission::OutputStimulus* stimulus_ = nullptr;
    std::vector<transmission::WordTiming> timings_;
    double seconds_ = 0.0;
};

} // namespace ui
