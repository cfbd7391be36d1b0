#include "run/TFormTrajectory.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "charts/ChartFile.h"
#include "charts/PlotView.h"
#include "engine/Trajectory.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"

namespace quantaro {

namespace {

constexpr int kRefreshMs = 50;
constexpr int kPanelWidth = 190;

const ControlEntry kLayout[] = {
    {.name = "TFormTrajectory",
     .text = QStringLiteral("Quantaro - Trajectory"),
     .hint = QStringLiteral("Recorded variables, pass by pass")},
    {.name = "ChartView",
     .hint = QStringLiteral("Wheel or + and - zoom, arrows move, 0 fits the data; "
                            "dragging a rectangle zooms into it")},
    {.name = "Label1", .text = QStringLiteral("Horizontal axis")},
    {.name = "ComboHorizontal", .hint = QStringLiteral("Pass number or variable along the bottom")},
    {.name = "Label2", .text = QStringLiteral("Vertical axis")},
    {.name = "ListVertical", .hint = QStringLiteral("Variables drawn against it")},
    {.name = "ButtonResetZoom",
     .text = QStringLiteral("&Reset Zoom"),
     .hint = QStringLiteral("Fit the axes to the data again")},
    {.name = "ButtonSaveChart",
     .text = QStringLiteral("&Save Chart\u2026"),
     .hint = QStringLiteral("Save the chart as a PNG, SVG or PDF file")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint = QStringLiteral("Copy the quantaro-cli line that runs these passes again on the "
                            "saved files")},
    {.name = "LabelPointer"},
    {.name = "LabelThinned", .text = QStringLiteral("History thinned: not every pass is shown")},
};

// A short stretch of a line in the pen, for the list beside the chart.
QIcon LineStyleIcon(const QPen& pen, int height) {
    QPixmap swatch(3 * height, height);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    QPen thick = pen;  // a line one pixel thin would look paler than the chart's
    thick.setWidth(2);
    painter.setPen(thick);
    painter.drawLine(1, height / 2, 3 * height - 1, height / 2);
    return QIcon(swatch);
}

}  // namespace

TFormTrajectory::TFormTrajectory(const Trajectory& trajectory, const NameTable& variables,
                                 UserInteraction& interaction, QWidget* parent)
    : QWidget(parent, Qt::Window),
      trajectory_(trajectory),
      variables_(variables),
      interaction_(interaction) {
    setObjectName(QStringLiteral("TFormTrajectory"));
    setWindowTitle(FindControl(kLayout, "TFormTrajectory").text);
    setFont(CaptionFont());
    buildControls();
    ApplyControlTable(this, kLayout, hints_);
    wireControls();
    resize(760, 480);
    fillChoices();
    redraw();
}

void TFormTrajectory::buildControls() {
    ChartView = new PlotView(this);
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(360, 240);
    ComboHorizontal = new QComboBox(this);
    ComboHorizontal->setObjectName(QStringLiteral("ComboHorizontal"));
    ListVertical = new QListWidget(this);
    ListVertical->setObjectName(QStringLiteral("ListVertical"));
    KeepIndicatorsVisible(ListVertical);
    ButtonResetZoom = MakeButton(kLayout, "ButtonResetZoom", this);
    ButtonSaveChart = MakeButton(kLayout, "ButtonSaveChart", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonCopyCommand->hide();
    LabelPointer = MakeLabel(kLayout, "LabelPointer", this);
    LabelThinned = MakeLabel(kLayout, "LabelThinned", this);

    auto* panel = new QWidget(this);
    panel->setFixedWidth(kPanelWidth);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(MakeLabel(kLayout, "Label1", this));
    side->addWidget(ComboHorizontal);
    side->addSpacing(8);
    side->addWidget(MakeLabel(kLayout, "Label2", this));
    side->addWidget(ListVertical, 1);
    side->addSpacing(8);
    side->addWidget(ButtonResetZoom);
    side->addWidget(ButtonSaveChart);
    side->addWidget(ButtonCopyCommand);

    auto* body = new QHBoxLayout;
    body->addWidget(ChartView, 1);
    body->addWidget(panel);
    auto* status = new QHBoxLayout;
    status->addWidget(LabelPointer, 1);
    status->addWidget(LabelThinned);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(body, 1);
    layout->addLayout(status);

    ChainTabOrder({ChartView, ComboHorizontal, ListVertical, ButtonResetZoom, ButtonSaveChart,
                   ButtonCopyCommand});

    // Gathers the changes of a running loop into one drawing.
    TimerRefresh = new QTimer(this);
    TimerRefresh->setObjectName(QStringLiteral("TimerRefresh"));
    TimerRefresh->setSingleShot(true);
    TimerRefresh->setInterval(kRefreshMs);
}

std::span<const ControlEntry> TFormTrajectory::Layout() {
    return kLayout;
}

void TFormTrajectory::wireControls() {
    connect(ComboHorizontal, &QComboBox::currentIndexChanged, this,
            &TFormTrajectory::ComboHorizontalChange);
    connect(ListVertical, &QListWidget::itemChanged, this, &TFormTrajectory::ListVerticalChange);
    connect(ButtonResetZoom, &QPushButton::clicked, this, &TFormTrajectory::ButtonResetZoomClick);
    connect(ButtonSaveChart, &QPushButton::clicked, this, &TFormTrajectory::ButtonSaveChartClick);
    connect(ButtonCopyCommand, &QPushButton::clicked, this,
            &TFormTrajectory::ButtonCopyCommandClick);
    connect(TimerRefresh, &QTimer::timeout, this, &TFormTrajectory::TimerRefreshTimer);
    connect(ChartView, &PlotView::pointerMoved, LabelPointer, &QLabel::setText);
}

void TFormTrajectory::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

// The pass number and every recorded name across, every name drawn.
void TFormTrajectory::fillChoices() {
    const QSignalBlocker comboBlocker(ComboHorizontal);
    const QSignalBlocker listBlocker(ListVertical);
    ComboHorizontal->clear();
    ComboHorizontal->addItem(QStringLiteral("Pass number"));
    ListVertical->clear();
    shownNames_ = trajectory_.names();
    for (const std::string& name : trajectory_.names()) {
        ComboHorizontal->addItem(QString::fromStdString(name));
        auto* item = new QListWidgetItem(QString::fromStdString(name), ListVertical);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

PlotChoice TFormTrajectory::choice() const {
    PlotChoice choice;
    // The first item is the pass number.
    choice.horizontal = std::max(ComboHorizontal->currentIndex(), 0) - 1;
    for (int row = 0; row < ListVertical->count(); ++row) {
        if (ListVertical->item(row)->checkState() == Qt::Checked) {
            choice.vertical.push_back(static_cast<std::size_t>(row));
        }
    }
    return choice;
}

// The variable now across is no longer drawn against itself; the axes fit
// the new pairing.
void TFormTrajectory::ComboHorizontalChange() {
    const int column = ComboHorizontal->currentIndex() - 1;
    if (column >= 0) {
        const QSignalBlocker blocker(ListVertical);
        ListVertical->item(column)->setCheckState(Qt::Unchecked);
    }
    redraw();
    ChartView->resetZoom();
}

void TFormTrajectory::ListVerticalChange() {
    redraw();
}

void TFormTrajectory::ButtonResetZoomClick() {
    ChartView->resetZoom();
}

bool TFormTrajectory::zoomed() const {
    return ChartView->zoomed();
}

void TFormTrajectory::setCommandSource(CommandSource source) {
    commandSource_ = std::move(source);
    ButtonCopyCommand->setVisible(static_cast<bool>(commandSource_));
}

void TFormTrajectory::ButtonCopyCommandClick() {
    if (!commandSource_) return;
    QString fault;
    if (const std::optional<QString> line = commandSource_(fault)) {
        interaction_.copyToClipboard(*line);
    } else {
        interaction_.showInformation(this, fault);
    }
}

void TFormTrajectory::ButtonSaveChartClick() {
    AskToSaveChart(*ChartView, interaction_, this, QStringLiteral("trajectory.png"));
}

void TFormTrajectory::followTrajectory() {
    if (isVisible() && !TimerRefresh->isActive()) TimerRefresh->start();
}

// A history started afresh may record other variables; the choices follow.
void TFormTrajectory::TimerRefreshTimer() {
    if (trajectory_.names() != shownNames_) {
        fillChoices();
        redraw();
        ChartView->resetZoom();
        return;
    }
    if (trajectory_.revision() == drawnRevision_) return;
    if (redrawTooSoon()) {
        TimerRefresh->start();
        return;
    }
    redraw();
}

// A long history takes a while to draw; the loop that feeds it keeps at least
// four fifths of the time however long that is.
bool TFormTrajectory::redrawTooSoon() const {
    return sinceRedraw_.isValid() && sinceRedraw_.nsecsElapsed() < 4 * redrawCostNs_;
}

// What changed while the window was hidden is drawn now.
void TFormTrajectory::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TimerRefreshTimer();
}

void TFormTrajectory::hideEvent(QHideEvent* event) {
    TimerRefresh->stop();
    QWidget::hideEvent(event);
}

void TFormTrajectory::redraw() {
    QElapsedTimer cost;
    cost.start();
    const PlotChoice drawn = choice();
    const Plot plot =
        plotter_.plot(trajectory_, variables_, drawn, PointsPerSeries(drawn.vertical.size()));
    // Reading the rows is what grows with the history; painting the few
    // thousand points drawn costs about as much again.
    redrawCostNs_ = 2 * cost.nsecsElapsed();
    ChartView->showPlot(plot);
    showLineStyles();
    drawnRevision_ = trajectory_.revision();
    LabelThinned->setVisible(trajectory_.thinned());
    sinceRedraw_.start();
}

// Each drawn variable's item shows its line, so that every line is named
// however many there are.
void TFormTrajectory::showLineStyles() {
    const QSignalBlocker blocker(ListVertical);
    const std::vector<QPen> pens = ChartView->seriesPens();
    const int height = ListVertical->fontMetrics().height();
    std::size_t drawn = 0;
    for (int row = 0; row < ListVertical->count(); ++row) {
        QListWidgetItem* item = ListVertical->item(row);
        const bool shown = item->checkState() == Qt::Checked && drawn < pens.size();
        item->setIcon(shown ? LineStyleIcon(pens[drawn++], height) : QIcon());
    }
}

}  // namespace quantaro
