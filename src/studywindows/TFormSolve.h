#pragma once

#include <optional>
#include <span>
#include <vector>

#include "studies/Solve.h"
#include "studywindows/StudyWindow.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace quantaro {

class ResultTableModel;

// The Solve window: "Make R1 = T1, ..., Rm = Tm by changing I1, ..., In",
// each input between optional bounds. The search runs on a thread of its
// own over a copy of the worksheet, so nothing changes until Store: then
// each input's value cell takes its value's text and the formula runs. A
// change of the worksheet after the search withdraws Store.
//
// The session must outlive the window.
class TFormSolve : public StudyWindow {
    Q_OBJECT

  public:
    TFormSolve(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormSolve() override;

    static std::span<const ControlEntry> Layout();

    void refresh() override {}

    // Handlers.
    void ButtonSolveClick();

  private:
    void buildControls();
    std::optional<SolveSetup> readSetup(QString& fault) const;
    void showProgress(std::uint64_t done) override;
    void studyFinished() override;
    void worksheetChanged() override;
    std::optional<ReplayCommand> replayCommand(QString& fault) const override;
    bool hasResultToStore() const override;
    std::optional<QString> storeResult() override;
    void resultStored() override;
    bool hasResults() const override;
    QString chartTitle() const override;
    std::optional<QString> saveCsv(const QString& path) const override;
    void showOutcome(const QString& outcome);

    Session& session_;
    SolveSetup setup_;              // of the last search
    std::vector<InputCell> cells_;  // the inputs' cells then
    std::optional<SolveResult> found_;
    bool storable_ = false;
    QString outcome_;
    ResultTableModel* model_ = nullptr;

    QTableWidget* GridTargets = nullptr;
    QTableWidget* GridInputs = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonSolve = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarSolve = nullptr;
    QLabel* LabelOutcome = nullptr;
    QTableView* TableResults = nullptr;
    PlotView* ChartView = nullptr;
    QPushButton* ButtonStore = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonCopyCommand = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace quantaro
