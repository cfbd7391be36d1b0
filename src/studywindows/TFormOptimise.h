#pragma once

#include <optional>
#include <span>
#include <vector>

#include "studies/Optimise.h"
#include "studywindows/StudyWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace quantaro {

class ResultTableModel;

// The Optimise window: "Minimise | Maximise R by changing I1..In, each
// between LOi and HIi, subject to C1 <= | >= | = V1, ...", from the inputs'
// values or from several starts. It runs on a thread of its own over a
// copy of the worksheet; nothing changes until Store, as in Solve.
//
// The session must outlive the window.
class TFormOptimise : public StudyWindow {
    Q_OBJECT

  public:
    TFormOptimise(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormOptimise() override;

    static std::span<const ControlEntry> Layout();

    void refresh() override;

    // Handlers.
    void ButtonOptimiseClick();

  private:
    void buildControls();
    std::optional<OptimiseSetup> readSetup(QString& fault) const;
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
    OptimiseSetup setup_;
    std::vector<InputCell> cells_;
    std::optional<OptimiseResult> found_;
    bool storable_ = false;
    QString outcome_;
    ResultTableModel* model_ = nullptr;

    QComboBox* ComboSense = nullptr;
    QComboBox* ComboObjective = nullptr;
    QTableWidget* GridInputs = nullptr;
    QTableWidget* GridConstraints = nullptr;
    QSpinBox* SpinEditStarts = nullptr;
    QLineEdit* EditSeed = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonOptimise = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarOptimise = nullptr;
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
