#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "engine/Sweep.h"
#include "engine/Worksheet.h"
#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"
#include "run/StudyJob.h"
#include "run/TrajectoryPlot.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

namespace quantaro {

class PlotView;
class Session;
class SweepTableModel;
class UserInteraction;

// The Sweep window: the results of the formula over a range of one or two
// inputs, as a table and a chart. The points run on every core, on a copy
// of the session's worksheet taken when the sweep starts, so no document
// changes; the window stays responsive and Cancel keeps the points run.
//
// The session must outlive the window.
class TFormSweep : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    TFormSweep(const Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormSweep() override;

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void setHintsShown(bool shown) override;

    // Offers the worksheet's names as they are now; the session's changes of
    // names and rows call it again.
    void refresh();
    bool running() const { return job_.running(); }
    // The results shown, those of the last sweep.
    const SweepResults& results() const;
    const PlotView& chart() const { return *ChartView; }

    // Handlers.
    void ButtonRunClick();
    void ButtonCancelClick();
    void ButtonSaveChartClick();
    void ButtonExportClick();
    void CheckBoxSecondClick();
    void TimerProgressTimer();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct AxisControls {
        QComboBox* input = nullptr;
        QLineEdit* from = nullptr;
        QLineEdit* to = nullptr;
        QSpinBox* points = nullptr;
        QCheckBox* log = nullptr;
    };

    void buildControls();
    void wireControls();
    AxisControls makeAxis(int number);
    std::optional<SweepSetup> readSetup(const Worksheet& sheet, std::string& fault) const;
    std::optional<SweepAxis> readAxis(const AxisControls& axis, const QString& which,
                                      std::string& fault) const;
    void finish();
    void showRunning(bool running);

    const Session& session_;
    UserInteraction& interaction_;
    Worksheet sheet_;  // the copy the last sweep started from
    std::unique_ptr<SweepRunner> runner_;
    // What the study's thread leaves: the points and their chart.
    using Finished = std::pair<SweepResults, Plot>;
    std::optional<Finished> finished_;
    StudyJob job_;
    SweepTableModel* model_ = nullptr;

    AxisControls axes_[kMaxSweepAxes];
    QCheckBox* CheckBoxSecond = nullptr;
    QListWidget* ListOutputs = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonRun = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarSweep = nullptr;
    QLabel* LabelFailed = nullptr;
    QTableView* TableResults = nullptr;
    PlotView* ChartView = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTimer* TimerProgress = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
