#include "studywindows/TFormFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>
#include <map>
#include <string>
#include <utility>

#include "charts/FitPlot.h"
#include "charts/PlotView.h"
#include "documents/FileIo.h"
#include "engine/NameFolding.h"
#include "engine/Numbers.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/FormulaRuns.h"
#include "session/Session.h"
#include "studies/CsvWriter.h"
#include "studywindows/ResultTableModel.h"
#include "studywindows/StudyInputs.h"

namespace quantaro {
namespace {

constexpr int kFitHelp = 28;

const ControlEntry kLayout[] = {
    {.name = "TFormFit",
     .text = QStringLiteral("Quantaro - Fit"),
     .hint = QStringLiteral("Constants or variables estimated from measured data, without "
                            "changing the tables"),
     .helpContext = kFitHelp},
    {.name = "Label1", .text = QStringLiteral("&Data file"), .labelFor = "EditDataFile"},
    {.name = "EditDataFile",
     .hint = QStringLiteral("A CSV file: a header row of names, then rows of numbers")},
    {.name = "ButtonBrowse",
     .text = QStringLiteral("&Browse\u2026"),
     .hint = QStringLiteral("Choose the data file")},
    {.name = "Label2", .text = QStringLiteral("Colu&mns"), .labelFor = "TableColumns"},
    {.name = "TableColumns",
     .hint = QStringLiteral("What each column of the data stands for; a column named as a row "
                            "is mapped to it")},
    {.name = "Label3", .text = QStringLiteral("&Parameters"), .labelFor = "TableParameters"},
    {.name = "TableParameters",
     .hint = QStringLiteral("Tick the constants or variables to estimate, from their values; "
                            "a low and a high bound keep one between them")},
    {.name = "CheckBoxByPass",
     .text = QStringLiteral("Compare at &each loop pass"),
     .hint = QStringLiteral("Run the loop once and compare each row at its pass (the Pass "
                            "column, or the row number)")},
    {.name = "CheckBoxSkipRows",
     .text = QStringLiteral("S&kip failing rows"),
     .hint = QStringLiteral("Leave out the rows whose run fails at the start")},
    {.name = "Label5", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label6", .text = QStringLiteral("0 = All equations")},
    {.name = "Label7", .text = QStringLiteral("Passes per row"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula for each row, at most 10000")},
    {.name = "ButtonFit",
     .text = QStringLiteral("&Fit"),
     .hint = QStringLiteral("Fit the parameters")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop the fit")},
    {.name = "ProgressBarFit", .hint = QStringLiteral("Evaluations of every row")},
    {.name = "TableResults",
     .hint = QStringLiteral("Each parameter's value, standard error and correlations"),
     .accessibleName = QStringLiteral("Fitted parameters")},
    {.name = "LabelOutcome"},
    {.name = "Label9", .text = QStringLiteral("C&hart"), .labelFor = "ComboChart"},
    {.name = "ComboChart", .hint = QStringLiteral("Measured and fitted values, or residuals")},
    {.name = "Label10", .text = QStringLiteral("&against"), .labelFor = "ComboAxis"},
    {.name = "ComboAxis", .hint = QStringLiteral("The column across the chart")},
    {.name = "ChartView",
     .hint = QStringLiteral("Wheel or drag to zoom, arrows to move, 0 to fit"),
     .accessibleName = QStringLiteral("Fit chart")},
    {.name = "ButtonStore",
     .text = QStringLiteral("&Store"),
     .hint = QStringLiteral("Write the parameters into their cells and run the formula")},
    {.name = "ButtonSaveChart",
     .text = QStringLiteral("Sa&ve Chart\u2026"),
     .hint = QStringLiteral("Save the chart as a PNG, SVG or PDF file")},
    {.name = "ButtonExport",
     .text = QStringLiteral("E&xport\u2026"),
     .hint = QStringLiteral("Save the data, fitted values and residuals as CSV")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint = QStringLiteral("Copy the quantaro-cli line that runs this fit again on the saved "
                            "files")},
    {.name = "ButtonClose",
     .text = QStringLiteral("C&lose"),
     .hint = QStringLiteral("Return to main screen; nothing changes")},
};

// What a column stands for, as its combo box keeps it.
const QString kUnused;
const QString kPassRole = QStringLiteral("pass");
const QString kWeightRole = QStringLiteral("weight");
const QString kSigmaRole = QStringLiteral("sigma");
const QString kMatchRole = QStringLiteral("match:");
const QString kSetRole = QStringLiteral("set:");

Document DocumentOf(InputTable table) {
    return table == InputTable::Constants ? Document::Constants : Document::Variables;
}

}  // namespace

TFormFit::TFormFit(Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormFit", parent), session_(session) {
    buildControls();
    setUpStudyControls({.run = ButtonFit,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .store = ButtonStore,
                        .saveChart = ButtonSaveChart,
                        .chart = ChartView,
                        .exportCsv = ButtonExport,
                        .copyCommand = ButtonCopyCommand,
                        .fileStem = QStringLiteral("fit")});
    connect(ButtonBrowse, &QPushButton::clicked, this, &TFormFit::ButtonBrowseClick);
    connect(ButtonFit, &QPushButton::clicked, this, &TFormFit::ButtonFitClick);
    connect(ComboChart, &QComboBox::activated, this, &TFormFit::ComboChartChange);
    connect(ComboAxis, &QComboBox::activated, this, &TFormFit::ComboChartChange);
    // A fit by pass runs the loop once, up to the last pass measured.
    connect(CheckBoxByPass, &QCheckBox::toggled, SpinEditPasses, &QWidget::setDisabled);
    showRunning(false);
    adjustSize();
}

TFormFit::~TFormFit() {
    stopStudy();
}

std::span<const ControlEntry> TFormFit::Layout() {
    return kLayout;
}

void TFormFit::buildControls() {
    EditDataFile = MakeStudyEdit("EditDataFile", this);
    EditDataFile->setReadOnly(true);
    EditDataFile->setMinimumWidth(240);
    ButtonBrowse = MakeButton(kLayout, "ButtonBrowse", this);
    TableColumns = new QTableWidget(0, 2, this);
    TableColumns->setObjectName(QStringLiteral("TableColumns"));
    TableColumns->setHorizontalHeaderLabels(
        {QStringLiteral("Column"), QStringLiteral("Stands for")});
    TableColumns->horizontalHeader()->setStretchLastSection(true);
    TableColumns->verticalHeader()->hide();
    TableColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableColumns->setMinimumHeight(120);
    TableParameters = new QTableWidget(0, 3, this);
    TableParameters->setObjectName(QStringLiteral("TableParameters"));
    TableParameters->setHorizontalHeaderLabels(
        {QStringLiteral("Parameter"), QStringLiteral("Low"), QStringLiteral("High")});
    TableParameters->verticalHeader()->hide();
    TableParameters->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    TableParameters->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    TableParameters->setMinimumHeight(120);
    CheckBoxByPass = new QCheckBox(FindControl(kLayout, "CheckBoxByPass").text, this);
    CheckBoxByPass->setObjectName(QStringLiteral("CheckBoxByPass"));
    KeepIndicatorsVisible(CheckBoxByPass);
    CheckBoxSkipRows = new QCheckBox(FindControl(kLayout, "CheckBoxSkipRows").text, this);
    CheckBoxSkipRows->setObjectName(QStringLiteral("CheckBoxSkipRows"));
    KeepIndicatorsVisible(CheckBoxSkipRows);
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonFit = MakeButton(kLayout, "ButtonFit", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    // How many evaluations a fit takes is not known before: the bar runs
    // while it works, the label counts them.
    ProgressBarFit = makeProgressBar("ProgressBarFit");
    ProgressBarFit->setTextVisible(false);
    model_ = new ResultTableModel(this);
    QTableView* results = makeResultsTable(model_, "TableResults");
    LabelOutcome = MakeLabel(kLayout, "LabelOutcome", this);
    LabelOutcome->setWordWrap(true);
    LabelOutcome->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ComboChart = new QComboBox(this);
    ComboChart->setObjectName(QStringLiteral("ComboChart"));
    ComboChart->addItems({QStringLiteral("Measured and fitted"), QStringLiteral("Residuals")});
    ComboAxis = new QComboBox(this);
    ComboAxis->setObjectName(QStringLiteral("ComboAxis"));
    ComboAxis->setMinimumContentsLength(10);
    ChartView = new PlotView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(360, 240);
    ButtonStore = MakeButton(kLayout, "ButtonStore", this);
    ButtonSaveChart = MakeButton(kLayout, "ButtonSaveChart", this);
    ButtonExport = MakeButton(kLayout, "ButtonExport", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonClose = MakeButton(kLayout, "ButtonClose", this);

    auto* file = new QHBoxLayout;
    file->addWidget(MakeLabel(kLayout, "Label1", this));
    file->addWidget(EditDataFile, 1);
    file->addWidget(ButtonBrowse);
    auto* lists = new QGridLayout;
    lists->addWidget(MakeLabel(kLayout, "Label2", this), 0, 0);
    lists->addWidget(MakeLabel(kLayout, "Label3", this), 0, 1);
    lists->addWidget(TableColumns, 1, 0);
    lists->addWidget(TableParameters, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    auto* options = new QGridLayout;
    options->addWidget(CheckBoxByPass, 0, 0, 1, 2);
    options->addWidget(CheckBoxSkipRows, 0, 2, 1, 2);
    options->addWidget(MakeLabel(kLayout, "Label5", this), 1, 0);
    options->addWidget(SpinEditEquation, 1, 1);
    options->addWidget(MakeLabel(kLayout, "Label6", this), 1, 2);
    options->addWidget(MakeLabel(kLayout, "Label7", this), 2, 0);
    options->addWidget(SpinEditPasses, 2, 1);
    auto* fit = new QHBoxLayout;
    fit->addWidget(ButtonFit);
    fit->addWidget(ButtonCancel);
    fit->addWidget(ProgressBarFit, 1);

    auto* setupColumn = new QWidget(this);
    auto* setupLayout = new QVBoxLayout(setupColumn);
    setupLayout->setContentsMargins(0, 0, 0, 0);
    setupLayout->addLayout(file);
    setupLayout->addLayout(lists, 1);
    setupLayout->addLayout(options);
    setupLayout->addLayout(fit);
    setupLayout->addWidget(results, 1);
    setupLayout->addWidget(LabelOutcome);
    auto* chartChoice = new QHBoxLayout;
    chartChoice->addWidget(MakeLabel(kLayout, "Label9", this));
    chartChoice->addWidget(ComboChart, 1);
    chartChoice->addWidget(MakeLabel(kLayout, "Label10", this));
    chartChoice->addWidget(ComboAxis, 1);
    auto* chartColumn = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartColumn);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addLayout(chartChoice);
    chartLayout->addWidget(ChartView, 1);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(setupColumn);
    splitter->addWidget(chartColumn);
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonStore);
    buttons->addWidget(ButtonSaveChart);
    buttons->addWidget(ButtonExport);
    buttons->addWidget(ButtonCopyCommand);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    ChainTabOrder({EditDataFile, ButtonBrowse, TableColumns, TableParameters, CheckBoxByPass,
                   CheckBoxSkipRows, SpinEditEquation, SpinEditPasses, ButtonFit, ButtonCancel,
                   results, ComboChart, ComboAxis, ChartView, ButtonStore, ButtonSaveChart,
                   ButtonExport, ButtonCopyCommand, ButtonClose});
}

// The parameters offered, the ticked ones kept; and each column's choices.
void TFormFit::refresh() {
    // Each name's tick and bounds, as they were.
    std::map<QString, std::array<QString, 3>> kept;
    for (int row = 0; row < TableParameters->rowCount(); ++row) {
        const QTableWidgetItem* name = TableParameters->item(row, 0);
        kept[name->text()] = {name->checkState() == Qt::Checked ? QStringLiteral("x") : QString(),
                              TableParameters->item(row, 1)->text(),
                              TableParameters->item(row, 2)->text()};
    }
    const QStringList names = InputNames(session_.constants(), session_.variables());
    TableParameters->setRowCount(int(names.size()));
    for (int row = 0; row < int(names.size()); ++row) {
        const std::array<QString, 3>& was = kept[names[row]];
        auto* name = new QTableWidgetItem(names[row]);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(was[0].isEmpty() ? Qt::Unchecked : Qt::Checked);
        TableParameters->setItem(row, 0, name);
        TableParameters->setItem(row, 1, new QTableWidgetItem(was[1]));
        TableParameters->setItem(row, 2, new QTableWidgetItem(was[2]));
    }
    if (!names.empty()) TableParameters->setCurrentCell(0, 0);
    fillColumns();
}

// A row per column of the data, each with a combo box of what it may stand
// for, set as the names map it.
void TFormFit::fillColumns() {
    std::vector<QString> chosen(data_.columnCount());
    for (int row = 0; row < TableColumns->rowCount() && std::size_t(row) < chosen.size(); ++row) {
        if (auto* combo = qobject_cast<QComboBox*>(TableColumns->cellWidget(row, 1)))
            chosen[std::size_t(row)] = combo->currentData().toString();
    }
    const bool fresh = TableColumns->rowCount() != int(data_.columnCount());
    if (fresh) {
        const Worksheet sheet = session_.worksheetCopy();
        FitSetup named;
        named.byPass = CheckBoxByPass->isChecked();
        const int pass = data_.findColumn("pass");
        if (pass >= 0) named.passColumn = data_.columns()[std::size_t(pass)];
        MapColumnsByName(sheet, data_, named);
        for (std::size_t c = 0; c < data_.columnCount(); ++c) {
            const std::string& column = data_.columns()[c];
            chosen[c] = kUnused;
            if (NamesEqual(column, "pass")) chosen[c] = kPassRole;
            if (NamesEqual(column, "weight")) chosen[c] = kWeightRole;
            if (NamesEqual(column, "sigma")) chosen[c] = kSigmaRole;
            for (const FitColumn& match : named.matches) {
                if (match.column == column)
                    chosen[c] = kMatchRole + QString::fromStdString(match.name);
            }
            for (const FitColumn& input : named.inputs) {
                if (input.column == column)
                    chosen[c] = kSetRole + QString::fromStdString(input.name);
            }
        }
    }
    TableColumns->setRowCount(int(data_.columnCount()));
    const QStringList variables = VariableNames(session_.variables());
    const QStringList inputs = InputNames(session_.constants(), session_.variables());
    for (std::size_t c = 0; c < data_.columnCount(); ++c) {
        auto* name = new QTableWidgetItem(QString::fromStdString(data_.columns()[c]));
        TableColumns->setItem(int(c), 0, name);
        auto* combo = new QComboBox(TableColumns);
        combo->setAccessibleName(QStringLiteral("What column %1 stands for").arg(name->text()));
        combo->addItem(QStringLiteral("Not used"), kUnused);
        combo->addItem(QStringLiteral("Pass"), kPassRole);
        combo->addItem(QStringLiteral("Weight (1/sigma\u00B2)"), kWeightRole);
        combo->addItem(QStringLiteral("Sigma"), kSigmaRole);
        for (const QString& v : variables)
            combo->addItem(QStringLiteral("Measured %1").arg(v), kMatchRole + v);
        for (const QString& i : inputs)
            combo->addItem(QStringLiteral("Sets %1").arg(i), kSetRole + i);
        combo->setCurrentIndex(std::max(0, combo->findData(chosen[c])));
        TableColumns->setCellWidget(int(c), 1, combo);
    }
    TableColumns->resizeColumnToContents(0);
}

void TFormFit::ButtonBrowseClick() {
    FileDialogOptions options;
    options.title = QStringLiteral("Open Data File");
    options.filter = QStringLiteral("CSV File (*.csv);;All Files (*)");
    options.defaultSuffix = QStringLiteral("csv");
    options.helpContext = kFitHelp;
    const QString path = interaction().chooseFileToOpen(this, options);
    if (!path.isEmpty()) loadData(path);
}

bool TFormFit::loadData(const QString& path) {
    const FileReadResult file = ReadDocumentFile(path);
    if (file.status != LoadStatus::Loaded) {
        interaction().showError(this, file.errorText.isEmpty()
                                          ? QStringLiteral("%1 does not exist").arg(path)
                                          : file.errorText);
        return false;
    }
    DataReading reading = ReadDataCsv(file.bytes);
    if (!reading.succeeded()) {
        interaction().showError(this, QFileInfo(path).fileName() + QStringLiteral(": ") +
                                          QString::fromStdString(reading.message));
        return false;
    }
    data_ = std::move(reading.table);
    EditDataFile->setText(path);
    if (data_.findColumn("pass") >= 0) CheckBoxByPass->setChecked(true);
    TableColumns->setRowCount(0);
    fillColumns();
    ComboAxis->clear();
    ComboAxis->addItem(QStringLiteral("Row or pass"), kRowAxis);
    for (std::size_t c = 0; c < data_.columnCount(); ++c)
        ComboAxis->addItem(QString::fromStdString(data_.columns()[c]), int(c));
    // The first column that sets a cell, else the rows or passes.
    ComboAxis->setCurrentIndex(0);
    for (int row = 0; row < TableColumns->rowCount(); ++row) {
        auto* combo = qobject_cast<QComboBox*>(TableColumns->cellWidget(row, 1));
        if (combo && combo->currentData().toString().startsWith(kSetRole)) {
            ComboAxis->setCurrentIndex(row + 1);
            break;
        }
    }
    return true;
}

std::optional<FitSetup> TFormFit::readSetup(QString& fault) const {
    if (data_.columnCount() == 0) {
        fault = QStringLiteral("Choose a data file first");
        return std::nullopt;
    }
    FitSetup setup;
    for (int row = 0; row < TableParameters->rowCount(); ++row) {
        const QTableWidgetItem* name = TableParameters->item(row, 0);
        if (name->checkState() != Qt::Checked) continue;
        FitParameter parameter{name->text().toStdString(), {}};
        const QString low = TableParameters->item(row, 1)->text().trimmed();
        const QString high = TableParameters->item(row, 2)->text().trimmed();
        if (!low.isEmpty() || !high.isEmpty()) {
            const NumberReading lowNumber = ReadNumber(low.toStdString());
            const NumberReading highNumber = ReadNumber(high.toStdString());
            if (!lowNumber.value || !highNumber.value) {
                fault = QStringLiteral("The bounds of %1 must both be numbers, or both empty")
                            .arg(name->text());
                return std::nullopt;
            }
            parameter.bounds = std::pair(*lowNumber.value, *highNumber.value);
        }
        setup.parameters.push_back(std::move(parameter));
    }
    setup.byPass = CheckBoxByPass->isChecked();
    for (int row = 0; row < TableColumns->rowCount(); ++row) {
        const std::string column = data_.columns()[std::size_t(row)];
        const auto* combo = qobject_cast<QComboBox*>(TableColumns->cellWidget(row, 1));
        const QString role = combo ? combo->currentData().toString() : kUnused;
        const auto once = [&](bool taken, const char* what) {
            if (taken)
                fault = QStringLiteral("Only one column can be the %1").arg(QLatin1String(what));
            return !taken;
        };
        if (role == kPassRole) {
            if (!once(!setup.passColumn.empty(), "pass")) return std::nullopt;
            setup.passColumn = column;
        } else if (role == kWeightRole || role == kSigmaRole) {
            if (!once(setup.weighting != FitWeighting::None, "weight or sigma"))
                return std::nullopt;
            setup.weighting = role == kWeightRole ? FitWeighting::Weights : FitWeighting::Sigmas;
            setup.weightColumn = column;
        } else if (role.startsWith(kMatchRole)) {
            setup.matches.push_back({role.mid(kMatchRole.size()).toStdString(), column});
        } else if (role.startsWith(kSetRole)) {
            setup.inputs.push_back({role.mid(kSetRole.size()).toStdString(), column});
        }
    }
    if (!setup.byPass) setup.passColumn.clear();
    setup.skipFailingRows = CheckBoxSkipRows->isChecked();
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = setup.byPass ? 1 : SpinEditPasses->value();
    return setup;
}

void TFormFit::ButtonFitClick() {
    if (!readyToStart()) return;
    QString fault;
    std::optional<FitSetup> setup = readSetup(fault);
    Worksheet sheet = session_.worksheetCopy();
    if (setup && fault.isEmpty())
        fault = QString::fromStdString(FitSetupError(sheet, data_, *setup));
    if (!fault.isEmpty()) {
        interaction().showError(this, fault);
        return;
    }
    setup_ = std::move(*setup);
    fitData_ = data_;
    fitDataFile_ = QFileInfo(EditDataFile->text()).absoluteFilePath();
    fitted_.reset();
    storable_ = false;
    charted_ = false;
    startStudy([this, sheet = std::move(sheet)](StudyControl& control) {
        fitted_ = Fit(sheet, fitData_, setup_, &control);
    });
    showOutcome(QStringLiteral("Fitting\u2026"));
}

void TFormFit::showRunning(bool running) {
    StudyWindow::showRunning(running);
    ProgressBarFit->setRange(0, running ? 0 : 1);
    ProgressBarFit->setValue(running || !charted_ ? 0 : 1);
}

void TFormFit::showProgress(std::uint64_t done) {
    showOutcome(QStringLiteral("Fitting\u2026 %1 evaluations").arg(done));
}

void TFormFit::studyFinished() {
    model_->setTable({});
    if (!job().error().empty()) {
        fitted_.reset();
        showOutcome(QString::fromStdString(job().error()));
    } else if (fitted_) {
        model_->setTable(FitParameterReport(*fitted_));
        QString text = QString::fromStdString(fitted_->message);
        if (!fitted_->values.empty()) {
            const ResultTable statistics = FitStatisticsReport(*fitted_);
            for (std::size_t row = 0; row < statistics.rowCount(); ++row) {
                if (!text.isEmpty()) text += QLatin1Char('\n');
                text += QString::fromStdString(statistics.cell(row, 0) + ": " +
                                               statistics.cell(row, 1));
            }
        }
        storable_ = fitted_->succeeded();
        charted_ = !fitted_->observations.empty();
        showOutcome(text);
    }
    ComboChartChange();
    showRunning(false);
}

void TFormFit::ComboChartChange() {
    if (running()) return;  // the fit's thread writes what is drawn
    if (!charted_) {
        ChartView->showPlot(Plot());
        return;
    }
    const FitChart chart =
        ComboChart->currentIndex() == 1 ? FitChart::Residuals : FitChart::MeasuredAndFitted;
    const int axis =
        ComboAxis->currentData().isValid() ? ComboAxis->currentData().toInt() : kRowAxis;
    ChartView->showPlot(MakeFitPlot(*fitted_, fitData_, setup_, axis, chart));
    ChartView->resetZoom();
}

bool TFormFit::hasResultToStore() const {
    return storable_ && fitted_ && fitted_->succeeded();
}

bool TFormFit::hasResults() const {
    return charted_;
}

QString TFormFit::chartTitle() const {
    QStringList names;
    if (fitted_) {
        for (const std::string& name : fitted_->names) names << QString::fromStdString(name);
    }
    return (ComboChart->currentIndex() == 1 ? QStringLiteral("Residuals of the fit of %1")
                                            : QStringLiteral("Fit of %1"))
        .arg(names.join(QStringLiteral(", ")));
}

std::optional<QString> TFormFit::saveCsv(const QString& path) const {
    return WriteFileAtomically(path, ResultTableCsv(FitDataReport(*fitted_, fitData_, setup_)));
}

void TFormFit::showOutcome(const QString& outcome) {
    outcome_ = outcome;
    QString text = outcome;
    if (stale().stale() && !running()) {
        text += QStringLiteral(
                    "\nThe worksheet changed after the fit (%1): fit again to store "
                    "the parameters.")
                    .arg(stale().changes());
    }
    LabelOutcome->setText(text);
}

void TFormFit::worksheetChanged() {
    if (running()) return;
    storable_ = false;
    showOutcome(outcome_);
}

// Each parameter's text goes into its cell as an inline edit writes it;
// then the formula runs once, so that the tables show the solution.
std::optional<QString> TFormFit::storeResult() {
    const Worksheet sheet = session_.worksheetCopy();
    for (std::size_t j = 0; j < fitted_->names.size(); ++j) {
        const std::optional<InputCell> cell = FindInputCell(sheet, fitted_->names[j]);
        if (cell)
            session_.setCell(DocumentOf(cell->table), ValueColumn, cell->row,
                             fitted_->valueTexts[j]);
    }
    std::optional<std::string> fault = session_.runs().runPass(setup_.run.equation);
    session_.tableWritten(Document::Variables);
    if (!fault) return std::nullopt;
    return QString::fromStdString(*fault);
}

void TFormFit::resultStored() {
    storable_ = false;
    showOutcome(outcome_ + QStringLiteral("\nStored in the tables."));
}

// The fit as the last Fit read it, each column's role given, so that the
// batch runner maps none by its name; its rows written as Export writes them.
std::optional<ReplayCommand> TFormFit::replayCommand(QString& fault) const {
    if (setup_.inputs.empty() && !setup_.byPass) {
        FitSetup named = setup_;
        MapColumnsByName(session_.worksheetCopy(), fitData_, named);
        if (!named.inputs.empty()) {
            fault = QStringLiteral(
                        "The batch runner would type the column %1 into %2, which this "
                        "fit left unused: the command cannot say so. Let the column "
                        "set it, or rename it, and fit again.")
                        .arg(QString::fromStdString(named.inputs.front().column),
                             QString::fromStdString(named.inputs.front().name));
            return std::nullopt;
        }
    }
    ReplayCommand command;
    command.addRun(setup_.run);
    command.addOption("fit", fitDataFile_);
    QStringList names;
    for (const FitParameter& p : setup_.parameters) names << QString::fromStdString(p.name);
    command.addOption("estimate", names.join(QLatin1Char(',')));
    for (const FitParameter& p : setup_.parameters) {
        if (!p.bounds) continue;
        const auto [low, high] = std::minmax(p.bounds->first, p.bounds->second);
        command.addOption("bounds", p.name + '=' + ReplayRange(low, high));
    }
    for (const FitColumn& match : setup_.matches)
        command.addOption("match", match.name + '=' + match.column);
    for (const FitColumn& input : setup_.inputs)
        command.addOption("set", input.name + '=' + input.column);
    if (setup_.byPass)
        command.addOption("by-pass",
                          setup_.passColumn.empty() ? std::string("-") : setup_.passColumn);
    if (setup_.weighting != FitWeighting::None) {
        command.addOption(setup_.weighting == FitWeighting::Weights ? "weights" : "sigma",
                          setup_.weightColumn);
    }
    if (setup_.skipFailingRows) command.addSwitch("skip-failing-rows");
    command.addOption("csv", QStringLiteral("fit.csv"));
    return command;
}

}  // namespace quantaro
