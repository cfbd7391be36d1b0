#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QTableView;
class QWidget;

namespace quantaro {

// Where the main window's controls that follow its size go, for a size of
// its client area. At the smallest size every control keeps its classic
// place; beyond it, the operator grid grows in height, the constant and
// variable grids and the formula editor grow in width and height (the extra
// width going to the value and units columns). The buttons and the angle
// units keep their size and place beside the operator grid; the inline value
// editor places itself over its row.
struct MainWindowGeometry {
    static constexpr QSize kSmallestClient{633, 406};

    QRect operators;
    QRect constants;
    QRect variables;
    QPoint label;
    QRect formula;
    // What the value and units columns gain over their widths at the smallest size.
    int valueExtra = 0;
    int unitsExtra = 0;

    static MainWindowGeometry forClient(QSize client);
};

// Places the controls again whenever the client area changes size.
class MainWindowLayout : public QObject {
  public:
    struct Controls {
        QTableView* operators;
        QTableView* constants;
        QTableView* variables;
        QWidget* label;
        QWidget* formula;
    };

    MainWindowLayout(QWidget* client, const Controls& controls);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A grid's value and units columns as wide as at the smallest size plus
    // what the geometry adds.
    struct Columns {
        QTableView* grid;
        int valueWidth;
        int unitsWidth;
        void widen(const MainWindowGeometry& geometry) const;
    };

    void place(QSize client);

    QWidget* client_;
    Controls controls_;
    Columns constantColumns_;
    Columns variableColumns_;
};

}  // namespace quantaro
