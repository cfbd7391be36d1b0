#include "charts/PlotView.h"

#include <QChart>
#include <QKeyEvent>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

#include "interaction/ReadableColours.h"

namespace quantaro {
namespace {

// A notch of the wheel (120 eighths of a degree) shows this share of the span;
// a key press the same.
constexpr double kZoomPerNotch = 0.8;
// An arrow key moves the view by this share of the span.
constexpr double kPanShare = 0.1;
// More entries than this and a legend below the chart would cut the names
// short; the list of series beside the chart names them instead.
constexpr std::size_t kMostLegendEntries = 8;
// Lines are graphics, not text: 3:1 against the ground is enough to see them.
constexpr double kLineContrast = 3.0;

// Hues far enough apart to tell ten lines apart by colour alone.
constexpr int kHues[] = {215, 25, 125, 355, 275, 50, 185, 320, 95, 240};
constexpr Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};

// The hue at a middle lightness, made as much darker or lighter as it takes to
// stand out from the ground.
QColor LineColour(int hue, const QColor& background) {
    return ReadableOn(background, QColor::fromHslF(hue / 360.0, 0.85, 0.5), kLineContrast);
}

QString Number(double value) {
    return QString::number(value, 'g', 10);
}

// Qt Charts reads axis titles and legend names as markup.
QString ChartText(const QString& plain) {
    return plain.toHtmlEscaped();
}

// The chart lays out an axis's ticks as soon as its range changes, at the
// interval it has then: the interval that fitted another range could step a
// tick at a time across a far wider one. At this interval no range lays out
// more than two, whatever range the chart picks itself.
void CoarsenTicks(QValueAxis& axis) {
    axis.setTickInterval(std::numeric_limits<double>::max());
}

QValueAxis* MakeAxis(QChart* chart, Qt::Alignment alignment) {
    auto* axis = new QValueAxis(chart);
    axis->setLabelFormat(QStringLiteral("%.6g"));
    CoarsenTicks(*axis);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setRange(0, 1);
    chart->addAxis(axis, alignment);
    return axis;
}

void FitTicks(QValueAxis& axis, const AxisRange& range) {
    const AxisTicks ticks = RoundTicks(range);
    axis.setTickAnchor(ticks.anchor);
    axis.setTickInterval(ticks.interval);
}

}  // namespace

QPen SeriesPen(std::size_t index, const QColor& background) {
    constexpr std::size_t kHueCount = std::size(kHues);
    QPen pen(LineColour(kHues[index % kHueCount], background), 1);
    pen.setStyle(kDashes[(index / kHueCount) % std::size(kDashes)]);
    return pen;
}

QPen ScalePen(std::size_t index, std::size_t count, const QColor& background) {
    // Blue (240) through purple to red (360): hues apart, and no yellow,
    // which is hard to read on a light ground.
    const double share = count > 1 ? double(index) / double(count - 1) : 0.0;
    const double hue = std::fmod(240.0 + 120.0 * share, 360.0);
    return QPen(ReadableOn(background, QColor::fromHslF(hue / 360.0, 0.85, 0.5), kLineContrast),
                1.5);
}

// The ticks are fitted first: the chart lays them out only once the range
// changes, and then at once, with the interval it has then.
void SetAxisRange(QValueAxis& axis, const AxisRange& range) {
    const AxisRange drawable = DrawableRange(range);
    FitTicks(axis, drawable);
    axis.setRange(drawable.low, drawable.high);
}

PlotView::PlotView(QWidget* parent) : QChartView(new QChart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // A screen reader meets the drawing area as a control of its own.
    viewport()->setAccessibleName(QStringLiteral("Plot area"));
    chart()->setMargins(QMargins(4, 4, 4, 4));
    chart()->legend()->setAlignment(Qt::AlignBottom);
    axisX_ = MakeAxis(chart(), Qt::AlignBottom);
    axisY_ = MakeAxis(chart(), Qt::AlignLeft);
    for (QValueAxis* axis : {axisX_, axisY_}) {
        // The chart zooms by itself too (a dragged rectangle, a right click);
        // the ticks then follow the new range, widened when it is too narrow.
        connect(axis, &QValueAxis::rangeChanged, this, [this, axis](double low, double high) {
            const bool whole = axis == axisX_ ? plot_.horizontal.whole : plot_.vertical.whole;
            const AxisRange range{low, high, whole};
            if (DrawableRange(range) != range) {
                SetAxisRange(*axis, range);  // comes back here with the wider range
                return;
            }
            FitTicks(*axis, range);
            if (!fitting_) zoomed_ = true;
        });
    }
    applyPalette();
}

void PlotView::showPlot(const Plot& plot) {
    // Whatever the chart does to the axes while it takes the new data is
    // not the user zooming.
    const QScopedValueRollback<bool> fitting(fitting_, true);
    plot_ = plot;
    matchSeries();
    for (std::size_t i = 0; i < series_.size(); ++i) series_[i]->replace(plot_.series[i].points);
    axisX_->setTitleText(ChartText(plot_.horizontalTitle));
    if (logAxisX_) logAxisX_->setTitleText(ChartText(plot_.horizontalTitle));
    axisY_->setTitleText(ChartText(plot_.verticalTitle));
    if (!zoomed_) setRanges(plot_.horizontal, plot_.vertical);
}

void PlotView::resetZoom() {
    zoomed_ = false;
    setRanges(plot_.horizontal, plot_.vertical);
}

void PlotView::setRanges(const AxisRange& across, const AxisRange& up) {
    const QScopedValueRollback<bool> fitting(fitting_, true);
    setHorizontal(logAxisX_ ? decadesOfPlot() : across);
    SetAxisRange(*axisY_, up);
}

void PlotView::setHorizontalLogarithmic(bool logarithmic) {
    if (logarithmic == horizontalLogarithmic()) return;
    // The series are made afresh, attached to the axis now in place.
    chart()->removeAllSeries();
    series_.clear();
    if (logarithmic) {
        chart()->removeAxis(axisX_);
        logAxisX_ = new QLogValueAxis(chart());
        logAxisX_->setBase(10);
        logAxisX_->setLabelFormat(QStringLiteral("%.6g"));
        logAxisX_->setMinorTickCount(-1);
        chart()->addAxis(logAxisX_, Qt::AlignBottom);
        connect(logAxisX_, &QLogValueAxis::rangeChanged, this, [this] {
            if (!fitting_) zoomed_ = true;
        });
    } else {
        chart()->removeAxis(logAxisX_);
        delete logAxisX_;
        logAxisX_ = nullptr;
        chart()->addAxis(axisX_, Qt::AlignBottom);
    }
    applyPalette();
}

void PlotView::setColourScale(bool scale) {
    if (scale == colourScale_) return;
    colourScale_ = scale;
    // Drawn afresh with the next plot, in the new pens.
    chart()->removeAllSeries();
    series_.clear();
}

QAbstractAxis* PlotView::horizontalAxis() const {
    if (logAxisX_) return logAxisX_;
    return axisX_;
}

AxisRange PlotView::shownHorizontal() const {
    if (!logAxisX_) return shownRange(*axisX_);
    return {std::log10(logAxisX_->min()), std::log10(logAxisX_->max())};
}

void PlotView::setHorizontal(const AxisRange& range) {
    if (!logAxisX_) {
        SetAxisRange(*axisX_, range);
        return;
    }
    logAxisX_->setRange(std::pow(10.0, range.low), std::pow(10.0, range.high));
}

// A twentieth of the decades on either side, or a tenth of a decade around a
// single value.
AxisRange PlotView::decadesOfPlot() const {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const PlotSeries& series : plot_.series) {
        for (const QPointF& point : series.points) {
            if (!(point.x() > 0)) continue;
            low = std::min(low, std::log10(point.x()));
            high = std::max(high, std::log10(point.x()));
        }
    }
    if (low > high) return {0.0, 1.0};
    const double margin = low == high ? 0.1 : (high - low) / 20;
    return {low - margin, high + margin};
}

void PlotView::zoomBy(double factor) {
    const AxisRange across = shownHorizontal();
    double middle = (across.low + across.high) / 2;
    if (logAxisX_) middle = std::pow(10.0, middle);
    zoomAbout(QPointF(middle, (axisY_->min() + axisY_->max()) / 2), factor);
}

void PlotView::zoomAbout(QPointF at, double factor) {
    if (series_.empty()) return;
    const double across = logAxisX_ ? std::log10(at.x()) : at.x();
    const AxisRange x = ZoomAbout(shownHorizontal(), across, factor);
    const AxisRange y = ZoomAbout(shownRange(*axisY_), at.y(), factor);
    setHorizontal(x);
    SetAxisRange(*axisY_, y);
    zoomed_ = true;
}

void PlotView::panBy(double acrossShare, double upShare) {
    if (series_.empty()) return;
    const auto moved = [](AxisRange range, double share) {
        const double by = (range.high - range.low) * share;
        if (std::isfinite(range.low + by) && std::isfinite(range.high + by)) {
            range.low += by;
            range.high += by;
        }
        return range;
    };
    setHorizontal(moved(shownHorizontal(), acrossShare));
    SetAxisRange(*axisY_, moved(shownRange(*axisY_), upShare));
    zoomed_ = true;
}

AxisRange PlotView::shownRange(const QValueAxis& axis) const {
    const bool whole = &axis == axisX_ ? plot_.horizontal.whole : plot_.vertical.whole;
    return {axis.min(), axis.max(), whole};
}

std::vector<QPen> PlotView::seriesPens() const {
    std::vector<QPen> pens;
    for (const QLineSeries* series : series_) pens.push_back(series->pen());
    return pens;
}

// One line series for each series drawn, kept while the same names are drawn
// so that new data only replaces their points.
void PlotView::matchSeries() {
    bool same = series_.size() == plot_.series.size();
    for (std::size_t i = 0; same && i < series_.size(); ++i) {
        same = series_[i]->name() == ChartText(plot_.series[i].name);
    }
    if (same) return;
    // Attaching a line lets the chart change the axes' ranges; the ticks stay
    // few meanwhile, and the ranges are the view's again afterwards.
    const AxisRange across = shownHorizontal();
    const AxisRange up = shownRange(*axisY_);
    if (!logAxisX_) CoarsenTicks(*axisX_);
    CoarsenTicks(*axisY_);
    chart()->removeAllSeries();
    series_.clear();
    for (const PlotSeries& drawn : plot_.series) {
        auto* series = new QLineSeries;
        series->setName(ChartText(drawn.name));
        chart()->addSeries(series);
        series->attachAxis(horizontalAxis());
        series->attachAxis(axisY_);
        series->setPen(penFor(series_.size()));
        series_.push_back(series);
    }
    setHorizontal(across);
    SetAxisRange(*axisY_, up);
    chart()->legend()->setVisible(legendShown_ && series_.size() > 1 &&
                                  series_.size() <= kMostLegendEntries);
    emit seriesRestyled();
}

QPen PlotView::penFor(std::size_t index) const {
    const QColor ground = palette().color(QPalette::Base);
    if (colourScale_) return ScalePen(index, plot_.series.size(), ground);
    return SeriesPen(index, ground);
}

// The chart takes the window's colours: its ground is the palette's base, as
// an editor's, with the text and grid of the palette on it.
void PlotView::applyPalette() {
    const QPalette colours = palette();
    const QColor ground = colours.color(QPalette::Base);
    const QColor text = colours.color(QPalette::Text);
    chart()->setBackgroundBrush(ground);
    chart()->setPlotAreaBackgroundVisible(false);
    chart()->legend()->setLabelColor(text);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(axisX_), static_cast<QAbstractAxis*>(axisY_),
          static_cast<QAbstractAxis*>(logAxisX_)}) {
        if (!axis) continue;
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(colours.color(QPalette::Mid));
        axis->setGridLineColor(colours.color(QPalette::Midlight));
        axis->setMinorGridLineColor(colours.color(QPalette::Midlight));
    }
    for (std::size_t i = 0; i < series_.size(); ++i) series_[i]->setPen(penFor(i));
    emit seriesRestyled();
}

void PlotView::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyPalette();
}

bool PlotView::plotAreaHolds(QPointF inChart) const {
    return !series_.empty() && chart()->plotArea().contains(inChart);
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QPointF inChart = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    if (!plotAreaHolds(inChart)) {
        emit pointerMoved(QString());
        return;
    }
    const QPointF value = chart()->mapToValue(inChart);
    emit pointerMoved(QStringLiteral("x = %1    y = %2").arg(Number(value.x()), Number(value.y())));
}

void PlotView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    emit pointerMoved(QString());
}

void PlotView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int eighths = event->angleDelta().y();
    const QPointF inChart = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    if (eighths == 0 || !plotAreaHolds(inChart)) return;
    zoomAbout(chart()->mapToValue(inChart), std::pow(kZoomPerNotch, eighths / 120.0));
}

void PlotView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomBy(kZoomPerNotch);
            break;
        case Qt::Key_Minus:
            zoomBy(1 / kZoomPerNotch);
            break;
        case Qt::Key_Left:
            panBy(-kPanShare, 0);
            break;
        case Qt::Key_Right:
            panBy(kPanShare, 0);
            break;
        case Qt::Key_Up:
            panBy(0, kPanShare);
            break;
        case Qt::Key_Down:
            panBy(0, -kPanShare);
            break;
        case Qt::Key_0:
            resetZoom();
            break;
        default:
            QChartView::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace quantaro
