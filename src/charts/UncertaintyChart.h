#pragma once

#include <QGraphicsView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QChart;
class QGraphicsScene;

namespace quantaro {

// Each input's share of a result's variance, in per cent.
struct ShareBars {
    QString result;
    QStringList inputs;
    std::vector<double> shares;
};

// The draws of a result as a histogram, with an interval marked.
struct DrawHistogram {
    QString result;
    std::vector<double> edges;  // one more than counts
    std::vector<double> counts;
    double low = 0.0;
    double high = 0.0;
};

// The charts of an uncertainty study side by side in one view, so that Save
// Chart keeps both: a horizontal bar for each input's share of the chosen
// result's variance, and, after Monte Carlo, the histogram of its draws
// with the 95 % interval marked; each says what to run while it is empty. Drawn in the colours of
// the palette.
class UncertaintyChartView : public QGraphicsView {
    Q_OBJECT

  public:
    explicit UncertaintyChartView(QWidget* parent = nullptr);

    void showShares(const std::optional<ShareBars>& bars);
    void showHistogram(const std::optional<DrawHistogram>& histogram);
    bool showsShares() const { return hasShares_; }
    bool showsHistogram() const { return hasHistogram_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void layOut();
    void applyPalette(QChart* chart);

    QGraphicsScene* scene_;
    QChart* shares_;
    QChart* histogram_;
    bool hasShares_ = false;
    bool hasHistogram_ = false;
};

}  // namespace quantaro
