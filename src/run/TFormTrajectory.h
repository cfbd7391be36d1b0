#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <span>

#include "charts/TrajectoryPlot.h"
#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace quantaro {

class NameTable;
class PlotView;
class Trajectory;
class UserInteraction;

// The trajectory window: a chart of recorded variables against the pass
// number or against another recorded variable. Told that the trajectory
// changed (followTrajectory), it draws it again, at most twenty times a
// second however often it is told, and at a cost that the history's length
// bounds.
// The wheel, a dragged rectangle and the keys zoom (PlotView); a zoomed chart
// keeps its axes while new rows arrive, until Reset Zoom fits them to the
// data again. The list of variables shows each drawn line's colour and dash.
//
// The trajectory and the variable table must outlive the window. When the
// trajectory starts a history of other variables, the choices follow.
class TFormTrajectory : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    TFormTrajectory(const Trajectory& trajectory, const NameTable& variables,
                    UserInteraction& interaction, QWidget* parent = nullptr);

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void setHintsShown(bool shown) override;

    // The trajectory has changed: it is drawn again soon, while the window
    // is shown.
    void followTrajectory();

    // Whether the axes are the user's rather than fitted to the data.
    bool zoomed() const;

    // What Copy as Command copies: the command line of the history, or
    // nothing with the reason in fault. Without a source the button is hidden.
    using CommandSource = std::function<std::optional<QString>(QString& fault)>;
    void setCommandSource(CommandSource source);

    // Handlers.
    void ComboHorizontalChange();
    void ListVerticalChange();
    void ButtonResetZoomClick();
    void ButtonSaveChartClick();
    void ButtonCopyCommandClick();
    // Draws the trajectory as it is now, unless the last drawing was too
    // recent; then it tries again later.
    void TimerRefreshTimer();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildControls();
    void wireControls();
    void fillChoices();

    PlotChoice choice() const;
    bool redrawTooSoon() const;
    void redraw();
    void showLineStyles();

    const Trajectory& trajectory_;
    const NameTable& variables_;
    UserInteraction& interaction_;
    std::uint64_t drawnRevision_ = 0;
    QElapsedTimer sinceRedraw_;
    qint64 redrawCostNs_ = 0;              // of the last redraw, paint included as a guess
    std::vector<std::string> shownNames_;  // the names the choices offer
    TrajectoryPlotter plotter_;

    PlotView* ChartView = nullptr;
    QComboBox* ComboHorizontal = nullptr;
    QListWidget* ListVertical = nullptr;
    QPushButton* ButtonResetZoom = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonCopyCommand = nullptr;
    CommandSource commandSource_;
    QLabel* LabelPointer = nullptr;
    QLabel* LabelThinned = nullptr;
    QTimer* TimerRefresh = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
