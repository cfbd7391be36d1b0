#pragma once

#include <optional>
#include <span>

#include "studies/DataCsv.h"
#include "studies/Fit.h"
#include "studywindows/StudyWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace quantaro {

class ResultTableModel;

// The Fit window: the constants or variables ticked are estimated from a
// CSV file of measurements. Each column of the file stands for something
// (a cell typed in before each row's run, a result compared with it, the
// loop pass, a weight or a sigma); a column named as a row of the tables is
// mapped to it when the file is read. The fit runs on a thread of its own
// over a copy of the worksheet, so nothing changes until Store writes the
// parameters into their cells and runs the formula once.
//
// The session must outlive the window.
class TFormFit : public StudyWindow {
    Q_OBJECT

  public:
    TFormFit(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormFit() override;

    static std::span<const ControlEntry> Layout();

    void refresh() override;

    // Handlers.
    void ButtonBrowseClick();
    void ButtonFitClick();
    void ComboChartChange();

    // Reads a data file as Browse does once the file is chosen; false, with
    // the fault shown, when it cannot be read.
    bool loadData(const QString& path);

  private:
    void buildControls();
    void fillColumns();
    std::optional<FitSetup> readSetup(QString& fault) const;
    void showRunning(bool running) override;
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
    DataTable data_;                   // of the file read
    DataTable fitData_;                // of the last fit
    QString fitDataFile_;              // which it was read from
    FitSetup setup_;                   // of the last fit
    std::optional<FitResult> fitted_;  // written by the study's thread
    // Read on this thread only: whether there is a fit to store and to chart.
    bool storable_ = false;
    bool charted_ = false;
    QString outcome_;
    ResultTableModel* model_ = nullptr;

    QLineEdit* EditDataFile = nullptr;
    QPushButton* ButtonBrowse = nullptr;
    QTableWidget* TableColumns = nullptr;
    QTableWidget* TableParameters = nullptr;
    QCheckBox* CheckBoxByPass = nullptr;
    QCheckBox* CheckBoxSkipRows = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonFit = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* ProgressBarFit = nullptr;
    QLabel* LabelOutcome = nullptr;
    QComboBox* ComboChart = nullptr;
    QComboBox* ComboAxis = nullptr;
    PlotView* ChartView = nullptr;
    QPushButton* ButtonStore = nullptr;
    QPushButton* ButtonSaveChart = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonCopyCommand = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace quantaro
