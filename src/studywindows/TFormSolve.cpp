#include "studywindows/TFormSolve.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "charts/PlotView.h"
#include "documents/CsvFile.h"
#include "engine/Numbers.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "studywindows/ResultTableModel.h"
#include "studywindows/StudyGrid.h"
#include "studywindows/StudyInputs.h"

namespace quantaro {
namespace {

constexpr int kSolveHelp = 26;

const ControlEntry kLayout[] = {
    {.name = "TFormSolve",
     .text = QStringLiteral("Quantaro - Solve"),
     .hint = QStringLiteral("The inputs that give several results their targets, found without "
                            "changing the tables"),
     .helpContext = kSolveHelp},
    {.name = "Label1", .text = QStringLiteral("Make"), .labelFor = "GridTargets"},
    {.name = "GridTargets",
     .hint = QStringLiteral("A variable and the value it is to take, one a row"),
     .accessibleName = QStringLiteral("Results and their targets")},
    {.name = "Label2", .text = QStringLiteral("by changing"), .labelFor = "GridInputs"},
    {.name = "GridInputs",
     .hint = QStringLiteral("A constant or variable a row; bounds are optional"),
     .accessibleName = QStringLiteral("Inputs and their bounds")},
    {.name = "Label3", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label4", .text = QStringLiteral("0 = All equations")},
    {.name = "Label5", .text = QStringLiteral("Passes per trial"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula at each trial, at most 10000")},
    {.name = "ButtonSolve",
     .text = QStringLiteral("S&olve"),
     .hint = QStringLiteral("Search for the values")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop the search")},
    {.name = "ProgressBarSolve", .hint = QStringLiteral("Trials run")},
    {.name = "LabelOutcome"},
    {.name = "TableResults",
     .hint = QStringLiteral("Each input's value found, each result's text and residual"),
     .accessibleName = QStringLiteral("Solve results")},
    {.name = "ChartView",
     .hint = QStringLiteral("The residuals' norm at each trial"),
     .accessibleName = QStringLiteral("Convergence chart")},
    {.name = "ButtonStore",
     .text = QStringLiteral("&Store"),
     .hint = QStringLiteral("Write the values found into the inputs' cells and run the formula")},
    {.name = "ButtonSaveChart",
     .text = QStringLiteral("Save C&hart\u2026"),
     .hint = QStringLiteral("Save the chart as a PNG, SVG or PDF file")},
    {.name = "ButtonExport",
     .text = QStringLiteral("&Export as CSV\u2026"),
     .hint = QStringLiteral("Save the results table as a CSV file")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint = QStringLiteral("Copy the quantaro-cli line that runs this search again on the saved "
                            "files")},
    {.name = "ButtonClose",
     .text = QStringLiteral("C&lose"),
     .hint = QStringLiteral("Return to main screen; nothing changes")},
};

}  // namespace

TFormSolve::TFormSolve(Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormSolve", parent), session_(session) {
    buildControls();
    setUpStudyControls({.run = ButtonSolve,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .progress = ProgressBarSolve,
                        .store = ButtonStore,
                        .saveChart = ButtonSaveChart,
                        .chart = ChartView,
                        .exportCsv = ButtonExport,
                        .copyCommand = ButtonCopyCommand,
                        .fileStem = QStringLiteral("solve")});
    connect(ButtonSolve, &QPushButton::clicked, this, &TFormSolve::ButtonSolveClick);
    showRunning(false);
    resize(760, 640);
}

TFormSolve::~TFormSolve() {
    stopStudy();
}

std::span<const ControlEntry> TFormSolve::Layout() {
    return kLayout;
}

void TFormSolve::buildControls() {
    const int rows = static_cast<int>(kMaxSolveNames);
    GridTargets = MakeStudyGrid("GridTargets", {QStringLiteral("Result"), QStringLiteral("Target")},
                                rows, this);
    GridInputs = MakeStudyGrid(
        "GridInputs",
        {QStringLiteral("Input"), QStringLiteral("Lowest"), QStringLiteral("Highest")}, rows, this);
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonSolve = MakeButton(kLayout, "ButtonSolve", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    ProgressBarSolve = makeProgressBar("ProgressBarSolve");
    LabelOutcome = MakeLabel(kLayout, "LabelOutcome", this);
    LabelOutcome->setWordWrap(true);
    LabelOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    model_ = new ResultTableModel(this);
    TableResults = makeResultsTable(model_, "TableResults");
    ChartView = new PlotView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(300, 200);
    ButtonStore = MakeButton(kLayout, "ButtonStore", this);
    ButtonSaveChart = MakeButton(kLayout, "ButtonSaveChart", this);
    ButtonExport = MakeButton(kLayout, "ButtonExport", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonClose = MakeButton(kLayout, "ButtonClose", this);

    auto* setup = new QGridLayout;
    setup->addWidget(MakeLabel(kLayout, "Label1", this), 0, 0);
    setup->addWidget(MakeLabel(kLayout, "Label2", this), 0, 1);
    setup->addWidget(GridTargets, 1, 0);
    setup->addWidget(GridInputs, 1, 1);
    auto* runs = new QHBoxLayout;
    runs->addWidget(MakeLabel(kLayout, "Label3", this));
    runs->addWidget(SpinEditEquation);
    runs->addWidget(MakeLabel(kLayout, "Label4", this));
    runs->addSpacing(16);
    runs->addWidget(MakeLabel(kLayout, "Label5", this));
    runs->addWidget(SpinEditPasses);
    runs->addStretch();
    auto* search = new QHBoxLayout;
    search->addWidget(ButtonSolve);
    search->addWidget(ButtonCancel);
    search->addWidget(ProgressBarSolve, 1);
    auto* results = new QHBoxLayout;
    results->addWidget(TableResults, 1);
    results->addWidget(ChartView, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonSaveChart);
    buttons->addWidget(ButtonExport);
    buttons->addStretch();
    buttons->addWidget(ButtonStore);
    buttons->addWidget(ButtonCopyCommand);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(setup);
    layout->addLayout(runs);
    layout->addLayout(search);
    layout->addWidget(LabelOutcome);
    layout->addLayout(results, 1);
    layout->addLayout(buttons);
    ChainTabOrder({GridTargets, GridInputs, SpinEditEquation, SpinEditPasses, ButtonSolve,
                   ButtonCancel, TableResults, ChartView, ButtonSaveChart, ButtonExport,
                   ButtonStore, ButtonCopyCommand, ButtonClose});
}

std::optional<SolveSetup> TFormSolve::readSetup(QString& fault) const {
    SolveSetup setup;
    for (const QStringList& row : FilledRows(GridTargets)) {
        const std::optional<long double> target =
            GridNumber(row[1], QStringLiteral("The target of %1").arg(row[0]), fault);
        if (!target) return std::nullopt;
        setup.targets.push_back({row[0].toStdString(), *target});
    }
    for (const QStringList& row : FilledRows(GridInputs)) {
        SolveInput input{row[0].toStdString(), std::nullopt};
        if (!row[1].isEmpty() || !row[2].isEmpty()) {
            const auto low = GridNumber(row[1], QStringLiteral("The lowest %1").arg(row[0]), fault);
            const auto high =
                low ? GridNumber(row[2], QStringLiteral("The highest %1").arg(row[0]), fault)
                    : std::nullopt;
            if (!high) return std::nullopt;
            input.bounds = std::pair(*low, *high);
        }
        setup.inputs.push_back(std::move(input));
    }
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = SpinEditPasses->value();
    return setup;
}

void TFormSolve::ButtonSolveClick() {
    if (!readyToStart()) return;
    QString fault;
    std::optional<SolveSetup> setup = readSetup(fault);
    Worksheet sheet = session_.worksheetCopy();
    if (setup && fault.isEmpty()) fault = QString::fromStdString(SolveSetupError(sheet, *setup));
    if (!fault.isEmpty()) {
        interaction().showError(this, fault);
        return;
    }
    setup_ = std::move(*setup);
    cells_.clear();
    for (const SolveInput& input : setup_.inputs)
        cells_.push_back(*FindInputCell(sheet, input.name));
    found_.reset();
    storable_ = false;
    model_->setTable({});
    startStudy([this, sheet = std::move(sheet)](
                   StudyControl& control) { found_ = Solve(sheet, setup_, &control); },
               kMaxSolveTrials);
    showOutcome(QStringLiteral("Searching\u2026"));
}

void TFormSolve::showProgress(std::uint64_t done) {
    StudyWindow::showProgress(done);
    showOutcome(QStringLiteral("Searching\u2026 %1 trials").arg(done));
}

void TFormSolve::studyFinished() {
    if (!job().error().empty()) {
        found_.reset();
        showOutcome(QString::fromStdString(job().error()));
    } else if (found_) {
        storable_ = found_->succeeded();
        if (storable_) showProgressOf(kMaxSolveTrials);
        ChartView->showPlot(
            ConvergencePlot(found_->history, QStringLiteral("log10 of the residuals' norm"), true));
        if (found_->succeeded()) {
            model_->setTable(SolveReport(*found_, setup_));
            TableResults->resizeColumnsToContents();
            QString text =
                found_->leastSquares
                    ? QStringLiteral("Least squares: sum of squares %1, %2 trials")
                          .arg(QString::fromStdString(FormatNumber(found_->sumOfSquares)))
                          .arg(found_->trials)
                    : QStringLiteral("Solved in %1 trials").arg(found_->trials);
            showOutcome(text);
        } else {
            showOutcome(QString::fromStdString(found_->message));
        }
    }
    showRunning(false);
}

bool TFormSolve::hasResultToStore() const {
    return storable_ && found_;
}

void TFormSolve::showOutcome(const QString& outcome) {
    outcome_ = outcome;
    QString text = outcome;
    if (stale().stale() && !running()) {
        text += QStringLiteral(
                    "\nThe worksheet changed after the search (%1): solve again to store the "
                    "values.")
                    .arg(stale().changes());
    }
    LabelOutcome->setText(text);
}

void TFormSolve::worksheetChanged() {
    if (running()) return;
    storable_ = false;
    showOutcome(outcome_);
}

std::optional<QString> TFormSolve::storeResult() {
    return StoreInputValues(session_, cells_, found_->valueTexts, setup_.run);
}

void TFormSolve::resultStored() {
    storable_ = false;
    showOutcome(outcome_ + QStringLiteral("\nStored in the tables."));
}

bool TFormSolve::hasResults() const {
    return model_->rowCount() > 0;
}

QString TFormSolve::chartTitle() const {
    return QStringLiteral("Solve: convergence");
}

std::optional<QString> TFormSolve::saveCsv(const QString& path) const {
    return SaveResultTableCsv(path, model_->table());
}

// The search as the last Solve read it, its table written as Export writes it.
std::optional<ReplayCommand> TFormSolve::replayCommand(QString&) const {
    ReplayCommand command;
    command.addRun(setup_.run);
    for (const SolveTarget& target : setup_.targets)
        command.addOption("solve", target.result + '=' + ReplayNumber(target.target));
    QStringList inputs;
    for (const SolveInput& input : setup_.inputs) inputs << QString::fromStdString(input.name);
    command.addOption("by", inputs.join(QLatin1Char(',')));
    for (const SolveInput& input : setup_.inputs) {
        if (!input.bounds) continue;
        const auto [low, high] = std::minmax(input.bounds->first, input.bounds->second);
        command.addOption("bounds", input.name + '=' + ReplayRange(low, high));
    }
    command.addOption("csv", QStringLiteral("solve.csv"));
    return command;
}

}  // namespace quantaro
