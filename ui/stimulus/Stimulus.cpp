#include "ui/stimulus/Stimulus.h"

#include "ui/analysis/AnalysisMenu.h"
#include "ui/analysis/LabelDatabaseCommand.h"
#include "ui/common/FileFilter.h"
#include "ui/common/Prompts.h"
#include "ui/common/Text.h"
#include "ui/main/Mainform.h"
#include "ui/stimulus/StimulusLaw.h"
#include "ui/stimulus/StimulusModel.h"

#include "board/rate_codes.h"
#include "transmission/stimulus_edit.h"
#include "util/system_error_text.h"

#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

namespace ui {
namespace {

constexpr int kRenewMs = 250;

QString caption() { return QStringLiteral("Выдача по параметрам"); }

QString choiceText(const labels::LabelDefinition& row) {
    QString text = QStringLiteral("%1 %2").arg(row.label, 3, 8, QChar('0')).arg(qtext(row.name));
    if (row.sdi)
        text += QStringLiteral(", SDI %1").arg(*row.sdi);
    if (row.channelNo)
        text += QStringLiteral(", вход %1").arg(*row.channelNo);
    return text;
}

QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* made = new QPushButton(QString::fromUtf8(text), parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
}

/// SDI and SSM chosen from their four states, the SSM with its meaning for the label.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != StimulusModel::Sdi && index.column() != StimulusModel::Ssm)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        for (int state = 0; state < 4; ++state)
            box->addItem(QStringLiteral("%1%2").arg(state >> 1).arg(state & 1));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            box->setCurrentIndex(index.data(Qt::EditRole).toInt());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            model->setData(index, box->currentIndex(), Qt::EditRole);
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }
};

} // namespace

TFrmStimulus::TFrmStimulus(TMainFrm& main, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), prompts_(prompts) {
    setObjectName(QStringLiteral("TFrmStimulus"));
    setWindowTitle(caption());

    cbStimulusOutput = new QComboBox(this);
    cbStimulusOutput->setObjectName(QStringLiteral("cbStimulusOutput"));
    lbBusLoad = new QLabel(this);
    lbBusLoad->setObjectName(QStringLiteral("lbBusLoad"));
    edParameterSearch = new QLineEdit(this);
    edParameterSearch->setObjectName(QStringLiteral("edParameterSearch"));
    edParameterSearch->setPlaceholderText(QStringLiteral("метка или название параметра"));
    choices_ = new QStringListModel(this);
    auto* completer = new QCompleter(choices_, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setMaxVisibleItems(16);
    edParameterSearch->setCompleter(completer);
    btnAddParameter = button(this, "btnAddParameter", "добавить");
    btnRemoveParameter = button(this, "btnRemoveParameter", "убрать");
    btnStimulusLaw = button(this, "btnStimulusLaw", "закон…");
    btnStimulusOpen = button(this, "btnStimulusOpen", "открыть…");
    btnStimulusSave = button(this, "btnStimulusSave", "сохранить…");
    btnStimulusStart = button(this, "btnStimulusStart", "пуск");
    btnStimulusStop = button(this, "btnStimulusStop", "стоп");

    model_ = new StimulusModel(this);
    gridStimulus = new QTableView(this);
    gridStimulus->setObjectName(QStringLiteral("gridStimulus"));
    gridStimulus->setModel(model_);
    gridStimulus->setItemDelegate(new ChoiceDelegate(gridStimulus));
    gridStimulus->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridStimulus->setSelectionMode(QAbstractItemView::SingleSelection);
    gridStimulus->setEditTriggers(QAbstractItemView::DoubleClicked |
                                  QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    gridStimulus->verticalHeader()->hide();
    gridStimulus->setWordWrap(false);
    const int widths[StimulusModel::ColumnCount] = {50, 50, 220, 130, 340, 150, 100, 100, 50};
    for (int column = 0; column < StimulusModel::ColumnCount; ++column)
        gridStimulus->setColumnWidth(column, widths[column]);
    lbStimulusState = new QLabel(this);
    lbStimulusState->setObjectName(QStringLiteral("lbStimulusState"));
    lbStimulusState->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("выходной канал:"), this));
    top->addWidget(cbStimulusOutput);
    top->addSpacing(12);
    top->addWidget(lbBusLoad, 1);
    top->addWidget(btnStimulusStart);
    top->addWidget(btnStimulusStop);
    auto* edit = new QHBoxLayout;
    edit->addWidget(edParameterSearch, 1);
    edit->addWidget(btnAddParameter);
    edit->addWidget(btnRemoveParameter);
    edit->addWidget(btnStimulusLaw);
    edit->addSpacing(12);
    edit->addWidget(btnStimulusOpen);
    edit->addWidget(btnStimulusSave);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(edit);
    layout->addWidget(gridStimulus, 1);
    layout->addWidget(lbStimulusState);
    resize(1240, 420);

    renewTimer_ = new QTimer(this);
    renewTimer_->setInterval(kRenewMs);
    connect(renewTimer_, &QTimer::timeout, this, &TFrmStimulus::renew);
    connect(btnAddParameter, &QPushButton::clicked, this, &TFrmStimulus::btnAddParameterClick);
    connect(edParameterSearch, &QLineEdit::returnPressed, this,
            &TFrmStimulus::btnAddParameterClick);
    connect(btnRemoveParameter, &QPushButton::clicked, this,
            &TFrmStimulus::btnRemoveParameterClick);
    connect(btnStimulusLaw, &QPushButton::clicked, this, &TFrmStimulus::btnStimulusLawClick);
    connect(btnStimulusOpen, &QPushButton::clicked, this, &TFrmStimulus::btnStimulusOpenClick);
    connect(btnStimulusSave, &QPushButton::clicked, this, &TFrmStimulus::btnStimulusSaveClick);
    connect(btnStimulusStart, &QPushButton::clicked, this, &TFrmStimulus::btnStimulusStartClick);
    connect(btnStimulusStop, &QPushButton::clicked, this, &TFrmStimulus::btnStimulusStopClick);
    connect(cbStimulusOutput, &QComboBox::currentIndexChanged, this,
            &TFrmStimulus::cbStimulusOutputChange);
    connect(gridStimulus, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.column() == StimulusModel::LawColumn ||
            (index.column() == StimulusModel::Value &&
             !(model_->flags(index) & Qt::ItemIsEditable)))
            btnStimulusLawClick();
    });
    connect(model_, &StimulusModel::editRefused, this,
            [this](const QString& why) { prompts_.warn(this, caption(), why); });
    connect(model_, &QAbstractItemModel::dataChanged, this, &TFrmStimulus::showState);
    connect(&main.analysisMenu().labelDatabaseCommand(), &LabelDatabaseCommand::databaseChanged,
            this, &TFrmStimulus::databaseChanged);
    fillOutputs();
    databaseChanged();
}

TFrmStimulus::~TFrmStimulus() { stopAll(); }

bool TFrmStimulus::running(std::uint16_t outputNo) const {
    return outputNo >= 1 && outputNo <= board::kMaxChannels && outputs_[outputNo - 1U].running();
}

void TFrmStimulus::stopAll() {
    for (transmission::OutputStimulus& output : outputs_)
        output.stop();
    renew();
}

std::uint16_t TFrmStimulus::shownOutput() const {
    return static_cast<std::uint16_t>(std::max(cbStimulusOutput->currentIndex(), 0) + 1);
}

std::uint8_t TFrmStimulus::rateCode() const {
    return main_.state().FreqCodes.SOfreq[shownOutput() - 1U];
}

void TFrmStimulus::showEvent(QShowEvent* event) {
    fillOutputs();
    QWidget::showEvent(event);
}

void TFrmStimulus::fillOutputs() {
    const int count = std::clamp<int>(main_.state().SOcount, 1, board::kMaxChannels);
    if (cbStimulusOutput->count() == count)
        return;
    const QSignalBlocker quiet(cbStimulusOutput);
    const int shown = cbStimulusOutput->currentIndex();
    cbStimulusOutput->clear();
    for (int channelNo = 1; channelNo <= count; ++channelNo)
        cbStimulusOutput->addItem(QString::number(channelNo));
    cbStimulusOutput->setCurrentIndex(std::clamp(shown, 0, count - 1));
    cbStimulusOutputChange(cbStimulusOutput->currentIndex());
}

void TFrmStimulus::cbStimulusOutputChange(int /*index*/) {
    model_->show(&output(shownOutput()));
    showState();
}

void TFrmStimulus::databaseChanged() {
    const std::shared_ptr<const labels::LabelDatabase>& database =
        main_.analysisMenu().labelDatabaseCommand().database();
    QStringList choices;
    if (database)
        for (const labels::LabelDefinition& row : database->rows())
            choices.append(choiceText(row));
    choices_->setStringList(choices);
    // The parameters point into the database they were made from: they are found again in
    // the new one, by the same text a file would give, or let go with the reason.
    QStringList lost;
    for (std::size_t index = 0; index < outputs_.size(); ++index) {
        transmission::OutputStimulus& output = outputs_[index];
        if (output.parameters().empty())
            continue;
        output.stop();
        while (output.running())
            QThread::yieldCurrentThread();
        transmission::StimulusLoad again;
        if (database)
            again = transmission::parseStimulus(transmission::stimulusText(output.parameters()),
                                                *database);
        if (!database || !again.ok()) {
            lost.append(QStringLiteral("выходной канал № %1: %2")
                            .arg(index + 1)
                            .arg(database ? qtext(again.error->why)
                                          : QStringLiteral("база меток выгружена")));
            again.parameters.clear();
        }
        (void)output.setParameters(std::move(again.parameters));
    }
    database_ = database;
    model_->reset();
    showState();
    if (!lost.isEmpty())
        prompts_.warn(this, caption(),
                      QStringLiteral("Параметры сняты с выдачи:\n") + lost.join(QChar('\n')));
}

const labels::LabelDefinition* TFrmStimulus::chosenRow() const {
    if (!database_)
        return nullptr;
    const QString typed = edParameterSearch->text().trimmed();
    if (typed.isEmpty())
        return nullptr;
    const labels::LabelDefinition* containing = nullptr;
    for (const labels::LabelDefinition& row : database_->rows()) {
        const QString text = choiceText(row);
        if (text.compare(typed, Qt::CaseInsensitive) == 0)
            return &row;
        if (containing == nullptr && text.contains(typed, Qt::CaseInsensitive))
            containing = &row;
    }
    return containing;
}

void TFrmStimulus::btnAddParameterClick() {
    if (!database_) {
        prompts_.warn(this, caption(),
                      QStringLiteral("Сначала загрузите базу меток: «Анализ → база меток…»."));
        return;
    }
    const labels::LabelDefinition* row = chosenRow();
    if (row == nullptr) {
        prompts_.warn(this, caption(),
                      QStringLiteral("В базе меток нет параметра «%1».")
                          .arg(edParameterSearch->text().trimmed()));
        return;
    }
    if (!output(shownOutput()).add(transmission::parameterFor(*row)))
        return;
    model_->reset();
    gridStimulus->selectRow(model_->rowCount() - 1);
    edParameterSearch->clear();
    showState();
}

std::optional<std::size_t> TFrmStimulus::selectedRow() const {
    const QModelIndexList rows = gridStimulus->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.front().row());
}

void TFrmStimulus::btnRemoveParameterClick() {
    if (const std::optional<std::size_t> row = selectedRow();
        row && output(shownOutput()).remove(*row)) {
        model_->reset();
        showState();
    }
}

void TFrmStimulus::btnStimulusLawClick() {
    const std::optional<std::size_t> row = selectedRow();
    if (!row)
        return;
    if (!lawDialog_)
        lawDialog_ = std::make_unique<TFrmStimulusLaw>(prompts_, this);
    transmission::OutputStimulus& shown = output(shownOutput());
    if (std::optional<transmission::StimulusParameter> edited =
            lawDialog_->edit(shown.parameters()[*row])) {
        shown.change(*row, std::move(*edited));
        model_->renew();
        showState();
    }
}

bool TFrmStimulus::open(const QString& path) {
    if (!database_) {
        prompts_.warn(this, caption(),
                      QStringLiteral("Сначала загрузите базу меток: «Анализ → база меток…»."));
        return false;
    }
    transmission::StimulusLoad loaded =
        transmission::loadStimulusFile(std::filesystem::path(path.toStdU16String()), *database_);
    if (!loaded.ok()) {
        prompts_.warn(this, caption(),
                      qtext(transmission::stimulusErrorMessage(
                          QDir::toNativeSeparators(path).toStdString(), *loaded.error)));
        return false;
    }
    if (!output(shownOutput()).setParameters(std::move(loaded.parameters)))
        return false;
    model_->reset();
    showState();
    return true;
}

void TFrmStimulus::btnStimulusOpenClick() {
    const QString path = prompts_.chooseFileToOpen(
        this, qtFileFilter(transmission::kStimulusFileFilter), QStringLiteral("."));
    if (!path.isEmpty())
        (void)open(path);
}

void TFrmStimulus::btnStimulusSaveClick() {
    const QString path = prompts_.chooseFileToSave(this,
                                                   qtFileFilter(transmission::kStimulusFileFilter),
                                                   QStringLiteral("."), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (const std::error_code error = transmission::saveStimulusFile(
            std::filesystem::path(path.toStdU16String()), output(shownOutput()).parameters()))
        prompts_.warn(this, caption(),
                      QStringLiteral("Файл %1 не записан: %2")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(QString::fromStdString(util::systemErrorText(error))));
}

void TFrmStimulus::btnStimulusStartClick() {
    const board::SharedState& state = main_.state();
    const std::uint16_t outputNo = shownOutput();
    if (state.DeviceHandle == board::kNoDevice) {
        prompts_.warn(this, caption(), QStringLiteral("Модуль не выбран."));
        return;
    }
    if (state.SOmode[outputNo - 1U] == board::SOmodeCyclic) {
        prompts_.warn(this, caption(),
                      QStringLiteral("На выходном канале № %1 идёт циклическая выдача массива: "
                                     "остановите её в главном окне.")
                          .arg(outputNo));
        return;
    }
    const transmission::ScheduleCheck started =
        output(outputNo).start(main_.driver(), state.DeviceHandle, outputNo, rateCode(),
                               transmission::ScheduleMode::BestEffort);
    if (!started.ok)
        prompts_.warn(this, caption(), qtext(started.why));
    model_->reset();
    renewTimer_->start();
    showState();
}

void TFrmStimulus::btnStimulusStopClick() {
    output(shownOutput()).stop();
    renew();
}

void TFrmStimulus::renew() {
    model_->renew();
    showState();
    bool any = false;
    for (std::size_t index = 0; index < outputs_.size(); ++index) {
        const bool now = outputs_[index].running();
        any = any || now;
        if (now != wasRunning_[index]) {
            wasRunning_[index] = now;
            Q_EMIT runningChanged();
        }
    }
    if (!any)
        renewTimer_->stop();
}

void TFrmStimulus::showState() {
    const transmission::OutputStimulus& shown = output(shownOutput());
    const bool running = shown.running();
    const bool empty = shown.parameters().empty();
    btnStimulusStart->setEnabled(!running && !empty);
    btnStimulusStop->setEnabled(running);
    for (QWidget* widget :
         {static_cast<QWidget*>(btnAddParameter), static_cast<QWidget*>(btnRemoveParameter),
          static_cast<QWidget*>(btnStimulusOpen), static_cast<QWidget*>(edParameterSearch)})
        widget->setEnabled(!running);

    const transmission::ScheduleCheck load =
        shown.check(rateCode(), transmission::ScheduleMode::Strict);
    const std::string_view rate =
        board::rateTextFor(board::kOutputRateTexts, rateCode(), "частота не задана");
    lbBusLoad->setText(QStringLiteral("загрузка шины %1 % (%2)")
                           .arg(load.busLoadPercent, 0, 'f', 1)
                           .arg(qtext(rate)));

    QString state;
    if (running)
        state = QStringLiteral("выходной канал № %1: идёт выдача по параметрам (%2)")
                    .arg(shownOutput())
                    .arg(shown.parameters().size());
    else if (const std::string failure = shown.failure(); !failure.empty())
        state = QStringLiteral("выдача остановлена: %1").arg(qtext(failure));
    else
        state = QStringLiteral("выдача остановлена");
    if (!load.ok && !empty)
        state += QStringLiteral("; %1").arg(qtext(load.why));
    if (!database_)
        state += QStringLiteral("; база меток не загружена");
    lbStimulusState->setText(state);
}

} // namespace ui
