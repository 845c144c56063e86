#include "ui/stimulus/Replay.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/common/Prompts.h"
#include "ui/common/Text.h"
#include "ui/main/Mainform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

namespace ui {
namespace {

constexpr int kRenewMs = 250;

QString caption() { return QStringLiteral("Воспроизведение записи"); }

QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* made = new QPushButton(QString::fromUtf8(text), parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
}

QDoubleSpinBox* spin(QWidget* parent, const char* name, double lowest, double highest,
                     double value) {
    auto* made = new QDoubleSpinBox(parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setRange(lowest, highest);
    made->setDecimals(1);
    made->setValue(value);
    return made;
}

std::filesystem::path pathOf(const QString& path) { return {path.toStdU16String()}; }

} // namespace

TFrmReplay::TFrmReplay(TMainFrm& main, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmReplay"));
    setWindowTitle(caption());

    btnReplayOpen = button(this, "btnReplayOpen", "открыть запись…");
    lbRecording = new QLabel(QStringLiteral("запись не открыта"), this);
    lbRecording->setObjectName(QStringLiteral("lbRecording"));
    lbRecording->setWordWrap(true);

    auto* routes = new QGridLayout;
    routes->addWidget(new QLabel(QStringLiteral("вход записи"), this), 0, 0);
    routes->addWidget(new QLabel(QStringLiteral("на выход"), this), 1, 0);
    for (std::size_t input = 0; input < cbInputs.size(); ++input) {
        cbInputs[input] = new QCheckBox(QString::number(input + 1), this);
        cbInputs[input]->setObjectName(QStringLiteral("cbInput%1").arg(input + 1));
        cbOutputs[input] = new QComboBox(this);
        cbOutputs[input]->setObjectName(QStringLiteral("cbOutput%1").arg(input + 1));
        routes->addWidget(cbInputs[input], 0, static_cast<int>(input) + 1);
        routes->addWidget(cbOutputs[input], 1, static_cast<int>(input) + 1);
    }

    cbReplayMode = new QComboBox(this);
    cbReplayMode->setObjectName(QStringLiteral("cbReplayMode"));
    cbReplayMode->addItems({QStringLiteral("как записано"), QStringLiteral("по меткам")});
    cbReplayMode->setToolTip(QStringLiteral(
        "как записано: каждое слово один раз в свое время; по меткам: последнее значение "
        "каждой метки со своим интервалом (для записи в адресном режиме)"));
    seSpeed = spin(this, "seSpeed", replay::kSlowestSpeed, replay::kFastestSpeed, 1.0);
    seSpeed->setPrefix(QStringLiteral("×"));
    cbLoop = new QCheckBox(QStringLiteral("по кругу"), this);
    cbLoop->setObjectName(QStringLiteral("cbLoop"));
    seStartAt = spin(this, "seStartAt", 0.0, 1e7, 0.0);
    cbSkipGaps = new QCheckBox(QStringLiteral("сокращать паузы длиннее, с:"), this);
    cbSkipGaps->setObjectName(QStringLiteral("cbSkipGaps"));
    seLongestGap = spin(this, "seLongestGap", 0.1, 3600.0, 1.0);
    edLabelFilter = new QLineEdit(this);
    edLabelFilter->setObjectName(QStringLiteral("edLabelFilter"));
    edLabelFilter->setPlaceholderText(QStringLiteral("все метки (или восьмеричные через пробел)"));

    btnReplayStart = button(this, "btnReplayStart", "пуск");
    btnReplayPause = button(this, "btnReplayPause", "пауза");
    btnReplayStep = button(this, "btnReplayStep", "шаг");
    btnReplayStep->setToolTip(QStringLiteral("на паузе: слова следующего цикла записи"));
    btnReplayStop = button(this, "btnReplayStop", "стоп");
    pbReplay = new QProgressBar(this);
    pbReplay->setObjectName(QStringLiteral("pbReplay"));
    pbReplay->setRange(0, 1000);
    pbReplay->setValue(0);
    lbReplayState = new QLabel(this);
    lbReplayState->setObjectName(QStringLiteral("lbReplayState"));
    lbReplayState->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(btnReplayOpen);
    top->addWidget(lbRecording, 1);
    auto* settings = new QHBoxLayout;
    settings->addWidget(cbReplayMode);
    settings->addWidget(new QLabel(QStringLiteral("скорость"), this));
    settings->addWidget(seSpeed);
    settings->addWidget(cbLoop);
    settings->addWidget(new QLabel(QStringLiteral("с секунды"), this));
    settings->addWidget(seStartAt);
    settings->addWidget(cbSkipGaps);
    settings->addWidget(seLongestGap);
    settings->addStretch(1);
    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(QStringLiteral("метки:"), this));
    filter->addWidget(edLabelFilter, 1);
    auto* commands = new QHBoxLayout;
    commands->addWidget(btnReplayStart);
    commands->addWidget(btnReplayPause);
    commands->addWidget(btnReplayStep);
    commands->addWidget(btnReplayStop);
    commands->addWidget(pbReplay, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(routes);
    layout->addLayout(settings);
    layout->addLayout(filter);
    layout->addLayout(commands);
    layout->addWidget(lbReplayState);
    layout->addStretch(1);
    resize(980, 300);

    renewTimer_ = new QTimer(this);
    renewTimer_->setInterval(kRenewMs);
    connect(renewTimer_, &QTimer::timeout, this, &TFrmReplay::renew);
    connect(btnReplayOpen, &QPushButton::clicked, this, &TFrmReplay::btnReplayOpenClick);
    connect(btnReplayStart, &QPushButton::clicked, this, &TFrmReplay::btnReplayStartClick);
    connect(btnReplayPause, &QPushButton::clicked, this, &TFrmReplay::btnReplayPauseClick);
    connect(btnReplayStep, &QPushButton::clicked, this, &TFrmReplay::btnReplayStepClick);
    connect(btnReplayStop, &QPushButton::clicked, this, &TFrmReplay::btnReplayStopClick);
    fillOutputs();
    showState();
}

TFrmReplay::~TFrmReplay() { control_.stop(); }

void TFrmReplay::stop() {
    control_.stop();
    renew();
}

void TFrmReplay::showEvent(QShowEvent* event) {
    fillOutputs();
    QWidget::showEvent(event);
}

void TFrmReplay::fillOutputs() {
    const int count = std::clamp<int>(main_.state().SOcount, 1, board::kMaxChannels);
    for (std::size_t input = 0; input < cbOutputs.size(); ++input) {
        QComboBox* outputs = cbOutputs[input];
        if (outputs->count() == count)
            continue;
        outputs->clear();
        for (int channelNo = 1; channelNo <= count; ++channelNo)
            outputs->addItem(QString::number(channelNo));
        outputs->setCurrentIndex(static_cast<int>(input) % count);
    }
}

bool TFrmReplay::open(const QString& path) {
    const analysis::RecordingSummary summary = analysis::summarizeRecording(pathOf(path));
    const QString shown = QDir::toNativeSeparators(path);
    if (summary.error) {
        prompts_.warn(this, caption(),
                      qtext(analysis::recordingErrorMessage(shown.toStdString(), *summary.error)));
        return false;
    }
    if (summary.words == 0) {
        prompts_.warn(this, caption(),
                      QStringLiteral("В записи %1 нет ни одного слова.").arg(shown));
        return false;
    }
    control_.stop();
    path_ = path;
    summary_ = summary;
    QString inputs;
    for (std::size_t input = 0; input < cbInputs.size(); ++input) {
        const bool recorded = (summary.channels >> input & 1U) != 0;
        cbInputs[input]->setEnabled(recorded);
        cbInputs[input]->setChecked(recorded);
        cbOutputs[input]->setEnabled(recorded);
        if (recorded)
            inputs +=
                QStringLiteral(" %1 (меток %2)").arg(input + 1).arg(summary.labels[input].size());
    }
    QString text =
        QStringLiteral("%1: %2 с, слов %3; входы:%4")
            .arg(QFileInfo(path).fileName())
            .arg(static_cast<double>(summary.lastMs - summary.firstMs) / 1000.0, 0, 'f', 1)
            .arg(summary.words)
            .arg(inputs);
    if (summary.tornLine > 0)
        text += QStringLiteral("; строка %1 оборвана и пропущена").arg(summary.tornLine);
    lbRecording->setText(text);
    showState();
    return true;
}

void TFrmReplay::btnReplayOpenClick() {
    const QString path = prompts_.chooseFileToOpen(
        this, QStringLiteral("Записи принятых слов (*.csv)"), QStringLiteral("."));
    if (!path.isEmpty())
        (void)open(path);
}

std::optional<replay::ReplayOptions> TFrmReplay::options() {
    replay::ReplayOptions options;
    options.mode = cbReplayMode->currentIndex() == 1 ? replay::ReplayMode::ByLabel
                                                     : replay::ReplayMode::AsRecorded;
    for (std::size_t input = 0; input < cbInputs.size(); ++input)
        if (cbInputs[input]->isEnabled() && cbInputs[input]->isChecked()) {
            const auto outputNo = static_cast<std::uint16_t>(cbOutputs[input]->currentIndex() + 1);
            options.routes.push_back({.inputNo = static_cast<std::uint8_t>(input + 1),
                                      .outputNo = outputNo,
                                      .rateCode = main_.state().FreqCodes.SOfreq[outputNo - 1U]});
        }
    const std::optional<std::bitset<256>> labels =
        replay::parseLabelFilter(edLabelFilter->text().toStdString());
    if (!labels) {
        prompts_.warn(this, caption(),
                      QStringLiteral("Метки — восьмеричные числа 0..377 через пробел."));
        return std::nullopt;
    }
    options.labels = *labels;
    options.speed = seSpeed->value();
    options.loop = cbLoop->isChecked();
    options.startMs = summary_.firstMs + static_cast<std::uint64_t>(seStartAt->value() * 1000.0);
    if (cbSkipGaps->isChecked())
        options.longestGapMs = static_cast<std::uint64_t>(seLongestGap->value() * 1000.0);
    return options;
}

void TFrmReplay::btnReplayStartClick() {
    if (path_.isEmpty())
        return;
    if (main_.state().DeviceHandle == board::kNoDevice) {
        prompts_.warn(this, caption(), QStringLiteral("Модуль не выбран."));
        return;
    }
    const std::optional<replay::ReplayOptions> chosen = options();
    if (!chosen)
        return;
    for (const replay::ReplayRoute& route : chosen->routes)
        if (main_.state().SOmode[route.outputNo - 1U] == board::SOmodeCyclic) {
            prompts_.warn(this, caption(),
                          QStringLiteral("На выходном канале № %1 идёт циклическая выдача "
                                         "массива: остановите её в главном окне.")
                              .arg(route.outputNo));
            return;
        }
    const std::string problem =
        control_.start(main_.driver(), main_.state().DeviceHandle, pathOf(path_), *chosen,
                       main_.analysisMenu().labelDatabaseCommand().database());
    if (!problem.empty())
        prompts_.warn(this, caption(), qtext(problem));
    renewTimer_->start();
    renew();
}

void TFrmReplay::btnReplayPauseClick() {
    if (control_.paused())
        control_.resume();
    else
        control_.pause();
    renew();
}

void TFrmReplay::btnReplayStepClick() {
    control_.step();
    renew();
}

void TFrmReplay::btnReplayStopClick() { stop(); }

void TFrmReplay::renew() {
    const bool running = control_.running();
    if (running != wasRunning_) {
        wasRunning_ = running;
        Q_EMIT runningChanged();
    }
    if (!running)
        control_.stop(); // a finished replay lets its thread go
    if (!running && !control_.paused())
        renewTimer_->stop();
    showState();
}

void TFrmReplay::showState() {
    const bool running = control_.running();
    const bool paused = running && control_.paused();
    btnReplayOpen->setEnabled(!running);
    btnReplayStart->setEnabled(!running && !path_.isEmpty());
    btnReplayPause->setEnabled(running);
    btnReplayPause->setText(paused ? QStringLiteral("продолжить") : QStringLiteral("пауза"));
    btnReplayStep->setEnabled(paused && cbReplayMode->currentIndex() == 0);
    btnReplayStop->setEnabled(running);

    const replay::ReplayProgress progress = control_.progress();
    const std::uint64_t length = std::max<std::uint64_t>(summary_.lastMs - summary_.firstMs, 1);
    const std::uint64_t at =
        progress.recordedMs > summary_.firstMs ? progress.recordedMs - summary_.firstMs : 0;
    pbReplay->setValue(static_cast<int>(std::min<std::uint64_t>(at * 1000 / length, 1000)));
    QString sent;
    for (std::size_t output = 0; output < progress.sent.size(); ++output)
        sent += QStringLiteral("%1%2").arg(output == 0 ? "" : ", ").arg(progress.sent[output]);
    QString state =
        running ? (paused ? QStringLiteral("пауза") : QStringLiteral("идёт воспроизведение"))
                : (progress.finished ? QStringLiteral("воспроизведение закончено")
                                     : QStringLiteral("воспроизведение остановлено"));
    if (!progress.sent.empty())
        state += QStringLiteral(": время записи %1 с, строк прочитано %2 из %3, круг %4, "
                                "выдано слов по выходам: %5")
                     .arg(static_cast<double>(at) / 1000.0, 0, 'f', 1)
                     .arg(progress.rowsRead)
                     .arg(summary_.words)
                     .arg(progress.passes + 1)
                     .arg(sent);
    if (const std::string failure = control_.failure(); !failure.empty())
        state += QStringLiteral("; %1").arg(qtext(failure));
    lbReplayState->setText(state);
}

} // namespace ui
