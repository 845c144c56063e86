#include "ui/stimulus/StimulusModel.h"

#include "ui/common/Text.h"

#include "labels/standard_decoding.h"
#include "labels/standard_encoding.h"
#include "transmission/stimulus_edit.h"

#include <QBrush>
#include <QColor>

namespace ui {
namespace {

constexpr std::array<const char*, StimulusModel::ColumnCount> kHeaders = {
    "метка", "SDI", "параметр", "значение", "закон", "SSM", "интервал, мс", "выдано слов", "пауза"};

QString ssmText(const transmission::StimulusParameter& parameter) {
    const labels::LabelEncoding encoding = parameter.definition->encoding;
    const unsigned ssm = parameter.ssm.value_or(labels::normalSsm(encoding));
    return QStringLiteral("%1%2 %3").arg(ssm >> 1U).arg(ssm & 1U).arg(
        qtext(labels::ssmMeaning(encoding, ssm)));
}

} // namespace

StimulusModel::StimulusModel(QObject* parent) : QAbstractTableModel(parent) {}

void StimulusModel::show(transmission::OutputStimulus* stimulus) {
    stimulus_ = stimulus;
    reset();
}

void StimulusModel::reset() {
    beginResetModel();
    timings_ = stimulus_ ? stimulus_->timings() : std::vector<transmission::WordTiming>{};
    seconds_ = stimulus_ && stimulus_->running() ? stimulus_->seconds() : 0.0;
    endResetModel();
}

void StimulusModel::renew() {
    if (stimulus_ == nullptr || rowCount() == 0)
        return;
    timings_ = stimulus_->timings();
    seconds_ = stimulus_->running() ? stimulus_->seconds() : 0.0;
    Q_EMIT dataChanged(index(0, Value), index(rowCount() - 1, Sent));
}

int StimulusModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || stimulus_ == nullptr
               ? 0
               : static_cast<int>(stimulus_->parameters().size());
}

int StimulusModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StimulusModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount)
        return QString::fromUtf8(kHeaders[static_cast<std::size_t>(section)]);
    return {};
}

Qt::ItemFlags StimulusModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const transmission::StimulusParameter& parameter =
        stimulus_->parameters()[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case Value:
        if (parameter.definition->encoding != labels::LabelEncoding::Disc)
            flags |= Qt::ItemIsEditable;
        break;
    case Sdi:
        if (!parameter.definition->sdi)
            flags |= Qt::ItemIsEditable;
        break;
    case Ssm:
    case Interval: flags |= Qt::ItemIsEditable; break;
    case Paused: flags |= Qt::ItemIsUserCheckable; break;
    default: break;
    }
    return flags;
}

QVariant StimulusModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || stimulus_ == nullptr)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const transmission::StimulusParameter& parameter = stimulus_->parameters()[row];
    const bool outside = row < timings_.size() && timings_[row].outsideWindow;
    switch (role) {
    case Qt::DisplayRole: return display(parameter, row, index.column());
    case Qt::EditRole:
        if (index.column() == Value && parameter.law.kind == transmission::LawKind::Constant)
            return QString::number(parameter.law.value, 'g', 15);
        if (index.column() == Interval)
            return QString::number(parameter.intervalMs, 'g', 15);
        if (index.column() == Sdi)
            return parameter.sdi.value_or(0);
        if (index.column() == Ssm)
            return parameter.ssm.value_or(
                static_cast<std::uint8_t>(labels::normalSsm(parameter.definition->encoding)));
        return display(parameter, row, index.column());
    case Qt::CheckStateRole:
        if (index.column() == Paused)
            return parameter.paused ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        if (index.column() == Interval)
            return intervalTip(parameter, row);
        if (index.column() == LawColumn || index.column() == Value)
            return QStringLiteral("двойной щелчок по закону: закон, биты, сбои");
        return {};
    case Qt::ForegroundRole:
        if (index.column() == Interval && outside)
            return QBrush(QColor(Qt::red));
        return {};
    default: return {};
    }
}

QVariant StimulusModel::display(const transmission::StimulusParameter& parameter, std::size_t row,
                                int column) const {
    switch (column) {
    case Label: return QStringLiteral("%1").arg(parameter.label, 3, 8, QChar('0'));
    case Sdi: return parameter.sdi ? QString::number(*parameter.sdi) : QStringLiteral("любой");
    case Name: return qtext(parameter.definition->name);
    case Value: return qtext(transmission::shownValue(parameter, seconds_));
    case LawColumn: {
        QString text = qtext(transmission::lawText(parameter.law));
        if (parameter.wrongParity)
            text += QStringLiteral("; чётность неверная");
        if (parameter.outsideRange)
            text += QStringLiteral("; вне диапазона");
        return text;
    }
    case Ssm: return ssmText(parameter);
    case Interval: return QString::number(parameter.intervalMs, 'g', 10);
    case Sent: return row < timings_.size() ? QString::number(timings_[row].sent) : QString();
    default: return {};
    }
}

QString StimulusModel::intervalTip(const transmission::StimulusParameter& parameter,
                                   std::size_t row) const {
    const std::string window = transmission::windowText(*parameter.definition);
    QString tip = window.empty() ? QStringLiteral("база меток не задаёт интервал")
                                 : QStringLiteral("по базе меток %1 мс").arg(qtext(window));
    if (row < timings_.size() && timings_[row].sent > 1)
        tip += QStringLiteral("; выдано через %1..%2 мс")
                   .arg(timings_[row].shortestMs, 0, 'f', 1)
                   .arg(timings_[row].longestMs, 0, 'f', 1);
    if (row < timings_.size() && timings_[row].outsideWindow)
        tip += QStringLiteral("; выходил за интервал базы");
    return tip;
}

bool StimulusModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || stimulus_ == nullptr)
        return false;
    const auto row = static_cast<std::size_t>(index.row());
    transmission::StimulusParameter parameter = stimulus_->parameters()[row];
    const bool pausing = role == Qt::CheckStateRole && index.column() == Paused;
    if (role != Qt::EditRole && !pausing)
        return false;
    std::string why;
    if (pausing) {
        parameter.paused = value.value<Qt::CheckState>() == Qt::Checked;
    } else if (index.column() == Value) {
        why = transmission::setValueText(parameter, value.toString().toStdString());
    } else if (index.column() == Interval) {
        why = transmission::setIntervalText(parameter, value.toString().toStdString());
    } else if (index.column() == Sdi || index.column() == Ssm) {
        bool whole = false;
        const int number = value.toInt(&whole);
        if (!whole || number < 0 || number > 3)
            return false;
        (index.column() == Sdi ? parameter.sdi : parameter.ssm) = static_cast<std::uint8_t>(number);
        why = transmission::parameterProblem(parameter);
    } else {
        return false;
    }
    if (!why.empty()) {
        Q_EMIT editRefused(qtext(why));
        return false;
    }
    stimulus_->change(row, std::move(parameter));
    Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
    return true;
}

} // namespace ui
