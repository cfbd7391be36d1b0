#include "studywindows/TFormUncertainty.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "charts/ChartFile.h"
#include "charts/UncertaintyChart.h"
#include "documents/CsvFile.h"
#include "documents/FileIo.h"
#include "engine/Numbers.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/ItemFocus.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "studywindows/ResultTableModel.h"
#include "studywindows/StudyInputs.h"

namespace quantaro {
namespace {

constexpr int kUncertaintyHelp = 25;
// Larger studies run in the batch runner, shard by shard.
constexpr int kMaxWindowDraws = 10'000'000;
constexpr std::size_t kHistogramBins = 60;

const ControlEntry kLayout[] = {
    {.name = "TFormUncertainty",
     .text = QStringLiteral("Quantaro - Uncertainty"),
     .hint = QStringLiteral("How uncertain the results are, worked out without changing the "
                            "tables"),
     .helpContext = kUncertaintyHelp},
    {.name = "Label1", .text = QStringLiteral("&Input"), .labelFor = "ComboInput"},
    {.name = "ComboInput", .hint = QStringLiteral("A constant or variable that is uncertain")},
    {.name = "Label2", .text = QStringLiteral("&u"), .labelFor = "EditU"},
    {.name = "EditU",
     .hint = QStringLiteral("Its standard uncertainty: 0.5, 2% of the value, or ±0.3 for the "
                            "half-width of a uniform or triangular distribution"),
     .accessibleName = QStringLiteral("Standard uncertainty")},
    {.name = "ComboDistribution",
     .hint = QStringLiteral("How Monte Carlo draws it"),
     .accessibleName = QStringLiteral("Distribution")},
    {.name = "ButtonAdd",
     .text = QStringLiteral("&Add"),
     .hint = QStringLiteral("Add the input, or change it when it is there")},
    {.name = "TableInputs",
     .hint = QStringLiteral("The uncertain inputs: name, value as it stands, u and "
                            "distribution"),
     .accessibleName = QStringLiteral("Uncertain inputs")},
    {.name = "ButtonRemove",
     .text = QStringLiteral("Re&move"),
     .hint = QStringLiteral("Remove the selected input")},
    {.name = "Label3", .text = QStringLiteral("Results"), .labelFor = "ListResults"},
    {.name = "ListResults",
     .hint = QStringLiteral("The variables to report"),
     .accessibleName = QStringLiteral("Results to report")},
    {.name = "RadioFirstOrder",
     .text = QStringLiteral("&First order"),
     .hint = QStringLiteral("The law of propagation, by central differences")},
    {.name = "RadioMonteCarlo",
     .text = QStringLiteral("&Monte Carlo"),
     .hint = QStringLiteral("Random draws of the inputs, on every core")},
    {.name = "RadioBoth",
     .text = QStringLiteral("&Both"),
     .hint = QStringLiteral("Both methods side by side")},
    {.name = "Label4", .text = QStringLiteral("Dra&ws"), .labelFor = "SpinEditDraws"},
    {.name = "SpinEditDraws", .hint = QStringLiteral("How many draws, at most 10000000")},
    {.name = "Label5", .text = QStringLiteral("Seed"), .labelFor = "EditSeed"},
    {.name = "EditSeed",
     .hint = QStringLiteral("The same seed gives the same draws"),
     .accessibleName = QStringLiteral("Seed")},
    {.name = "Label6", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label7", .text = QStringLiteral("0 = All equations")},
    {.name = "Label8", .text = QStringLiteral("Passes per run"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula at each point, at most 10000")},
    {.name = "ButtonRun",
     .text = QStringLiteral("&Run"),
     .hint = QStringLiteral("Work out the uncertainties")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop; the draws run so far are kept")},
    {.name = "ProgressBarDraws", .hint = QStringLiteral("Draws run")},
    {.name = "LabelOutcome"},
    {.name = "TableResults",
     .hint = QStringLiteral("Each result's value and u, and its draws' mean, deviation and "
                            "intervals"),
     .accessibleName = QStringLiteral("Uncertainty results")},
    {.name = "Label9", .text = QStringLiteral("C&hart of"), .labelFor = "ComboChart"},
    {.name = "ComboChart", .hint = QStringLiteral("The result the charts show")},
    {.name = "ChartView",
     .hint = QStringLiteral("Each input's share of the variance; the draws' histogram, the 95 % "
                            "interval marked"),
     .accessibleName = QStringLiteral("Uncertainty charts")},
    {.name = "ButtonSaveChart",
     .text = QStringLiteral("&Save Chart\u2026"),
     .hint = QStringLiteral("Save the charts as a PNG, SVG or PDF file")},
    {.name = "ButtonExport",
     .text = QStringLiteral("&Export as CSV\u2026"),
     .hint = QStringLiteral("Save the results table as CSV")},
    {.name = "ButtonExportDraws",
     .text = QStringLiteral("Export &Draws\u2026"),
     .hint = QStringLiteral("Save every draw as the batch runner's draws CSV")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint = QStringLiteral("Copy the quantaro-cli line that runs this study again on the saved "
                            "files")},
    {.name = "ButtonClose",
     .text = QStringLiteral("C&lose"),
     .hint = QStringLiteral("Return to main screen")},
};

QRadioButton* MakeRadio(const char* name, QWidget* parent) {
    auto* radio = new QRadioButton(FindControl(kLayout, name).text, parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

QString Text(long double value) {
    return QString::fromStdString(FormatNumber(value));
}

QString UncertaintyText(const UncertainInput& input) {
    QString text = input.halfWidth ? QStringLiteral("±") : QString();
    text += Text(input.amount);
    if (input.relative) text += QLatin1Char('%');
    return text;
}

}  // namespace

TFormUncertainty::TFormUncertainty(Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormUncertainty", parent), session_(session) {
    model_ = new ResultTableModel(this);
    buildControls();
    setUpStudyControls({.run = ButtonRun,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .progress = ProgressBarDraws,
                        .exportCsv = ButtonExport,
                        .copyCommand = ButtonCopyCommand,
                        .fileStem = QStringLiteral("uncertainty")});
    connect(ButtonAdd, &QPushButton::clicked, this, &TFormUncertainty::ButtonAddClick);
    connect(ButtonRemove, &QPushButton::clicked, this, &TFormUncertainty::ButtonRemoveClick);
    connect(ButtonRun, &QPushButton::clicked, this, &TFormUncertainty::ButtonRunClick);
    connect(ComboChart, &QComboBox::activated, this, &TFormUncertainty::ComboChartChange);
    connect(ButtonExportDraws, &QPushButton::clicked, this,
            &TFormUncertainty::ButtonExportDrawsClick);
    connect(ButtonSaveChart, &QPushButton::clicked, this, [this] {
        AskToSaveChart(*ChartView, this->interaction(), this, QStringLiteral("uncertainty.png"),
                       chartTitle());
    });
    showRunning(false);
    adjustSize();
}

TFormUncertainty::~TFormUncertainty() {
    stopStudy();
}

std::span<const ControlEntry> TFormUncertainty::Layout() {
    return kLayout;
}

const ResultTable& TFormUncertainty::results() const {
    return model_->table();
}

void TFormUncertainty::buildControls() {
    ComboInput = new QComboBox(this);
    ComboInput->setObjectName(QStringLiteral("ComboInput"));
    ComboInput->setMinimumContentsLength(10);
    EditU = MakeStudyEdit("EditU", this);
    ComboDistribution = new QComboBox(this);
    ComboDistribution->setObjectName(QStringLiteral("ComboDistribution"));
    for (const Distribution d :
         {Distribution::Normal, Distribution::Uniform, Distribution::Triangular}) {
        ComboDistribution->addItem(QLatin1String(DistributionName(d)), static_cast<int>(d));
    }
    ButtonAdd = MakeButton(kLayout, "ButtonAdd", this);
    TableInputs = new QTableWidget(0, 4, this);
    TableInputs->setObjectName(QStringLiteral("TableInputs"));
    TableInputs->setHorizontalHeaderLabels({QStringLiteral("Input"), QStringLiteral("Value"),
                                            QStringLiteral("u"), QStringLiteral("Distribution")});
    TableInputs->verticalHeader()->hide();
    TableInputs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableInputs->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableInputs->setSelectionMode(QAbstractItemView::SingleSelection);
    TableInputs->horizontalHeader()->setStretchLastSection(true);
    TableInputs->setMaximumHeight(8 * TableInputs->fontMetrics().height());
    ReportItemFocusOnlyWithTheView(TableInputs);
    ButtonRemove = MakeButton(kLayout, "ButtonRemove", this);
    ListResults = new QListWidget(this);
    ListResults->setObjectName(QStringLiteral("ListResults"));
    ListResults->setMaximumHeight(8 * ListResults->fontMetrics().height());
    KeepIndicatorsVisible(ListResults);
    ReportItemFocusOnlyWithTheView(ListResults);
    RadioFirstOrder = MakeRadio("RadioFirstOrder", this);
    RadioMonteCarlo = MakeRadio("RadioMonteCarlo", this);
    RadioBoth = MakeRadio("RadioBoth", this);
    auto* methods = new QButtonGroup(this);
    for (QRadioButton* radio : {RadioFirstOrder, RadioMonteCarlo, RadioBoth})
        methods->addButton(radio);
    RadioBoth->setChecked(true);
    SpinEditDraws = MakeStudySpinEdit("SpinEditDraws", 1, kMaxWindowDraws,
                                      static_cast<int>(kDefaultDraws), this);
    SpinEditDraws->setSingleStep(10'000);
    EditSeed = MakeStudyEdit("EditSeed", this);
    EditSeed->setText(QStringLiteral("1"));
    EditSeed->setMaximumWidth(
        EditSeed->fontMetrics().horizontalAdvance(QStringLiteral("18446744073709551615")) + 16);
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonRun = MakeButton(kLayout, "ButtonRun", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    ProgressBarDraws = makeProgressBar("ProgressBarDraws");
    LabelOutcome = MakeLabel(kLayout, "LabelOutcome", this);
    LabelOutcome->setWordWrap(true);
    LabelOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    TableResults = makeResultsTable(model_, "TableResults");
    ComboChart = new QComboBox(this);
    ComboChart->setObjectName(QStringLiteral("ComboChart"));
    ComboChart->setMinimumContentsLength(10);
    ChartView = new UncertaintyChartView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(520, 220);
    ButtonSaveChart = MakeButton(kLayout, "ButtonSaveChart", this);
    ButtonExport = MakeButton(kLayout, "ButtonExport", this);
    ButtonExportDraws = MakeButton(kLayout, "ButtonExportDraws", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonClose = MakeButton(kLayout, "ButtonClose", this);

    auto* add = new QHBoxLayout;
    add->addWidget(MakeLabel(kLayout, "Label1", this));
    add->addWidget(ComboInput, 1);
    add->addWidget(MakeLabel(kLayout, "Label2", this));
    add->addWidget(EditU, 1);
    add->addWidget(ComboDistribution);
    add->addWidget(ButtonAdd);
    auto* inputs = new QVBoxLayout;
    inputs->addLayout(add);
    auto* table = new QHBoxLayout;
    table->addWidget(TableInputs, 1);
    table->addWidget(ButtonRemove, 0, Qt::AlignTop);
    inputs->addLayout(table);
    auto* results = new QVBoxLayout;
    results->addWidget(MakeLabel(kLayout, "Label3", this));
    results->addWidget(ListResults);
    auto* top = new QHBoxLayout;
    top->addLayout(inputs, 3);
    top->addLayout(results, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(RadioFirstOrder, 0, 0);
    grid->addWidget(RadioMonteCarlo, 0, 1);
    grid->addWidget(RadioBoth, 0, 2);
    grid->addWidget(MakeLabel(kLayout, "Label4", this), 0, 3);
    grid->addWidget(SpinEditDraws, 0, 4);
    grid->addWidget(MakeLabel(kLayout, "Label5", this), 0, 5);
    grid->addWidget(EditSeed, 0, 6);
    grid->addWidget(MakeLabel(kLayout, "Label6", this), 1, 0);
    grid->addWidget(SpinEditEquation, 1, 1);
    grid->addWidget(MakeLabel(kLayout, "Label7", this), 1, 2);
    grid->addWidget(MakeLabel(kLayout, "Label8", this), 1, 3);
    grid->addWidget(SpinEditPasses, 1, 4);

    auto* run = new QHBoxLayout;
    run->addWidget(ButtonRun);
    run->addWidget(ButtonCancel);
    run->addWidget(ProgressBarDraws, 1);

    auto* chartBar = new QHBoxLayout;
    chartBar->addWidget(MakeLabel(kLayout, "Label9", this));
    chartBar->addWidget(ComboChart);
    chartBar->addStretch();
    auto* chartPane = new QWidget(this);
    auto* chart = new QVBoxLayout(chartPane);
    chart->setContentsMargins(0, 0, 0, 0);
    chart->addLayout(chartBar);
    chart->addWidget(ChartView, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(TableResults);
    splitter->addWidget(chartPane);
    splitter->setStretchFactor(1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonSaveChart);
    buttons->addWidget(ButtonExport);
    buttons->addWidget(ButtonExportDraws);
    buttons->addStretch();
    buttons->addWidget(ButtonCopyCommand);
    buttons->addWidget(ButtonClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addLayout(grid);
    layout->addLayout(run);
    layout->addWidget(LabelOutcome);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    ChainTabOrder({ComboInput,        EditU,
                   ComboDistribution, ButtonAdd,
                   TableInputs,       ButtonRemove,
                   ListResults,       RadioFirstOrder,
                   RadioMonteCarlo,   RadioBoth,
                   SpinEditDraws,     EditSeed,
                   SpinEditEquation,  SpinEditPasses,
                   ButtonRun,         ButtonCancel,
                   TableResults,      ComboChart,
                   ChartView,         ButtonSaveChart,
                   ButtonExport,      ButtonExportDraws,
                   ButtonCopyCommand, ButtonClose});
}

// The inputs offer every name; the results every variable but the inputs,
// reported unless the user has unticked it.
void TFormUncertainty::refresh() {
    OfferNames(ComboInput, InputNames(session_.constants(), session_.variables()));
    QStringList unchecked;
    for (int row = 0; row < ListResults->count(); ++row) {
        const QListWidgetItem* item = ListResults->item(row);
        if (item->checkState() != Qt::Checked) unchecked.append(item->text());
    }
    const QSignalBlocker blocker(ListResults);
    ListResults->clear();
    const Worksheet sheet = session_.worksheetCopy();
    for (const std::string& name : DefaultUncertaintyResults(sheet, inputs_)) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), ListResults);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(unchecked.contains(item->text()) ? Qt::Unchecked : Qt::Checked);
    }
    showInputs();
}

// Each input with its value as the tables hold it now.
void TFormUncertainty::showInputs() {
    TableInputs->setRowCount(static_cast<int>(inputs_.size()));
    const Worksheet sheet = session_.worksheetCopy();
    for (std::size_t k = 0; k < inputs_.size(); ++k) {
        const UncertainInput& input = inputs_[k];
        const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
        const QString value =
            cell ? QString::fromStdString(TableOf(sheet, cell->table).value(cell->row))
                 : QStringLiteral("(no such name)");
        const QString fields[] = {QString::fromStdString(input.name), value, UncertaintyText(input),
                                  QLatin1String(DistributionName(input.distribution))};
        for (int column = 0; column < 4; ++column) {
            TableInputs->setItem(static_cast<int>(k), column, new QTableWidgetItem(fields[column]));
        }
    }
    TableInputs->resizeColumnsToContents();
}

void TFormUncertainty::ButtonAddClick() {
    UncertainInput input;
    input.name = ComboInput->currentText().trimmed().toStdString();
    input.distribution = static_cast<Distribution>(ComboDistribution->currentData().toInt());
    std::string fault = ReadUncertaintyAmount(EditU->text().toStdString(), input);
    if (fault.empty()) {
        fault = UncertaintySetupError(session_.worksheetCopy(), {{input}, {}, {}});
        if (!fault.empty() && fault.front() != '"')
            fault.front() = char(std::toupper(fault.front()));
    } else {
        fault = "The uncertainty of " + input.name + ": " + fault;
    }
    if (!fault.empty()) {
        interaction().showError(this, QString::fromStdString(fault));
        return;
    }
    const Worksheet sheet = session_.worksheetCopy();
    const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
    input.name = TableOf(sheet, cell->table).name(cell->row);
    const auto same =
        std::find_if(inputs_.begin(), inputs_.end(), [&](const UncertainInput& other) {
            const std::optional<InputCell> at = FindInputCell(sheet, other.name);
            return at && at->table == cell->table && at->row == cell->row;
        });
    if (same != inputs_.end()) {
        *same = input;
    } else {
        inputs_.push_back(input);
    }
    refresh();
}

void TFormUncertainty::ButtonRemoveClick() {
    const int row = TableInputs->currentRow();
    if (row < 0 || row >= static_cast<int>(inputs_.size())) return;
    inputs_.erase(inputs_.begin() + row);
    refresh();
}

std::optional<UncertaintySetup> TFormUncertainty::readSetup(QString& fault) const {
    UncertaintySetup setup;
    setup.inputs = inputs_;
    for (int row = 0; row < ListResults->count(); ++row) {
        const QListWidgetItem* item = ListResults->item(row);
        if (item->checkState() == Qt::Checked) setup.results.push_back(item->text().toStdString());
    }
    if (setup.results.empty()) {
        fault = QStringLiteral("Tick at least one result to report");
        return std::nullopt;
    }
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = SpinEditPasses->value();
    return setup;
}

void TFormUncertainty::ButtonRunClick() {
    if (!readyToStart()) return;
    QString fault;
    std::optional<UncertaintySetup> setup = readSetup(fault);
    Worksheet sheet = session_.worksheetCopy();
    if (setup && fault.isEmpty()) {
        fault = QString::fromStdString(UncertaintySetupError(sheet, *setup));
    }
    bool seedOk = false;
    const qulonglong seed = EditSeed->text().trimmed().toULongLong(&seedOk);
    if (fault.isEmpty() && (!seedOk || EditSeed->text().trimmed().startsWith(QLatin1Char('-')))) {
        fault = QStringLiteral("The seed must be a whole number from 0 to 18446744073709551615");
    }
    if (!fault.isEmpty()) {
        interaction().showError(this, fault);
        return;
    }
    plan_ = UncertaintyPlan(sheet, std::move(*setup));
    seed_ = seed;
    budget_.reset();
    draws_.reset();
    summaries_.clear();
    const bool firstOrder = !RadioMonteCarlo->isChecked();
    const bool monteCarlo = !RadioFirstOrder->isChecked();
    const auto draws = static_cast<std::uint64_t>(SpinEditDraws->value());
    drawsAsked_ = monteCarlo ? std::optional(draws) : std::nullopt;
    startStudy(
        [this, sheet = std::move(sheet), firstOrder, monteCarlo, draws](StudyControl& control) {
            if (firstOrder) budget_ = PropagateFirstOrder(sheet, plan_, &control);
            if (!monteCarlo || control.cancelled()) return;
            draws_ = MonteCarloRunner(sheet, plan_).run(seed_, 1, draws, &control);
            // Sorting a million values per result is no work for the window's thread.
            for (std::size_t r = 0; r < plan_.resultCount(); ++r) {
                summaries_.push_back(SummarizeDraws(draws_->result(r)));
            }
        },
        monteCarlo ? draws : 2 * plan_.inputCount() + 1);
    LabelOutcome->setText(QStringLiteral("Running\u2026"));
}

void TFormUncertainty::showRunning(bool running) {
    StudyWindow::showRunning(running);
    const bool results = !running && hasResults();
    ButtonSaveChart->setEnabled(results);
    ButtonExportDraws->setEnabled(!running && draws_.has_value() && draws_->size() > 0);
}

void TFormUncertainty::studyFinished() {
    QStringList lines;
    if (!job().error().empty()) lines << QString::fromStdString(job().error());
    if (draws_) {
        lines << QStringLiteral("%1 of %2 draws failed")
                     .arg(draws_->failedCount())
                     .arg(draws_->size());
        for (const DrawFailure& failure : draws_->firstFailures()) {
            lines << QStringLiteral("Draw %1: %2")
                         .arg(failure.draw)
                         .arg(QString::fromStdString(failure.message));
        }
        if (!draws_->shortfall().empty()) lines << QString::fromStdString(draws_->shortfall());
    }
    if (budget_ && budget_->cancelled) lines << QStringLiteral("Cancelled");
    LabelOutcome->setText(lines.join(QLatin1Char('\n')));
    model_->setTable(UncertaintySummaryTable(plan_, budget_ ? &*budget_ : nullptr, summaries_));
    TableResults->resizeColumnsToContents();
    const QString chosen = ComboChart->currentText();
    {
        const QSignalBlocker blocker(ComboChart);
        ComboChart->clear();
        for (const std::string& name : plan_.resultNames()) {
            ComboChart->addItem(QString::fromStdString(name));
        }
        const int again = ComboChart->findText(chosen);
        if (again >= 0) ComboChart->setCurrentIndex(again);
    }
    showCharts();
    showRunning(false);
}

void TFormUncertainty::ComboChartChange() {
    showCharts();
}

void TFormUncertainty::showCharts() {
    const int r = ComboChart->currentIndex();
    if (r < 0 || static_cast<std::size_t>(r) >= plan_.resultCount()) {
        ChartView->showShares(std::nullopt);
        ChartView->showHistogram(std::nullopt);
        return;
    }
    const auto result = static_cast<std::size_t>(r);
    const QString name = QString::fromStdString(plan_.resultNames()[result]);
    std::optional<ShareBars> bars;
    if (budget_ && result < budget_->results.size() && budget_->results[result].failure.empty()) {
        bars.emplace();
        bars->result = name;
        for (std::size_t k = 0; k < plan_.inputCount(); ++k) {
            bars->inputs << QString::fromStdString(plan_.input(k).name);
            bars->shares.push_back(static_cast<double>(budget_->results[result].inputs[k].share));
        }
    }
    ChartView->showShares(bars);
    std::optional<DrawHistogram> histogram;
    if (draws_ && result < summaries_.size() && summaries_[result].count > 0) {
        const Histogram counted = MakeHistogram(draws_->result(result), kHistogramBins);
        histogram.emplace();
        histogram->result = name;
        for (const long double edge : counted.edges) histogram->edges.push_back(double(edge));
        for (const std::uint64_t count : counted.counts) histogram->counts.push_back(double(count));
        histogram->low = static_cast<double>(summaries_[result].low);
        histogram->high = static_cast<double>(summaries_[result].high);
    }
    ChartView->showHistogram(histogram);
}

// What the study found describes the worksheet as it was; the window says so.
void TFormUncertainty::worksheetChanged() {
    if (running() || !hasResults()) return;
    LabelOutcome->setText(QStringLiteral("The worksheet changed after the study (%1): run again "
                                         "for results that answer it.")
                              .arg(stale().changes()));
    showInputs();
}

bool TFormUncertainty::hasResults() const {
    return !model_->table().empty();
}

QString TFormUncertainty::chartTitle() const {
    return QStringLiteral("Uncertainty of %1").arg(ComboChart->currentText());
}

std::optional<QString> TFormUncertainty::saveCsv(const QString& path) const {
    return SaveResultTableCsv(path, model_->table());
}

void TFormUncertainty::ButtonExportDrawsClick() {
    if (!draws_) return;
    FileDialogOptions options;
    options.title = QStringLiteral("Export Draws");
    options.filter = QStringLiteral("CSV File (*.csv)");
    options.defaultSuffix = QStringLiteral("csv");
    options.initialName = QStringLiteral("draws.csv");
    const QString path = interaction().chooseFileToSave(this, options);
    if (path.isEmpty()) return;
    std::string bytes = DrawsCsvHeader(plan_);
    AppendDrawsCsvRows(bytes, *draws_);
    if (const std::optional<QString> error = WriteFileAtomically(path, bytes)) {
        interaction().showError(this, *error);
    }
}

namespace {

// "NAME=U", "NAME=U%", "NAME=+-A:uniform": the input as --uncertainty reads it.
std::string UncertaintyOption(const UncertainInput& input) {
    std::string text = input.name + '=' + (input.halfWidth ? "+-" : "") +
                       ReplayNumber(input.amount) + (input.relative ? "%" : "");
    if (input.distribution != Distribution::Normal)
        text += std::string(":") + DistributionName(input.distribution);
    return text;
}

}  // namespace

// The study as the last Run read it; with draws, they go to the file that
// Export Draws writes.
std::optional<ReplayCommand> TFormUncertainty::replayCommand(QString& fault) const {
    if (drawsAsked_ && (!draws_ || draws_->size() < *drawsAsked_)) {
        fault = QStringLiteral(
            "The study stopped before its last draw, and the command would run "
            "them all: run the study to its end first.");
        return std::nullopt;
    }
    const UncertaintySetup& setup = plan_.setup();
    ReplayCommand command;
    command.addRun(setup.run);
    for (const UncertainInput& input : setup.inputs)
        command.addOption("uncertainty", UncertaintyOption(input));
    QStringList results;
    for (const std::string& name : setup.results) results << QString::fromStdString(name);
    command.addOption("report", results.join(QLatin1Char(',')));
    if (drawsAsked_) {
        command.addOption("monte-carlo", QString::number(*drawsAsked_));
        command.addOption("seed", QString::number(seed_));
        command.addOption("csv", QStringLiteral("draws.csv"));
    }
    return command;
}

}  // namespace quantaro
