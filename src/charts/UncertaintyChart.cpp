#include "charts/UncertaintyChart.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

#include "charts/PlotView.h"

namespace quantaro {
namespace {

// Qt Charts reads titles and categories as markup.
QString ChartText(const QString& plain) {
    return plain.toHtmlEscaped();
}

QChart* MakeChart() {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    return chart;
}

}  // namespace

UncertaintyChartView::UncertaintyChartView(QWidget* parent)
    : QGraphicsView(parent),
      scene_(new QGraphicsScene(this)),
      shares_(MakeChart()),
      histogram_(MakeChart()) {
    setScene(scene_);
    setRenderHint(QPainter::Antialiasing);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    scene_->addItem(shares_);
    scene_->addItem(histogram_);
    showShares(std::nullopt);
    showHistogram(std::nullopt);
}

void UncertaintyChartView::showShares(const std::optional<ShareBars>& bars) {
    shares_->removeAllSeries();
    for (QAbstractAxis* axis : shares_->axes()) shares_->removeAxis(axis), delete axis;
    hasShares_ = bars.has_value() && !bars->inputs.isEmpty();
    shares_->setTitle(hasShares_ ? ChartText(QStringLiteral("Shares of u(%1)²").arg(bars->result))
                                 : QStringLiteral("Shares: run first order"));
    if (hasShares_) {
        auto* set = new QBarSet(QStringLiteral("share"));
        // The first input at the top, as in the table.
        QStringList names;
        for (qsizetype k = bars->inputs.size() - 1; k >= 0; --k) {
            *set << bars->shares[static_cast<std::size_t>(k)];
            // The share beside the name: a bar's own label has no room on a thin bar.
            const double share = bars->shares[static_cast<std::size_t>(k)];
            names << ChartText(bars->inputs[k] + QStringLiteral("  %1 %").arg(share, 0, 'g', 3));
        }
        auto* series = new QHorizontalBarSeries;
        series->append(set);
        shares_->addSeries(series);
        auto* across = new QValueAxis;
        across->setRange(0, 100);
        across->setLabelFormat(QStringLiteral("%.0f"));
        across->setTitleText(QStringLiteral("share of the variance (%)"));
        auto* up = new QBarCategoryAxis;
        up->append(names);
        shares_->addAxis(across, Qt::AlignBottom);
        shares_->addAxis(up, Qt::AlignLeft);
        series->attachAxis(across);
        series->attachAxis(up);
        set->setColor(SeriesPen(0, palette().color(QPalette::Base)).color());
    }
    applyPalette(shares_);
    layOut();
}

void UncertaintyChartView::showHistogram(const std::optional<DrawHistogram>& histogram) {
    histogram_->removeAllSeries();
    for (QAbstractAxis* axis : histogram_->axes()) histogram_->removeAxis(axis), delete axis;
    hasHistogram_ = histogram.has_value() && !histogram->counts.empty();
    histogram_->setTitle(QStringLiteral("Draws: run Monte Carlo"));
    if (hasHistogram_) {
        histogram_->setTitle(ChartText(
            QStringLiteral("Draws of %1, 95 % between the marks").arg(histogram->result)));
        auto* outline = new QLineSeries;
        auto* base = new QLineSeries;
        const double highest =
            *std::max_element(histogram->counts.begin(), histogram->counts.end());
        for (std::size_t k = 0; k < histogram->counts.size(); ++k) {
            outline->append(histogram->edges[k], histogram->counts[k]);
            outline->append(histogram->edges[k + 1], histogram->counts[k]);
        }
        base->append(histogram->edges.front(), 0);
        base->append(histogram->edges.back(), 0);
        auto* area = new QAreaSeries(outline, base);
        // An area series does not own its edges: they go with it.
        outline->setParent(area);
        base->setParent(area);
        const QColor ground = palette().color(QPalette::Base);
        QColor fill = SeriesPen(0, ground).color();
        area->setPen(QPen(fill, 1));
        fill.setAlpha(110);
        area->setBrush(fill);
        histogram_->addSeries(area);
        auto* across = new QValueAxis;
        across->setRange(histogram->edges.front(), histogram->edges.back());
        across->setLabelFormat(QStringLiteral("%.6g"));
        across->setTickCount(5);
        across->setTitleText(ChartText(histogram->result));
        auto* up = new QValueAxis;
        up->setRange(0, std::max(1.0, highest * 1.05));
        up->setTitleText(QStringLiteral("draws"));
        up->setLabelFormat(QStringLiteral("%.0f"));
        histogram_->addAxis(across, Qt::AlignBottom);
        histogram_->addAxis(up, Qt::AlignLeft);
        area->attachAxis(across);
        area->attachAxis(up);
        for (const double at : {histogram->low, histogram->high}) {
            auto* mark = new QLineSeries;
            mark->append(at, 0);
            mark->append(at, highest * 1.05);
            QPen pen = SeriesPen(1, ground);
            pen.setWidth(2);
            pen.setStyle(Qt::DashLine);
            mark->setPen(pen);
            histogram_->addSeries(mark);
            mark->attachAxis(across);
            mark->attachAxis(up);
        }
    }
    applyPalette(histogram_);
    layOut();
}

void UncertaintyChartView::applyPalette(QChart* chart) {
    const QPalette colours = palette();
    const QColor text = colours.color(QPalette::Text);
    chart->setBackgroundBrush(colours.color(QPalette::Base));
    chart->setPlotAreaBackgroundVisible(false);
    chart->setTitleBrush(text);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(colours.color(QPalette::Mid));
        axis->setGridLineColor(colours.color(QPalette::Midlight));
    }
}

// The shares on the left, the histogram on the right. Both charts keep their
// places, empty or not: a chart laid out while hidden elides its labels.
void UncertaintyChartView::layOut() {
    const QRectF area(QPointF(0, 0), viewport()->size());
    scene_->setSceneRect(area);
    setBackgroundBrush(palette().color(QPalette::Base));
    const double split = area.width() * 0.45;
    shares_->setGeometry(QRectF(0, 0, split, area.height()));
    histogram_->setGeometry(QRectF(split, 0, area.width() - split, area.height()));
}

void UncertaintyChartView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    layOut();
}

void UncertaintyChartView::changeEvent(QEvent* event) {
    QGraphicsView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyPalette(shares_);
        applyPalette(histogram_);
        layOut();
    }
}

}  // namespace quantaro
