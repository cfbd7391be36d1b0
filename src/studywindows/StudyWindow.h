#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>

#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"
#include "session/ReplayCommand.h"
#include "studywindows/StaleResults.h"
#include "studywindows/StudyJob.h"

class QAbstractItemModel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace quantaro {

class PlotView;
class Session;
class UserInteraction;

// What every study's window has in common. The window makes its controls,
// names the shared ones in StudyButtons and calls setUpStudyControls(); from
// then on this class gives the controls their texts, hints and help context
// from the window's table, runs the study on a thread of its own with
// progress and Cancel, saves the chart, exports the results, withdraws
// Store once the worksheet changes, and places the window beside the main
// window. The window itself reads its setup, starts the study and shows what
// it found.
//
// The session must outlive the window.
class StudyWindow : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    ~StudyWindow() override;

    void setHintsShown(bool shown) override;

    // Offers the worksheet's names as they are now; the session's changes of
    // names and rows call it again.
    virtual void refresh() = 0;
    bool running() const { return job_.running(); }
    // Whether Store would write the study's result into the tables.
    bool canStore() const;
    // Shows the window with the names of now; a hidden one goes first beside
    // main, covering the least of the others.
    void showBeside(const QWidget* main, std::initializer_list<const QWidget*> others);

  protected:
    // The controls the base looks after; a window without a chart, a table
    // or a result to store leaves those out.
    struct StudyButtons {
        QPushButton* run = nullptr;  // the window wires it to its own handler
        QPushButton* cancel = nullptr;
        QPushButton* close = nullptr;
        QProgressBar* progress = nullptr;
        QPushButton* store = nullptr;
        QPushButton* saveChart = nullptr;
        PlotView* chart = nullptr;
        QPushButton* exportCsv = nullptr;
        QPushButton* copyCommand = nullptr;  // Copy as Command
        // The files offered to Save Chart and Export: "sweep" offers sweep.png and sweep.csv.
        QString fileStem{};
    };

    // The window named name, titled as its entry in layout says.
    StudyWindow(const Session& session, UserInteraction& interaction,
                std::span<const ControlEntry> layout, const char* name, QWidget* parent);

    // Once the window's controls are made: gives each its text, hint, help
    // context and accessible name from the table and wires the shared ones.
    void setUpStudyControls(const StudyButtons& buttons);
    // A progress bar and a results table as every study shows them.
    QProgressBar* makeProgressBar(const char* name);
    QTableView* makeResultsTable(QAbstractItemModel* model, const char* name);

    // Whether a new study may start: none is running, and the last one's
    // thread has ended, so that what it read may be replaced.
    bool readyToStart();
    // Runs the study on its thread, clearing the stale-result rule; total is
    // the steps the progress bar counts up to.
    void startStudy(std::function<void(StudyControl&)> study, std::uint64_t total = 0);
    void showProgressOf(std::uint64_t done);
    // Cancels a running study and waits for it. Every derived window's
    // destructor calls it first: a study writes what it found into the
    // derived window's members, which go before the base's job does.
    void stopStudy();
    const StudyJob& job() const { return job_; }
    StaleResults& stale() { return stale_; }
    const StaleResults& stale() const { return stale_; }
    UserInteraction& interaction() const { return interaction_; }

    // Enables Run, Cancel, Store, Save Chart and Export for a running study
    // or a finished one.
    virtual void showRunning(bool running);
    // Each progress tick while the study runs.
    virtual void showProgress(std::uint64_t done);
    // Once the study has ended and its thread is done: it shows what the study left.
    virtual void studyFinished() = 0;
    // A change of the worksheet after the study began; Store is already withdrawn.
    virtual void worksheetChanged() = 0;
    // Whether the window has a result to store, and what Store writes:
    // a fault to show, if any, and then resultStored().
    virtual bool hasResultToStore() const { return false; }
    virtual std::optional<QString> storeResult() { return std::nullopt; }
    virtual void resultStored() {}
    // Whether there are results to chart and export, the chart's title and
    // the results' CSV file; a failure to write is given back in words.
    virtual bool hasResults() const { return false; }
    virtual QString chartTitle() const { return QString(); }
    virtual std::optional<QString> saveCsv(const QString& path) const;
    // The batch runner's options that run the last study again, its files
    // left out; nothing, with the reason in fault, before the first run.
    virtual std::optional<ReplayCommand> replayCommand(QString& fault) const;

  public:
    // The command line Copy as Command puts on the clipboard; nothing, with
    // the reason in fault, when the saved files would not give this study's
    // results.
    std::optional<QString> commandLine(QString& fault) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void progressTick();
    void onWorksheetChanged();
    void store();
    void saveChart();
    void exportCsv();
    void copyCommand();

    const Session& session_;
    UserInteraction& interaction_;
    std::span<const ControlEntry> layout_;
    StudyButtons buttons_;
    QTimer* timer_ = nullptr;
    std::uint64_t total_ = 0;  // of the progress bar
    StudyJob job_;
    StaleResults stale_;
    bool studied_ = false;                       // a study has started
    bool storedSinceStudy_ = false;              // Store has changed the tables since
    AngleUnit studyAngle_ = AngleUnit::Degrees;  // the last study's
    HintSet hints_;
};

}  // namespace quantaro
