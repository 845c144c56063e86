#include "ui/analysis/Parameterchart.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/analysis/ParameterChartView.h"
#include "ui/main/Mainform.h"

#include "analysis/arrival_order.h"
#include "formats/cp1251.h"
#include "labels/standard_decoding.h"
#include "labels/word_fields.h"
#include "reception/decimal_decode.h"
#include "reception/refresh_tick.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr int kShortestSpanSeconds = 5;
constexpr int kLongestSpanSeconds = 600;

} // namespace

TFrmParameterChart::TFrmParameterChart(TMainFrm& main, ParameterKey parameter,
                                       analysis::MonotonicClock clock, QWidget* parent)
    : TickWindow(main, parent), parameter_(parameter), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("TFrmParameterChart"));
    QString title = QString::asprintf("График параметра: вх.канал %d, АП %03o",
                                      parameter.channelIndex + 1, parameter.label);
    if (parameter.sdi >= 0)
        title += QStringLiteral(", SDI %1").arg(parameter.sdi);
    if (const labels::LabelDefinition* named = definition())
        title += QStringLiteral(" — ") + QString::fromStdString(named->name);
    setWindowTitle(title);

    btPause = new QPushButton(QStringLiteral("пауза"), this);
    btPause->setObjectName(QStringLiteral("btPause"));
    btPause->setCheckable(true);
    btPause->setAutoDefault(false);
    seSpan = new QSpinBox(this);
    seSpan->setObjectName(QStringLiteral("seSpan"));
    seSpan->setRange(kShortestSpanSeconds, kLongestSpanSeconds);
    seSpan->setValue(static_cast<int>(analysis::ParameterSeries::kDefaultSpanMs / 1000));
    seSpan->setToolTip(QStringLiteral("длительность показываемого интервала времени"));
    lbLastValue = new QLabel(this);
    lbLastValue->setObjectName(QStringLiteral("lbLastValue"));
    ChartView = new ParameterChartView(this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("интервал, с:"), this));
    controls->addWidget(seSpan);
    controls->addSpacing(16);
    controls->addWidget(btPause);
    controls->addSpacing(16);
    controls->addWidget(lbLastValue, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(ChartView, 1);
    resize(720, 400);

    connect(btPause, &QPushButton::toggled, this, &TFrmParameterChart::btPauseClick);
    connect(seSpan, &QSpinBox::valueChanged, this, &TFrmParameterChart::seSpanChange);

    // In address mode the label's own cell holds its last word: start from it.
    const board::SharedState& state = main.state();
    const std::uint32_t word =
        state.SIbuffer[parameter.channelIndex % board::kMaxChannels][parameter.label].word;
    const std::int64_t nowMs = clock_();
    if (reception::isReceivedWord(word) && isOfParameter(word))
        takeWord(word, nowMs);
    redraw(nowMs);
}

bool TFrmParameterChart::isOfParameter(std::uint32_t word) const {
    return labels::wordLabel(word) == parameter_.label &&
           (parameter_.sdi < 0 || labels::wordSdi(word) == static_cast<unsigned>(parameter_.sdi));
}

const labels::LabelDefinition* TFrmParameterChart::definition() const {
    const std::shared_ptr<const labels::LabelDatabase>& database =
        main_.analysisMenu().labelDatabaseCommand().database();
    if (!database)
        return nullptr;
    return database->find(
        labels::LabelKey{static_cast<std::uint8_t>(parameter_.channelIndex % board::kMaxChannels),
                         parameter_.label, parameter_.sdi});
}

std::optional<double> TFrmParameterChart::valueOf(std::uint32_t word) const {
    if (const labels::LabelDefinition* named = definition())
        return labels::engineeringValue(word, *named);
    if (const std::optional<reception::DecimalValue> value =
            reception::decimalValueWith(word, format()))
        return value->signedValue();
    return std::nullopt;
}

const formats::DecimalFormat& TFrmParameterChart::format() const {
    return main_.allChannelsFormatLookup()
        .channels[static_cast<std::size_t>(parameter_.channelIndex) % board::kMaxChannels]
        .slots[parameter_.label];
}

void TFrmParameterChart::afterTickReads(const board::SharedState&,
                                        const reception::ChangedCells& changes) {
    const std::int64_t nowMs = clock_();
    analysis::forEachInArrivalOrder(changes, [&](const reception::CellChange& change) {
        if (change.channelIndex == parameter_.channelIndex && isOfParameter(change.word))
            takeWord(change.word, nowMs);
    });
    if (!paused_)
        redraw(nowMs);
}

void TFrmParameterChart::takeWord(std::uint32_t word, std::int64_t nowMs) {
    lastWord_ = word;
    if (paused_)
        return;
    if (const std::optional<double> value = valueOf(word))
        series_.add(nowMs, *value);
}

void TFrmParameterChart::redraw(std::int64_t nowMs) {
    series_.trim(nowMs);
    if (const labels::LabelDefinition* named = definition()) {
        // The database names the parameter: the axis says what it is and in what.
        const QString axis = QString::fromStdString(named->name) +
                             (named->units.empty()
                                  ? QString()
                                  : QStringLiteral(", ") + QString::fromStdString(named->units));
        lbLastValue->setText(lastWord_ ? QStringLiteral("последнее значение: %1")
                                             .arg(QString::fromStdString(
                                                 labels::engineeringText(*lastWord_, *named)))
                                       : QString());
        ChartView->showSeries(series_, nowMs, axis,
                              named->encoding == labels::LabelEncoding::Disc
                                  ? QStringLiteral("Дискретное слово не показывается графиком")
                                  : QString());
        return;
    }
    const formats::DecimalFormat& assigned = format();
    const bool hasFormat = assigned.label[0] != '\0';
    const QString units =
        QString::fromStdString(formats::cp1251ToUtf8(formats::fieldText(assigned.units)));
    const QString message =
        hasFormat ? QString()
                  : QString::asprintf("Метке %03o входного канала %d не назначен десятичный формат",
                                      parameter_.label, parameter_.channelIndex + 1);
    lbLastValue->setText(
        lastWord_
            ? QStringLiteral("последнее значение: %1")
                  .arg(QString::fromStdString(reception::decodeDecimalWith(*lastWord_, assigned))
                           .trimmed())
            : QString());
    ChartView->showSeries(series_, nowMs, units, message);
}

void TFrmParameterChart::btPauseClick(bool paused) {
    const std::int64_t nowMs = clock_();
    btPause->setText(paused ? QStringLiteral("продолжить") : QStringLiteral("пауза"));
    if (paused) {
        series_.addBreak(nowMs);
        redraw(nowMs);
    }
    paused_ = paused;
    if (!paused && lastWord_)
        takeWord(*lastWord_, nowMs);
    if (!paused)
        redraw(nowMs);
}

void TFrmParameterChart::seSpanChange(int seconds) {
    series_.setSpanMs(static_cast<std::int64_t>(seconds) * 1000);
    if (!paused_)
        redraw(clock_());
    else
        ChartView->update();
}

} // namespace ui
