#pragma once

#include <QStringList>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "charts/SweepPlot.h"
#include "charts/TrajectoryPlot.h"
#include "engine/Worksheet.h"
#include "studies/Sweep.h"
#include "studywindows/StudyWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;

namespace quantaro {

// The memory a sweep's results may take in the window: a sweep whose points'
// numbers would take more is refused before it runs, and one whose texts
// (messages, values that are no numbers) outgrow it stops there, keeping
// the points before.
inline constexpr std::size_t kSweepWindowResultBytes = std::size_t{1} << 30;

class SweepTableModel;

// The Sweep window: the results of the formula over a range of one or two
// inputs, as a table and a chart. The points run on every core, on a copy
// of the session's worksheet taken when the sweep starts, so no document
// changes; the window stays responsive and Cancel keeps the points run.
// Once the worksheet changes, the window says that its results are from
// before, and which change, until the next Run.
//
// The session must outlive the window.
class TFormSweep : public StudyWindow {
    Q_OBJECT

  public:
    TFormSweep(const Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormSweep() override;

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void refresh() override;
    // The results shown, those of the last sweep.
    const SweepResults& results() const;
    const PlotView& chart() const { return *ChartView; }
    // The budget of the results, kSweepWindowResultBytes unless changed.
    void setResultBudget(std::size_t bytes) { resultBudget_ = bytes; }

    // Handlers.
    void ButtonRunClick();
    void CheckBoxSecondClick();
    void ComboChartChange();

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
    void studyFinished() override;
    void worksheetChanged() override { showNotes(); }
    bool hasResults() const override;
    QString chartTitle() const override;
    std::optional<QString> saveCsv(const QString& path) const override;
    std::optional<ReplayCommand> replayCommand(QString& fault) const override;
    void showChart(const Plot& plot);
    void fillLegend();
    void showNotes();
    SweepChartSource chartSource() const;

    const Session& session_;
    Worksheet sheet_;  // the copy the last sweep started from
    std::unique_ptr<SweepRunner> runner_;
    // What the study's thread leaves: the points, their charts and the
    // first chart's plot, when it could be drawn.
    struct Finished {
        SweepResults results;
        std::vector<SweepChart> charts;
        std::optional<Plot> plot;
    };
    std::optional<Finished> finished_;
    SweepTableModel* model_ = nullptr;
    std::vector<SweepChart> charts_;  // of the results shown
    QStringList warnings_;            // of the last sweep's setup
    std::size_t resultBudget_ = kSweepWindowResultBytes;

    AxisControls axes_[kMaxSweepAxes];
    QCheckBox* CheckBoxSecond = nullptr;
    QListWidget* ListOutputs = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonRun = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarSweep = nullptr;
    QLabel* LabelFailed = nullptr;
    QLabel* LabelNotes = nullptr;
    QTableView* TableResults = nullptr;
    QComboBox* ComboChart = nullptr;
    PlotView* ChartView = nullptr;
    QListWidget* ListLegend = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonCopyCommand = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace quantaro
