#include "studywindows/TFormOptimise.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "charts/PlotView.h"
#include "documents/CsvFile.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "studies/Sweep.h"
#include "studywindows/ResultTableModel.h"
#include "studywindows/StudyGrid.h"
#include "studywindows/StudyInputs.h"

namespace quantaro {
namespace {

constexpr int kOptimiseHelp = 27;

const ControlEntry kLayout[] = {
    {.name = "TFormOptimise",
     .text = QStringLiteral("Quantaro - Optimise"),
     .hint = QStringLiteral("The inputs within their bounds that make a result least or "
                            "greatest, found without changing the tables"),
     .helpContext = kOptimiseHelp},
    {.name = "ComboSense",
     .hint = QStringLiteral("Look for the least or the greatest value"),
     .accessibleName = QStringLiteral("Minimise or maximise")},
    {.name = "ComboObjective",
     .hint = QStringLiteral("The variable to make least or greatest"),
     .accessibleName = QStringLiteral("Result")},
    {.name = "Label1", .text = QStringLiteral("by changing"), .labelFor = "GridInputs"},
    {.name = "GridInputs",
     .hint = QStringLiteral("A constant or variable a row, each between its lowest and highest"),
     .accessibleName = QStringLiteral("Inputs and their bounds")},
    {.name = "Label2", .text = QStringLiteral("subject to"), .labelFor = "GridConstraints"},
    {.name = "GridConstraints",
     .hint = QStringLiteral("A variable, <=, >= or =, and a value, one a row"),
     .accessibleName = QStringLiteral("Constraints")},
    {.name = "Label3", .text = QStringLiteral("Starts"), .labelFor = "SpinEditStarts"},
    {.name = "SpinEditStarts",
     .hint = QStringLiteral("The inputs' values, then points drawn within the bounds from the "
                            "seed, on every core")},
    {.name = "Label4", .text = QStringLiteral("Seed"), .labelFor = "EditSeed"},
    {.name = "EditSeed",
     .hint = QStringLiteral("The same seed gives the same starts"),
     .accessibleName = QStringLiteral("Seed")},
    {.name = "Label5", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label6", .text = QStringLiteral("0 = All equations")},
    {.name = "Label7", .text = QStringLiteral("Passes per trial"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula at each trial, at most 10000")},
    {.name = "ButtonOptimise",
     .text = QStringLiteral("&Optimise"),
     .hint = QStringLiteral("Search for the best inputs")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop the search")},
    {.name = "ProgressBarOptimise", .hint = QStringLiteral("Evaluations run")},
    {.name = "LabelOutcome"},
    {.name = "TableResults",
     .hint = QStringLiteral("The inputs found, the result, and each constraint's value and state"),
     .accessibleName = QStringLiteral("Optimise results")},
    {.name = "ChartView",
     .hint = QStringLiteral("The result at each evaluation of the best start"),
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

std::optional<ConstraintKind> KindOf(const QString& sign) {
    if (sign == QLatin1String("<=")) return ConstraintKind::AtMost;
    if (sign == QLatin1String(">=")) return ConstraintKind::AtLeast;
    if (sign == QLatin1String("=")) return ConstraintKind::Equal;
    return std::nullopt;
}

}  // namespace

TFormOptimise::TFormOptimise(Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormOptimise", parent), session_(session) {
    buildControls();
    setUpStudyControls({.run = ButtonOptimise,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .progress = ProgressBarOptimise,
                        .store = ButtonStore,
                        .saveChart = ButtonSaveChart,
                        .chart = ChartView,
                        .exportCsv = ButtonExport,
                        .copyCommand = ButtonCopyCommand,
                        .fileStem = QStringLiteral("optimise")});
    connect(ButtonOptimise, &QPushButton::clicked, this, &TFormOptimise::ButtonOptimiseClick);
    showRunning(false);
    resize(760, 680);
}

TFormOptimise::~TFormOptimise() {
    stopStudy();
}

std::span<const ControlEntry> TFormOptimise::Layout() {
    return kLayout;
}

void TFormOptimise::buildControls() {
    ComboSense = new QComboBox(this);
    ComboSense->setObjectName(QStringLiteral("ComboSense"));
    ComboSense->addItems({QStringLiteral("Minimise"), QStringLiteral("Maximise")});
    ComboObjective = new QComboBox(this);
    ComboObjective->setObjectName(QStringLiteral("ComboObjective"));
    ComboObjective->setMinimumContentsLength(10);
    const int rows = static_cast<int>(kMaxOptimiseInputs);
    GridInputs = MakeStudyGrid(
        "GridInputs",
        {QStringLiteral("Input"), QStringLiteral("Lowest"), QStringLiteral("Highest")}, rows, this);
    GridConstraints = MakeStudyGrid(
        "GridConstraints",
        {QStringLiteral("Result"), QStringLiteral("<=, >= or ="), QStringLiteral("Value")},
        static_cast<int>(kMaxConstraints), this);
    SpinEditStarts = MakeStudySpinEdit("SpinEditStarts", 1, kMaxStarts, 1, this);
    EditSeed = MakeStudyEdit("EditSeed", this);
    EditSeed->setText(QStringLiteral("1"));
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonOptimise = MakeButton(kLayout, "ButtonOptimise", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    ProgressBarOptimise = makeProgressBar("ProgressBarOptimise");
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

    auto* goal = new QHBoxLayout;
    goal->addWidget(ComboSense);
    goal->addWidget(ComboObjective, 1);
    goal->addStretch(1);
    auto* setup = new QGridLayout;
    setup->addWidget(MakeLabel(kLayout, "Label1", this), 0, 0);
    setup->addWidget(MakeLabel(kLayout, "Label2", this), 0, 1);
    setup->addWidget(GridInputs, 1, 0);
    setup->addWidget(GridConstraints, 1, 1);
    auto* runs = new QHBoxLayout;
    runs->addWidget(MakeLabel(kLayout, "Label3", this));
    runs->addWidget(SpinEditStarts);
    runs->addWidget(MakeLabel(kLayout, "Label4", this));
    runs->addWidget(EditSeed);
    runs->addSpacing(16);
    runs->addWidget(MakeLabel(kLayout, "Label5", this));
    runs->addWidget(SpinEditEquation);
    runs->addWidget(MakeLabel(kLayout, "Label6", this));
    runs->addSpacing(16);
    runs->addWidget(MakeLabel(kLayout, "Label7", this));
    runs->addWidget(SpinEditPasses);
    runs->addStretch();
    auto* search = new QHBoxLayout;
    search->addWidget(ButtonOptimise);
    search->addWidget(ButtonCancel);
    search->addWidget(ProgressBarOptimise, 1);
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
    layout->addLayout(goal);
    layout->addLayout(setup);
    layout->addLayout(runs);
    layout->addLayout(search);
    layout->addWidget(LabelOutcome);
    layout->addLayout(results, 1);
    layout->addLayout(buttons);
    ChainTabOrder({ComboSense, ComboObjective, GridInputs, GridConstraints, SpinEditStarts,
                   EditSeed, SpinEditEquation, SpinEditPasses, ButtonOptimise, ButtonCancel,
                   TableResults, ChartView, ButtonSaveChart, ButtonExport, ButtonStore,
                   ButtonCopyCommand, ButtonClose});
}

void TFormOptimise::refresh() {
    OfferNames(ComboObjective, VariableNames(session_.variables()));
}

std::optional<OptimiseSetup> TFormOptimise::readSetup(QString& fault) const {
    OptimiseSetup setup;
    setup.sense =
        ComboSense->currentIndex() == 1 ? OptimiseSense::Maximise : OptimiseSense::Minimise;
    setup.objective = ComboObjective->currentText().trimmed().toStdString();
    for (const QStringList& row : FilledRows(GridInputs)) {
        const auto low = GridNumber(row[1], QStringLiteral("The lowest %1").arg(row[0]), fault);
        const auto high =
            low ? GridNumber(row[2], QStringLiteral("The highest %1").arg(row[0]), fault)
                : std::nullopt;
        if (!high) return std::nullopt;
        setup.inputs.push_back({row[0].toStdString(), *low, *high});
    }
    for (const QStringList& row : FilledRows(GridConstraints)) {
        const std::optional<ConstraintKind> kind = KindOf(row[1]);
        if (!kind) {
            fault = QStringLiteral("The constraint on %1 takes <=, >= or =, not \"%2\"")
                        .arg(row[0], row[1]);
            return std::nullopt;
        }
        const auto value = GridNumber(row[2], QStringLiteral("The limit of %1").arg(row[0]), fault);
        if (!value) return std::nullopt;
        setup.constraints.push_back({row[0].toStdString(), *kind, *value});
    }
    setup.starts = SpinEditStarts->value();
    bool whole = false;
    setup.seed = EditSeed->text().trimmed().toULongLong(&whole);
    if (!whole) {
        fault = QStringLiteral("The seed must be a whole number from 0 up");
        return std::nullopt;
    }
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = SpinEditPasses->value();
    return setup;
}

void TFormOptimise::ButtonOptimiseClick() {
    if (!readyToStart()) return;
    QString fault;
    std::optional<OptimiseSetup> setup = readSetup(fault);
    Worksheet sheet = session_.worksheetCopy();
    if (setup && fault.isEmpty()) fault = QString::fromStdString(OptimiseSetupError(sheet, *setup));
    if (!fault.isEmpty()) {
        interaction().showError(this, fault);
        return;
    }
    setup_ = std::move(*setup);
    cells_.clear();
    for (const OptimiseInput& input : setup_.inputs)
        cells_.push_back(*FindInputCell(sheet, input.name));
    found_.reset();
    storable_ = false;
    model_->setTable({});
    startStudy(
        [this, sheet = std::move(sheet)](StudyControl& control) {
            found_ = Optimise(sheet, setup_, &control, DefaultWorkerCount());
        },
        static_cast<std::uint64_t>(setup_.starts) * kMaxOptimiseTrials);
    showOutcome(QStringLiteral("Searching\u2026"));
}

void TFormOptimise::showProgress(std::uint64_t done) {
    StudyWindow::showProgress(done);
    showOutcome(QStringLiteral("Searching\u2026 %1 evaluations").arg(done));
}

void TFormOptimise::studyFinished() {
    if (!job().error().empty()) {
        found_.reset();
        showOutcome(QString::fromStdString(job().error()));
    } else if (found_) {
        storable_ = found_->succeeded();
        if (storable_)
            showProgressOf(static_cast<std::uint64_t>(setup_.starts) * kMaxOptimiseTrials);
        ChartView->showPlot(
            ConvergencePlot(found_->history, QString::fromStdString(found_->objectiveName), false));
        if (found_->succeeded()) {
            model_->setTable(OptimiseReport(*found_, setup_));
            TableResults->resizeColumnsToContents();
            QString text = QStringLiteral("%1 = %2, %3 evaluations")
                               .arg(QString::fromStdString(found_->objectiveName),
                                    QString::fromStdString(found_->objectiveText))
                               .arg(found_->evaluations);
            if (setup_.starts > 1) {
                text += QStringLiteral("; %1 of %2 starts ended elsewhere")
                            .arg(found_->startsElsewhere)
                            .arg(setup_.starts);
            }
            showOutcome(text);
        } else {
            showOutcome(QString::fromStdString(found_->message));
        }
    }
    showRunning(false);
}

bool TFormOptimise::hasResultToStore() const {
    return storable_ && found_;
}

void TFormOptimise::showOutcome(const QString& outcome) {
    outcome_ = outcome;
    QString text = outcome;
    if (stale().stale() && !running()) {
        text += QStringLiteral(
                    "\nThe worksheet changed after the search (%1): optimise again to store "
                    "the values.")
                    .arg(stale().changes());
    }
    LabelOutcome->setText(text);
}

void TFormOptimise::worksheetChanged() {
    if (running()) return;
    storable_ = false;
    showOutcome(outcome_);
}

std::optional<QString> TFormOptimise::storeResult() {
    return StoreInputValues(session_, cells_, found_->valueTexts, setup_.run);
}

void TFormOptimise::resultStored() {
    storable_ = false;
    showOutcome(outcome_ + QStringLiteral("\nStored in the tables."));
}

bool TFormOptimise::hasResults() const {
    return model_->rowCount() > 0;
}

QString TFormOptimise::chartTitle() const {
    return QStringLiteral("Optimise: convergence");
}

std::optional<QString> TFormOptimise::saveCsv(const QString& path) const {
    return SaveResultTableCsv(path, model_->table());
}

// The search as the last Optimise read it, its table written as Export writes it.
std::optional<ReplayCommand> TFormOptimise::replayCommand(QString&) const {
    ReplayCommand command;
    command.addRun(setup_.run);
    command.addOption(setup_.sense == OptimiseSense::Maximise ? "maximize" : "minimize",
                      setup_.objective);
    QStringList inputs;
    for (const OptimiseInput& input : setup_.inputs) {
        inputs << QString::fromStdString(input.name + '=' + ReplayRange(input.low, input.high));
    }
    command.addOption("by", inputs.join(QLatin1Char(',')));
    for (const OptimiseConstraint& constraint : setup_.constraints) {
        command.addOption("subject-to", constraint.result + ConstraintSign(constraint.kind) +
                                            ReplayNumber(constraint.value));
    }
    // One start is the tables' values alone: no seed comes into it.
    if (setup_.starts > 1) {
        command.addOption("starts", QString::number(setup_.starts));
        command.addOption("seed", QString::number(setup_.seed));
    }
    command.addOption("csv", QStringLiteral("optimise.csv"));
    return command;
}

}  // namespace quantaro
