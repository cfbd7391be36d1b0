#include "run/TFormTrajectory.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/Trajectory.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "run/ChartFile.h"

namespace quantaro {

// The chart view with the wheel turned to zooming and the pointer reported,
// both in the view's own coordinates.
class TrajectoryChartView : public QChartView {
  public:
    TrajectoryChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
        setRubberBand(QChartView::RectangleRubberBand);
        setRenderHint(QPainter::Antialiasing);
        viewport()->setMouseTracking(true);
    }

    std::function<void(QPoint)> onPointer;
    std::function<void(QPoint, int)> onWheel;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QChartView::mouseMoveEvent(event);
        if (onPointer) onPointer(event->position().toPoint());
    }
    void leaveEvent(QEvent* event) override {
        QChartView::leaveEvent(event);
        if (onPointer) onPointer(QPoint(-1, -1));
    }
    void wheelEvent(QWheelEvent* event) override {
        if (onWheel) onWheel(event->position().toPoint(), event->angleDelta().y());
        event->accept();
    }
};

namespace {

constexpr int kRefreshMs = 50;
constexpr int kPanelWidth = 190;
// A notch of the wheel (120 eighths of a degree) shows this share of the span.
constexpr double kZoomPerNotch = 0.8;

QString Number(double value) {
    return QString::number(value, 'g', 10);
}

// Qt Charts reads axis titles and legend names as markup.
QString ChartText(const QString& plain) {
    return plain.toHtmlEscaped();
}

QValueAxis* MakeAxis(QChart* chart, Qt::Alignment alignment) {
    auto* axis = new QValueAxis(chart);
    axis->setLabelFormat(QStringLiteral("%.6g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    chart->addAxis(axis, alignment);
    // Ticks at round numbers, whether the data or the user set the range.
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis](double low, double high) {
        const AxisTicks ticks = RoundTicks({low, high});
        axis->setTickAnchor(ticks.anchor);
        axis->setTickInterval(ticks.interval);
    });
    return axis;
}

}  // namespace

TFormTrajectory::TFormTrajectory(const Trajectory& trajectory, const NameTable& variables,
                                 UserInteraction& interaction, QWidget* parent)
    : QWidget(parent, Qt::Window),
      trajectory_(trajectory),
      variables_(variables),
      interaction_(interaction) {
    setObjectName(QStringLiteral("TFormTrajectory"));
    setWindowTitle(QStringLiteral("Quantaro - Trajectory"));
    setFont(CaptionFont());
    buildChart();
    buildControls();
    registerHints();
    wireControls();
    resize(760, 480);
    fillChoices();
    redraw();
}

void TFormTrajectory::buildChart() {
    chart_ = new QChart;
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    axisX_ = MakeAxis(chart_, Qt::AlignBottom);
    axisY_ = MakeAxis(chart_, Qt::AlignLeft);
    ChartView = new TrajectoryChartView(chart_, this);  // the view owns the chart
    ChartView->setObjectName(QStringLiteral("ChartView"));
    ChartView->setMinimumSize(360, 240);
    ChartView->onPointer = [this](QPoint position) { pointerMoved(position); };
    ChartView->onWheel = [this](QPoint position, int eighths) { wheelTurned(position, eighths); };
}

void TFormTrajectory::buildControls() {
    ComboHorizontal = new QComboBox(this);
    ComboHorizontal->setObjectName(QStringLiteral("ComboHorizontal"));
    ListVertical = new QListWidget(this);
    ListVertical->setObjectName(QStringLiteral("ListVertical"));
    KeepItemChecksVisible(ListVertical);
    ButtonResetZoom = MakeButton(QStringLiteral("&Reset Zoom"), "ButtonResetZoom", this);
    ButtonSaveChart =
        MakeButton(QStringLiteral("&Save Chart") + QChar(0x2026), "ButtonSaveChart", this);
    LabelPointer = MakeLabel(QString(), QStringLiteral("LabelPointer"), this);
    LabelThinned = MakeLabel(QStringLiteral("History thinned: not every pass is shown"),
                             QStringLiteral("LabelThinned"), this);

    auto* panel = new QWidget(this);
    panel->setFixedWidth(kPanelWidth);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(MakeLabel(QStringLiteral("Horizontal axis"), QStringLiteral("Label1"), this));
    side->addWidget(ComboHorizontal);
    side->addSpacing(8);
    side->addWidget(MakeLabel(QStringLiteral("Vertical axis"), QStringLiteral("Label2"), this));
    side->addWidget(ListVertical, 1);
    side->addSpacing(8);
    side->addWidget(ButtonResetZoom);
    side->addWidget(ButtonSaveChart);

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

    ChainTabOrder({ComboHorizontal, ListVertical, ButtonResetZoom, ButtonSaveChart});

    TimerRefresh = new QTimer(this);
    TimerRefresh->setObjectName(QStringLiteral("TimerRefresh"));
    TimerRefresh->setInterval(kRefreshMs);
}

void TFormTrajectory::registerHints() {
    hints_.add(this, QStringLiteral("Recorded variables, pass by pass"));
    hints_.add(ChartView, QStringLiteral("Wheel zooms about the pointer, dragging a rectangle "
                                         "zooms into it, right-click zooms out"));
    hints_.add(ComboHorizontal, QStringLiteral("Pass number or variable along the bottom"));
    hints_.add(ListVertical, QStringLiteral("Variables drawn against it"));
    hints_.add(ButtonResetZoom, QStringLiteral("Fit the axes to the data again"));
    hints_.add(ButtonSaveChart, QStringLiteral("Save the chart as a PNG, SVG or PDF file"));
}

void TFormTrajectory::wireControls() {
    connect(ComboHorizontal, &QComboBox::currentIndexChanged, this,
            &TFormTrajectory::ComboHorizontalChange);
    connect(ListVertical, &QListWidget::itemChanged, this, &TFormTrajectory::ListVerticalChange);
    connect(ButtonResetZoom, &QPushButton::clicked, this, &TFormTrajectory::ButtonResetZoomClick);
    connect(ButtonSaveChart, &QPushButton::clicked, this, &TFormTrajectory::ButtonSaveChartClick);
    connect(TimerRefresh, &QTimer::timeout, this, &TFormTrajectory::TimerRefreshTimer);
    connect(axisX_, &QValueAxis::rangeChanged, this, &TFormTrajectory::axisRangeChanged);
    connect(axisY_, &QValueAxis::rangeChanged, this, &TFormTrajectory::axisRangeChanged);
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
    zoomed_ = false;
    redraw();
}

void TFormTrajectory::ListVerticalChange() {
    redraw();
}

void TFormTrajectory::ButtonResetZoomClick() {
    zoomed_ = false;
    redraw();
}

void TFormTrajectory::ButtonSaveChartClick() {
    FileDialogOptions options;
    options.title = QStringLiteral("Save Chart");
    options.filter = QStringLiteral("PNG Image (*.png);;SVG Drawing (*.svg);;PDF Document (*.pdf)");
    options.defaultSuffix = QStringLiteral("png");
    options.initialName = QStringLiteral("trajectory.png");
    const QString path = interaction_.chooseFileToSave(this, options);
    if (path.isEmpty()) return;
    if (const std::optional<QString> error = SaveChart(*ChartView, path)) {
        interaction_.showError(this, *error);
    }
}

// A history started afresh may record other variables; the choices follow.
void TFormTrajectory::TimerRefreshTimer() {
    if (trajectory_.names() != shownNames_) {
        fillChoices();
        zoomed_ = false;
    } else if (trajectory_.revision() == drawnRevision_ || redrawTooSoon()) {
        return;
    }
    redraw();
}

// A long history takes a while to draw; the loop that feeds it keeps at least
// four fifths of the time however long that is.
bool TFormTrajectory::redrawTooSoon() const {
    return sinceRedraw_.isValid() && sinceRedraw_.nsecsElapsed() < 4 * redrawCostNs_;
}

void TFormTrajectory::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TimerRefreshTimer();
    TimerRefresh->start();
}

void TFormTrajectory::hideEvent(QHideEvent* event) {
    TimerRefresh->stop();
    QWidget::hideEvent(event);
}

void TFormTrajectory::redraw() {
    // Whatever the chart does to the axes while it takes the new data is
    // not the user zooming.
    const QScopedValueRollback<bool> redrawing(redrawing_, true);
    QElapsedTimer cost;
    cost.start();
    const Plot plot = MakePlot(trajectory_, variables_, choice());
    // Reading the rows is what grows with the history; painting the few
    // thousand points drawn costs about as much again.
    redrawCostNs_ = 2 * cost.nsecsElapsed();
    matchSeries(plot);
    for (std::size_t i = 0; i < series_.size(); ++i) series_[i]->replace(plot.series[i].points);
    axisX_->setTitleText(ChartText(plot.horizontalTitle));
    axisY_->setTitleText(ChartText(plot.verticalTitle));
    if (!zoomed_) {
        axisX_->setRange(plot.horizontal.low, plot.horizontal.high);
        axisY_->setRange(plot.vertical.low, plot.vertical.high);
    }
    drawnRevision_ = trajectory_.revision();
    LabelThinned->setVisible(trajectory_.thinned());
    sinceRedraw_.start();
}

// One line series for each variable drawn, kept while the same variables
// are drawn so that new rows only replace their points.
void TFormTrajectory::matchSeries(const Plot& plot) {
    bool same = series_.size() == plot.series.size();
    for (std::size_t i = 0; same && i < series_.size(); ++i) {
        same = series_[i]->name() == ChartText(plot.series[i].name);
    }
    if (same) return;
    chart_->removeAllSeries();
    series_.clear();
    for (const PlotSeries& drawn : plot.series) {
        auto* series = new QLineSeries;
        series->setName(ChartText(drawn.name));
        chart_->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_.push_back(series);
    }
    chart_->legend()->setVisible(series_.size() > 1);
}

void TFormTrajectory::axisRangeChanged() {
    if (!redrawing_) zoomed_ = true;
}

void TFormTrajectory::pointerMoved(QPoint position) {
    const QPointF inChart = chart_->mapFromScene(ChartView->mapToScene(position));
    if (series_.empty() || !chart_->plotArea().contains(inChart)) {
        LabelPointer->clear();
        return;
    }
    const QPointF value = chart_->mapToValue(inChart);
    LabelPointer->setText(
        QStringLiteral("x = %1    y = %2").arg(Number(value.x()), Number(value.y())));
}

void TFormTrajectory::wheelTurned(QPoint position, int eighthsOfDegree) {
    const QPointF inChart = chart_->mapFromScene(ChartView->mapToScene(position));
    if (eighthsOfDegree == 0 || series_.empty() || !chart_->plotArea().contains(inChart)) return;
    const QPointF at = chart_->mapToValue(inChart);
    const double factor = std::pow(kZoomPerNotch, eighthsOfDegree / 120.0);
    const AxisRange x = ZoomAbout({axisX_->min(), axisX_->max()}, at.x(), factor);
    const AxisRange y = ZoomAbout({axisY_->min(), axisY_->max()}, at.y(), factor);
    axisX_->setRange(x.low, x.high);
    axisY_->setRange(y.low, y.high);
}

}  // namespace quantaro
