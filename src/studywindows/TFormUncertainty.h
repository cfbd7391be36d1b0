#pragma once

#include <optional>
#include <span>
#include <vector>

#include "studies/MonteCarlo.h"
#include "studies/Uncertainty.h"
#include "studywindows/StudyWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace quantaro {

class ResultTableModel;
class UncertaintyChartView;

// The Uncertainty window: how uncertain the results are, given each input's
// standard uncertainty, by the first-order law, by Monte Carlo draws, or
// both side by side. The study runs on a thread of its own over a copy of
// the session's worksheet, on every core, and nothing in the documents
// changes. The results table shows each result's value and u, the draws'
// mean, deviation and intervals; the chart, each input's share of the chosen
// result's variance and the histogram of its draws.
//
// The session must outlive the window.
class TFormUncertainty : public StudyWindow {
    Q_OBJECT

  public:
    TFormUncertainty(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormUncertainty() override;

    static std::span<const ControlEntry> Layout();

    void refresh() override;

    // Handlers.
    void ButtonAddClick();
    void ButtonRemoveClick();
    void ButtonRunClick();
    void ComboChartChange();
    void ButtonExportDrawsClick();

    // What the last study found, for its tests.
    const ResultTable& results() const;

  private:
    void buildControls();
    void showInputs();
    std::optional<UncertaintySetup> readSetup(QString& fault) const;
    void showRunning(bool running) override;
    void studyFinished() override;
    void worksheetChanged() override;
    std::optional<ReplayCommand> replayCommand(QString& fault) const override;
    bool hasResults() const override;
    QString chartTitle() const override;
    std::optional<QString> saveCsv(const QString& path) const override;
    void showCharts();

    Session& session_;
    std::vector<UncertainInput> inputs_;
    // Written by the study's thread, read once it has finished.
    UncertaintyPlan plan_;
    std::uint64_t seed_ = 1;
    std::optional<std::uint64_t> drawsAsked_;  // by the last run, when it drew
    std::optional<FirstOrderBudget> budget_;
    std::optional<MonteCarloDraws> draws_;
    std::vector<DrawSummary> summaries_;  // one per result
    ResultTableModel* model_ = nullptr;

    QComboBox* ComboInput = nullptr;
    QLineEdit* EditU = nullptr;
    QComboBox* ComboDistribution = nullptr;
    QPushButton* ButtonAdd = nullptr;
    QTableWidget* TableInputs = nullptr;
    QPushButton* ButtonRemove = nullptr;
    QListWidget* ListResults = nullptr;
    QRadioButton* RadioFirstOrder = nullptr;
    QRadioButton* RadioMonteCarlo = nullptr;
    QRadioButton* RadioBoth = nullptr;
    QSpinBox* SpinEditDraws = nullptr;
    QLineEdit* EditSeed = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonRun = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarDraws = nullptr;
    QLabel* LabelOutcome = nullptr;
    QTableView* TableResults = nullptr;
    QComboBox* ComboChart = nullptr;
    UncertaintyChartView* ChartView = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonExportDraws = nullptr;
    QPushButton* ButtonCopyCommand = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace quantaro
