#include "studywindows/TFormSweep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "charts/PlotView.h"
#include "documents/CsvFile.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/ItemFocus.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "studies/InputUse.h"
#include "studywindows/StudyInputs.h"
#include "studywindows/SweepTableModel.h"

namespace quantaro {
namespace {

// The run items' help context.
constexpr int kSweepHelp = 14;
constexpr int kMaxAxisPoints = 1'000'000;
// Larger sweeps run in the batch runner, shard by shard.
constexpr std::uint64_t kMaxWindowPoints = 10'000'000;

const ControlEntry kLayout[] = {
    {.name = "TFormSweep",
     .text = QStringLiteral("Quantaro - Sweep"),
     .hint = QStringLiteral("Results over a range of inputs, worked out without changing the "
                            "tables"),
     .helpContext = kSweepHelp},
    {.name = "Label1", .text = QStringLiteral("Input"), .labelFor = "ComboInput1"},
    // Not shown: the second row's combo box has no label of its own.
    {.name = "LabelInput2", .text = QStringLiteral("Second input"), .labelFor = "ComboInput2"},
    {.name = "Label2", .text = QStringLiteral("From")},
    {.name = "Label3", .text = QStringLiteral("To")},
    {.name = "Label4", .text = QStringLiteral("Points")},
    {.name = "ComboInput1", .hint = QStringLiteral("A constant or variable; it varies slowest")},
    {.name = "EditFrom1",
     .hint = QStringLiteral("The first value"),
     .accessibleName = QStringLiteral("From, first input")},
    {.name = "EditTo1",
     .hint = QStringLiteral("The last value"),
     .accessibleName = QStringLiteral("To, first input")},
    {.name = "SpinEditPoints1",
     .hint = QStringLiteral("How many values, both ends included"),
     .accessibleName = QStringLiteral("Points, first input")},
    {.name = "CheckBoxLog1",
     .text = QStringLiteral("log"),
     .hint = QStringLiteral("Equal ratios instead of equal steps (From and To above 0)"),
     .accessibleName = QStringLiteral("Logarithmic steps, first input")},
    {.name = "CheckBoxSecond",
     .text = QStringLiteral("Second input"),
     .hint = QStringLiteral("Sweep a second input for each value of the first"),
     .accessibleName = QStringLiteral("Sweep a second input")},
    {.name = "ComboInput2", .hint = QStringLiteral("A constant or variable; it varies fastest")},
    {.name = "EditFrom2",
     .hint = QStringLiteral("The first value"),
     .accessibleName = QStringLiteral("From, second input")},
    {.name = "EditTo2",
     .hint = QStringLiteral("The last value"),
     .accessibleName = QStringLiteral("To, second input")},
    {.name = "SpinEditPoints2",
     .hint = QStringLiteral("How many values, both ends included"),
     .accessibleName = QStringLiteral("Points, second input")},
    {.name = "CheckBoxLog2",
     .text = QStringLiteral("log"),
     .hint = QStringLiteral("Equal ratios instead of equal steps (From and To above 0)"),
     .accessibleName = QStringLiteral("Logarithmic steps, second input")},
    {.name = "Label5", .text = QStringLiteral("Results to collect"), .labelFor = "ListOutputs"},
    {.name = "ListOutputs",
     .hint = QStringLiteral("The variables read after each point"),
     .accessibleName = QStringLiteral("Results to collect")},
    {.name = "Label6", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label7", .text = QStringLiteral("0 = All equations")},
    {.name = "Label8", .text = QStringLiteral("Passes per point"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula at each point, at most 10000")},
    {.name = "ButtonRun",
     .text = QStringLiteral("&Run"),
     .hint = QStringLiteral("Run every point on every core")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop the sweep; the points run so far are kept")},
    {.name = "ProgressBarSweep", .hint = QStringLiteral("Points run")},
    {.name = "LabelFailed"},
    {.name = "LabelNotes"},
    {.name = "TableResults",
     .hint = QStringLiteral("Each point's inputs, results and message"),
     .accessibleName = QStringLiteral("Sweep results")},
    {.name = "Label9", .text = QStringLiteral("C&hart"), .labelFor = "ComboChart"},
    {.name = "ComboChart",
     .hint = QStringLiteral("A chart for each unit of the results; with two inputs, one for "
                            "each result")},
    {.name = "ChartView",
     .hint = QStringLiteral("Wheel or + and - zoom, arrows move, 0 fits the data; "
                            "dragging a rectangle zooms into it"),
     .accessibleName = QStringLiteral("Sweep chart")},
    {.name = "ListLegend",
     .hint = QStringLiteral("The chart's lines: the results, or the second input's values")},
    {.name = "ButtonSaveChart",
     .text = QStringLiteral("&Save Chart\u2026"),
     .hint = QStringLiteral("Save the chart as a PNG, SVG or PDF file")},
    {.name = "ButtonExport",
     .text = QStringLiteral("&Export as CSV\u2026"),
     .hint = QStringLiteral("Save the table as the batch runner's sweep CSV")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint = QStringLiteral("Copy the quantaro-cli line that runs this sweep again on the saved "
                            "files")},
    {.name = "ButtonClose",
     .text = QStringLiteral("C&lose"),
     .hint = QStringLiteral("Return to main screen")},
};

}  // namespace

TFormSweep::TFormSweep(const Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormSweep", parent), session_(session) {
    buildControls();
    setUpStudyControls({.run = ButtonRun,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .progress = ProgressBarSweep,
                        .saveChart = ButtonSaveChart,
                        .chart = ChartView,
                        .exportCsv = ButtonExport,
                        .copyCommand = ButtonCopyCommand,
                        .fileStem = QStringLiteral("sweep")});
    wireControls();
    showRunning(false);
    CheckBoxSecondClick();
    resize(880, 620);
}

TFormSweep::~TFormSweep() {
    stopStudy();
}

std::span<const ControlEntry> TFormSweep::Layout() {
    return kLayout;
}

TFormSweep::AxisControls TFormSweep::makeAxis(int number) {
    const auto name = [number](const char* stem) {
        return QStringLiteral("%1%2").arg(QLatin1String(stem)).arg(number);
    };
    AxisControls axis;
    axis.input = new QComboBox(this);
    axis.input->setObjectName(name("ComboInput"));
    axis.input->setMinimumContentsLength(10);
    axis.from = MakeStudyEdit(name("EditFrom").toLatin1().constData(), this);
    axis.to = MakeStudyEdit(name("EditTo").toLatin1().constData(), this);
    axis.points = MakeStudySpinEdit(name("SpinEditPoints").toLatin1().constData(), 1,
                                    kMaxAxisPoints, 11, this);
    axis.log = new QCheckBox(FindControl(kLayout, name("CheckBoxLog").toStdString()).text, this);
    axis.log->setObjectName(name("CheckBoxLog"));
    KeepIndicatorsVisible(axis.log);
    return axis;
}

void TFormSweep::buildControls() {
    for (int i = 0; i < int(kMaxSweepAxes); ++i) axes_[i] = makeAxis(i + 1);
    CheckBoxSecond = new QCheckBox(FindControl(kLayout, "CheckBoxSecond").text, this);
    CheckBoxSecond->setObjectName(QStringLiteral("CheckBoxSecond"));
    KeepIndicatorsVisible(CheckBoxSecond);
    MakeLabel(kLayout, "LabelInput2", this)->hide();
    ListOutputs = new QListWidget(this);
    ListOutputs->setObjectName(QStringLiteral("ListOutputs"));
    KeepIndicatorsVisible(ListOutputs);
    ReportItemFocusOnlyWithTheView(ListOutputs);
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonRun = MakeButton(kLayout, "ButtonRun", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    ProgressBarSweep = makeProgressBar("ProgressBarSweep");
    LabelFailed = MakeLabel(kLayout, "LabelFailed", this);
    LabelNotes = MakeLabel(kLayout, "LabelNotes", this);
    LabelNotes->setWordWrap(true);
    LabelNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelNotes->hide();
    model_ = new SweepTableModel(this);
    TableResults = makeResultsTable(model_, "TableResults");
    ComboChart = new QComboBox(this);
    ComboChart->setObjectName(QStringLiteral("ComboChart"));
    ComboChart->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboChart->setMinimumContentsLength(16);
    ChartView = new PlotView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(320, 220);
    // The list beside the chart names every line in full.
    ChartView->setLegendShown(false);
    ListLegend = new QListWidget(this);
    ListLegend->setObjectName(QStringLiteral("ListLegend"));
    ListLegend->setAccessibleName(QStringLiteral("Lines of the chart"));
    ListLegend->setSelectionMode(QAbstractItemView::NoSelection);
    ListLegend->setTextElideMode(Qt::ElideNone);
    ListLegend->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ListLegend->setMinimumWidth(120);
    ListLegend->setMaximumWidth(220);
    ReportItemFocusOnlyWithTheView(ListLegend);
    ButtonSaveChart = MakeButton(kLayout, "ButtonSaveChart", this);
    ButtonExport = MakeButton(kLayout, "ButtonExport", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonClose = MakeButton(kLayout, "ButtonClose", this);

    auto* grid = new QGridLayout;
    for (int column = 0; column < 4; ++column) {
        const std::string label = "Label" + std::to_string(column + 1);
        grid->addWidget(MakeLabel(kLayout, label.c_str(), this), 0, column + 1);
    }
    for (int i = 0; i < int(kMaxSweepAxes); ++i) {
        const AxisControls& axis = axes_[i];
        if (i == 1) grid->addWidget(CheckBoxSecond, 2, 0);
        grid->addWidget(axis.input, i + 1, 1);
        grid->addWidget(axis.from, i + 1, 2);
        grid->addWidget(axis.to, i + 1, 3);
        grid->addWidget(axis.points, i + 1, 4);
        grid->addWidget(axis.log, i + 1, 5);
    }
    auto* runs = new QGridLayout;
    runs->addWidget(MakeLabel(kLayout, "Label6", this), 0, 0);
    runs->addWidget(SpinEditEquation, 0, 1);
    runs->addWidget(MakeLabel(kLayout, "Label7", this), 0, 2);
    runs->addWidget(MakeLabel(kLayout, "Label8", this), 1, 0);
    runs->addWidget(SpinEditPasses, 1, 1);
    auto* setupColumn = new QVBoxLayout;
    setupColumn->addLayout(grid);
    setupColumn->addLayout(runs);
    setupColumn->addStretch();
    auto* outputs = new QVBoxLayout;
    outputs->addWidget(MakeLabel(kLayout, "Label5", this));
    outputs->addWidget(ListOutputs);
    ListOutputs->setMaximumHeight(120);
    auto* top = new QHBoxLayout;
    top->addLayout(setupColumn, 3);
    top->addLayout(outputs, 1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(ButtonRun);
    progress->addWidget(ButtonCancel);
    progress->addWidget(ProgressBarSweep, 1);
    progress->addWidget(LabelFailed, 1);

    auto* chartChoice = new QHBoxLayout;
    QLabel* chartLabel = MakeLabel(kLayout, "Label9", this);
    chartChoice->addWidget(chartLabel);
    chartChoice->addWidget(ComboChart, 1);
    auto* chartLines = new QHBoxLayout;
    chartLines->addWidget(ChartView, 1);
    chartLines->addWidget(ListLegend);
    auto* chartColumn = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartColumn);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addLayout(chartChoice);
    chartLayout->addLayout(chartLines, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(TableResults);
    splitter->addWidget(chartColumn);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({440, 440});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonSaveChart);
    buttons->addWidget(ButtonExport);
    buttons->addWidget(ButtonCopyCommand);
    buttons->addWidget(ButtonClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addLayout(progress);
    layout->addWidget(LabelNotes);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    ChainTabOrder({axes_[0].input,   axes_[0].from,   axes_[0].to,       axes_[0].points,
                   axes_[0].log,     CheckBoxSecond,  axes_[1].input,    axes_[1].from,
                   axes_[1].to,      axes_[1].points, axes_[1].log,      ListOutputs,
                   SpinEditEquation, SpinEditPasses,  ButtonRun,         ButtonCancel,
                   TableResults,     ComboChart,      ChartView,         ListLegend,
                   ButtonSaveChart,  ButtonExport,    ButtonCopyCommand, ButtonClose});
}

void TFormSweep::wireControls() {
    connect(CheckBoxSecond, &QCheckBox::clicked, this, &TFormSweep::CheckBoxSecondClick);
    connect(ButtonRun, &QPushButton::clicked, this, &TFormSweep::ButtonRunClick);
    connect(ComboChart, &QComboBox::activated, this, &TFormSweep::ComboChartChange);
    connect(ChartView, &PlotView::seriesRestyled, this, &TFormSweep::fillLegend);
}

// The inputs offer every name; the outputs every variable, collected unless
// the user has unticked it.
void TFormSweep::refresh() {
    const QStringList inputs = InputNames(session_.constants(), session_.variables());
    for (const AxisControls& axis : axes_) OfferNames(axis.input, inputs);
    if (axes_[1].input->currentIndex() == 0 && inputs.size() > 1) {
        const QSignalBlocker blocker(axes_[1].input);
        axes_[1].input->setCurrentIndex(1);
    }
    QStringList unchecked;
    for (int row = 0; row < ListOutputs->count(); ++row) {
        const QListWidgetItem* item = ListOutputs->item(row);
        if (item->checkState() != Qt::Checked) unchecked.append(item->text());
    }
    const QSignalBlocker blocker(ListOutputs);
    ListOutputs->clear();
    for (const QString& name : VariableNames(session_.variables())) {
        auto* item = new QListWidgetItem(name, ListOutputs);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(unchecked.contains(name) ? Qt::Unchecked : Qt::Checked);
    }
}

void TFormSweep::CheckBoxSecondClick() {
    const bool on = CheckBoxSecond->isChecked();
    const AxisControls& axis = axes_[1];
    for (QWidget* control : {static_cast<QWidget*>(axis.input), static_cast<QWidget*>(axis.from),
                             static_cast<QWidget*>(axis.to), static_cast<QWidget*>(axis.points),
                             static_cast<QWidget*>(axis.log)}) {
        control->setEnabled(on);
    }
}

std::optional<SweepAxis> TFormSweep::readAxis(const AxisControls& controls, const QString& which,
                                              std::string& fault) const {
    SweepAxis axis;
    axis.name = controls.input->currentText().trimmed().toStdString();
    const std::optional<long double> from = EditNumber(controls.from);
    const std::optional<long double> to = EditNumber(controls.to);
    if (!from || !to) {
        fault =
            QStringLiteral("From and To of the %1 input must be numbers").arg(which).toStdString();
        return std::nullopt;
    }
    axis.from = *from;
    axis.to = *to;
    axis.count = controls.points->value();
    axis.spacing = controls.log->isChecked() ? SweepSpacing::Logarithmic : SweepSpacing::Linear;
    return axis;
}

// An input has a column of its own, so it is not collected as a result too,
// whether ticked or not.
std::optional<SweepSetup> TFormSweep::readSetup(const Worksheet& sheet, std::string& fault) const {
    SweepSetup setup;
    const QString which[] = {QStringLiteral("first"), QStringLiteral("second")};
    for (std::size_t i = 0; i < kMaxSweepAxes; ++i) {
        if (i == 1 && !CheckBoxSecond->isChecked()) break;
        std::optional<SweepAxis> axis = readAxis(axes_[i], which[i], fault);
        if (!axis) return std::nullopt;
        setup.axes.push_back(std::move(*axis));
    }
    const std::vector<std::string> collectable = DefaultSweepOutputs(sheet, setup.axes);
    for (int row = 0; row < ListOutputs->count(); ++row) {
        const QListWidgetItem* item = ListOutputs->item(row);
        const std::string name = item->text().toStdString();
        if (item->checkState() == Qt::Checked &&
            std::find(collectable.begin(), collectable.end(), name) != collectable.end()) {
            setup.outputs.push_back(name);
        }
    }
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = SpinEditPasses->value();
    std::uint64_t points = 1;
    for (const SweepAxis& axis : setup.axes) points *= std::uint64_t(axis.count);
    if (points > kMaxWindowPoints) {
        fault = "The window runs at most 10000000 points; quantaro-cli --sweep runs any number";
        return std::nullopt;
    }
    return setup;
}

void TFormSweep::ButtonRunClick() {
    if (!readyToStart()) return;
    std::string fault;
    sheet_ = session_.worksheetCopy();
    std::optional<SweepSetup> setup = readSetup(sheet_, fault);
    if (setup && fault.empty()) fault = SweepSetupError(sheet_, *setup);
    if (!fault.empty()) {
        interaction().showError(this, QString::fromStdString(fault));
        return;
    }
    SweepPlan plan(sheet_, std::move(*setup));
    const std::size_t bytes = SweepResults::BytesFor(plan.pointCount(), plan.outputCount());
    if (bytes > resultBudget_) {
        interaction().showError(
            this, QStringLiteral("The results of %1 points of %2 results would take %3, and a "
                                 "sweep in this window keeps at most %4 of results. Collect "
                                 "fewer results or run fewer points; quantaro-cli --sweep "
                                 "writes any number of points to a file.")
                      .arg(plan.pointCount())
                      .arg(plan.outputCount())
                      .arg(QString::fromStdString(MemoryText(bytes)),
                           QString::fromStdString(MemoryText(resultBudget_))));
        return;
    }
    warnings_.clear();
    for (const InputCell& cell : plan.inputCells()) {
        const std::string warning = IgnoredInputWarning(sheet_, cell, plan.setup().run);
        if (!warning.empty()) warnings_.append(QString::fromStdString(warning) + '.');
    }
    runner_ =
        std::make_unique<SweepRunner>(sheet_, std::move(plan), DefaultWorkerCount(), resultBudget_);
    finished_.reset();
    // Reading a hundred thousand points' numbers for the chart takes a while
    // too: the study's thread does it, while the window leaves sheet_ alone.
    const std::uint64_t points = runner_->plan().pointCount();
    startStudy(
        [this, source = chartSource()](StudyControl& control) {
            SweepResults results = runner_->runAll(&control);
            std::vector<SweepChart> charts = SweepCharts(results, sheet_.variables);
            finished_.emplace(Finished{std::move(results), std::move(charts), std::nullopt});
            // The points are kept even when their chart cannot be drawn.
            if (!finished_->charts.empty()) {
                const SweepChart& first = finished_->charts[FirstSweepChart(finished_->charts)];
                finished_->plot = MakeSweepPlot(finished_->results, first, source);
            }
        },
        points);
    showNotes();
    LabelFailed->setText(QStringLiteral("Running %1 points").arg(points));
}

SweepChartSource TFormSweep::chartSource() const {
    if (!runner_ || runner_->plan().inputCount() == 0) return {nullptr, &sheet_.variables};
    return {&TableOf(sheet_, runner_->plan().inputCells().front().table), &sheet_.variables};
}

void TFormSweep::studyFinished() {
    const std::uint64_t planned = runner_->plan().pointCount();
    if (!finished_) {
        interaction().showError(this, QString::fromStdString(job().error()));
        LabelFailed->setText(
            QStringLiteral("The sweep failed: %1").arg(QString::fromStdString(job().error())));
        return;
    }
    Finished finished = std::move(*finished_);
    finished_.reset();
    model_->setResults(std::move(finished.results));
    charts_ = std::move(finished.charts);
    const SweepResults& results = model_->results();
    QString text = QStringLiteral("%1 of %2 points failed").arg(results.failedCount()).arg(planned);
    if (!results.shortfall().empty()) {
        text = QStringLiteral("Stopped after %1 of %2 points: %3; %4 failed")
                   .arg(results.size())
                   .arg(planned)
                   .arg(QString::fromStdString(results.shortfall()))
                   .arg(results.failedCount());
    } else if (results.size() < planned) {
        text = QStringLiteral("Cancelled after %1 of %2 points; %3 failed")
                   .arg(results.size())
                   .arg(planned)
                   .arg(results.failedCount());
    }
    LabelFailed->setText(text);
    const QString widest = QString::number(results.size()) + QStringLiteral("00");
    TableResults->horizontalHeader()->resizeSection(
        0, TableResults->fontMetrics().horizontalAdvance(widest) + 12);
    showProgressOf(results.size());
    {
        const QSignalBlocker blocker(ComboChart);
        ComboChart->clear();
        for (const SweepChart& chart : charts_) ComboChart->addItem(chart.title);
        if (!charts_.empty()) ComboChart->setCurrentIndex(int(FirstSweepChart(charts_)));
    }
    showChart(finished.plot.value_or(Plot()));
    showRunning(false);
    if (!results.shortfall().empty()) interaction().showError(this, text + '.');
    if (!job().error().empty()) {
        interaction().showError(this, QStringLiteral("The chart could not be drawn: %1")
                                          .arg(QString::fromStdString(job().error())));
    }
}

void TFormSweep::ComboChartChange() {
    const int chart = ComboChart->currentIndex();
    if (running() || chart < 0 || std::size_t(chart) >= charts_.size()) return;
    showChart(MakeSweepPlot(model_->results(), charts_[std::size_t(chart)], chartSource()));
}

// A log sweep is drawn on a logarithmic axis; the lines of a second input's
// values take colours along a scale, in the order of the values.
void TFormSweep::showChart(const Plot& plot) {
    const SweepSetup& setup = model_->results().plan().setup();
    ChartView->setHorizontalLogarithmic(!setup.axes.empty() &&
                                        setup.axes.front().spacing == SweepSpacing::Logarithmic);
    ChartView->setColourScale(setup.axes.size() > 1);
    ChartView->showPlot(plot);
    ChartView->resetZoom();
    fillLegend();
}

// Each line's name in full beside a stroke of its pen.
void TFormSweep::fillLegend() {
    ListLegend->clear();
    const std::vector<QPen> pens = ChartView->seriesPens();
    const std::vector<PlotSeries>& series = ChartView->plot().series;
    const int height = ListLegend->fontMetrics().height();
    for (std::size_t i = 0; i < series.size() && i < pens.size(); ++i) {
        QPixmap stroke(2 * height, height);
        stroke.fill(Qt::transparent);
        QPainter painter(&stroke);
        QPen pen = pens[i];
        pen.setWidthF(2);
        painter.setPen(pen);
        painter.drawLine(1, height / 2, 2 * height - 1, height / 2);
        painter.end();
        auto* item = new QListWidgetItem(QIcon(stroke), series[i].name, ListLegend);
        item->setToolTip(series[i].name);
    }
    ListLegend->setIconSize(QSize(2 * height, height));
}

// The warnings of the last sweep's setup, and whether its results still
// answer the worksheet.
void TFormSweep::showNotes() {
    QStringList notes = warnings_;
    if (stale().stale()) {
        notes.append(QStringLiteral("These results are from before the worksheet changed (%1): "
                                    "run the sweep again for results of the worksheet as it is.")
                         .arg(stale().changes()));
    }
    LabelNotes->setText(notes.join('\n'));
    LabelNotes->setVisible(!notes.isEmpty());
}

bool TFormSweep::hasResults() const {
    return model_->rowCount() > 0;
}

const SweepResults& TFormSweep::results() const {
    return model_->results();
}

QString TFormSweep::chartTitle() const {
    const int chart = ComboChart->currentIndex();
    return chart >= 0 && std::size_t(chart) < charts_.size()
               ? SweepChartTitle(model_->results(), charts_[std::size_t(chart)])
               : QStringLiteral("Sweep");
}

// The sweep as the last Run read it, its table written as Export writes it.
std::optional<ReplayCommand> TFormSweep::replayCommand(QString& fault) const {
    if (!runner_) return StudyWindow::replayCommand(fault);
    const SweepSetup& setup = runner_->plan().setup();
    if (results().size() < runner_->plan().pointCount()) {
        fault = QStringLiteral(
            "The sweep stopped before its last point, and the command would "
            "run them all: run the sweep to its end first.");
        return std::nullopt;
    }
    if (setup.outputs.empty()) {
        fault = QStringLiteral(
            "The sweep collected no results, which the batch runner cannot "
            "be told: tick a result and run the sweep again.");
        return std::nullopt;
    }
    ReplayCommand command;
    command.addRun(setup.run);
    for (const SweepAxis& axis : setup.axes) {
        std::string text =
            axis.name + '=' + ReplayRange(axis.from, axis.to) + ':' + std::to_string(axis.count);
        if (axis.spacing == SweepSpacing::Logarithmic) text += ":log";
        command.addOption("sweep", text);
    }
    QStringList outputs;
    for (const std::string& name : setup.outputs) outputs << QString::fromStdString(name);
    command.addOption("record", outputs.join(QLatin1Char(',')));
    command.addOption("csv", QStringLiteral("sweep.csv"));
    return command;
}

std::optional<QString> TFormSweep::saveCsv(const QString& path) const {
    return SaveSweepCsv(path, model_->results());
}

}  // namespace quantaro
