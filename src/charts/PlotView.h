#pragma once

#include <QChartView>
#include <QPen>

#include <cstddef>
#include <vector>

#include "charts/TrajectoryPlot.h"

class QAbstractAxis;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;

namespace quantaro {

// The pen of the index-th series on a chart drawn on background: ten hues,
// then the same hues dashed, dotted and dash-dotted, each dark or light
// enough to stand out from the background.
QPen SeriesPen(std::size_t index, const QColor& background);

// The pen of the index-th of count series drawn on background as a colour
// scale, from blue for the first through purple to red for the last, for
// lines that stand for values in order.
QPen ScalePen(std::size_t index, std::size_t count, const QColor& background);

// The axis's range as the chart's own tick layout must meet it: the range
// made drawable (DrawableRange), and the ticks fitted to it before it
// changes, since the chart lays them out at once with the interval it has,
// and the old interval over a far wider new range would lay out a tick for
// every step.
void SetAxisRange(QValueAxis& axis, const AxisRange& range);

// A chart of a Plot: one line per series, told apart by SeriesPen for any
// number of series, in the colours of the palette. The wheel, a dragged
// rectangle and the keys +, -, the arrows and 0 zoom and move it. A zoomed
// chart keeps its axes while new plots arrive, until resetZoom() fits them
// to the data again. Whatever range an axis is given, it draws a handful of
// ticks, so no plot can make the chart lay out more.
class PlotView : public QChartView {
    Q_OBJECT

  public:
    explicit PlotView(QWidget* parent = nullptr);

    // Draws the plot, fitting the axes to it unless the user has zoomed.
    void showPlot(const Plot& plot);
    const Plot& plot() const { return plot_; }

    // Whether the axes are the user's rather than fitted to the data.
    bool zoomed() const { return zoomed_; }
    void resetZoom();
    // Scales both axes about their centres (below 1 zooms in).
    void zoomBy(double factor);
    // Moves the view by the given shares of the axes' spans.
    void panBy(double acrossShare, double upShare);

    // The pen each series is drawn with, in order.
    std::vector<QPen> seriesPens() const;

    // For charts beside a list of their lines, and of values in order: the
    // chart's own legend left out, the lines coloured along a scale, the
    // horizontal axis logarithmic (for positive values only). Each takes
    // effect with the next plot shown.
    void setLegendShown(bool shown) { legendShown_ = shown; }
    void setColourScale(bool scale);
    void setHorizontalLogarithmic(bool logarithmic);
    bool horizontalLogarithmic() const { return logAxisX_ != nullptr; }

  signals:
    // The series were drawn afresh or took new pens (a new palette).
    void seriesRestyled();
    // "x = ...    y = ..." under the pointer; empty outside the plot area.
    void pointerMoved(const QString& text);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void matchSeries();
    void applyPalette();
    void setRanges(const AxisRange& across, const AxisRange& up);
    void zoomAbout(QPointF at, double factor);
    bool plotAreaHolds(QPointF inChart) const;
    // The axis's range as shown, with the ticks the plot asks for.
    AxisRange shownRange(const QValueAxis& axis) const;
    // The horizontal axis's range as shown and set, in decades when it is
    // logarithmic, so that zooming and moving act on what the eye sees.
    AxisRange shownHorizontal() const;
    void setHorizontal(const AxisRange& range);
    // The range of the plot's positive horizontal values, in decades.
    AxisRange decadesOfPlot() const;
    QAbstractAxis* horizontalAxis() const;
    QPen penFor(std::size_t index) const;

    Plot plot_;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QLogValueAxis* logAxisX_ = nullptr;  // in axisX_'s place while the axis is logarithmic
    bool legendShown_ = true;
    bool colourScale_ = false;
    std::vector<QLineSeries*> series_;
    bool zoomed_ = false;
    bool fitting_ = false;  // range changes are the data's, not the user's
};

}  // namespace quantaro
