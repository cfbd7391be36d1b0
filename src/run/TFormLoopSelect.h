#pragma once

#include <QWidget>

#include <cstdint>

#include "interaction/HintSet.h"
#include "run/LoopRunner.h"
#include "run/TrajectoryRecorder.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quantaro {

class RunControl;
class TFormTrajectory;
class UserInteraction;

// The continuous loop window: the controls of a LoopRunner, which runs the
// formula pass after pass up to a number of loops set as a mantissa times a
// power of ten, with start, stop, reset, single step and a progress display.
// The window's timer drives the runner.
class TFormLoopSelect : public QWidget, public HintTarget, private LoopTimer {
    Q_OBJECT

  public:
    TFormLoopSelect(RunControl& run, UserInteraction& interaction, QWidget* parent = nullptr);

    // What runs switch: the loop's timer and stop flag.
    LoopSwitch& loopSwitch() { return runner_; }

    void setHintsShown(bool shown) override;

    bool loopStopped() const { return runner_.stopped(); }
    bool timerEnabled() const { return runner_.timerEnabled(); }
    std::int64_t loopCounter() const { return runner_.counter(); }
    std::int32_t loopEquation() const { return runner_.equation(); }
    // The history of the recorded variables; the same object all along.
    const Trajectory& trajectory() const { return recorder_.trajectory(); }
    // Shows the window that plots the history, made the first time and
    // placed beside the main window.
    void showTrajectoryWindow();
    void setMainWindow(const QWidget* mainWindow) { mainWindow_ = mainWindow; }

    // Handlers.
    void FormCreate();
    void SpinEdit1Change();
    void EditLoopsChange();
    void ButtonStartClick();
    void ButtonStopClick();
    void ButtonResetClick();
    void ButtonStepClick();
    void SpinEditEquationChange();
    void BitBtnCancelClick();
    void Timer1Timer();
    void ListRecordItemChanged(QListWidgetItem* item);
    void ButtonTrajectoryClick() { showTrajectoryWindow(); }

  protected:
    // The title bar's close button does what Cancel does, so that no loop
    // goes on running unseen.
    void closeEvent(QCloseEvent* event) override;
    // While the window is shown, the list of variables to record follows the
    // table's names.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildControls();
    void registerHints();
    void wireControls();

    // LoopTimer: Timer1.
    void setActive(bool active) override;
    bool active() const override;

    // The completed loops alone, and with the variables' values after passes.
    void showCompletedCount();
    void showProgress();
    void showError(const std::string& text);
    void refreshRecordList();
    void showRecordedCount();

    RunControl& run_;
    UserInteraction& interaction_;
    LoopRunner runner_;
    TrajectoryRecorder recorder_;
    std::uint64_t recordListStamp_ = 0;  // the table's names the list shows

    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QLineEdit* EditLoops = nullptr;
    QLineEdit* EditCompleteLoops = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonStop = nullptr;
    QPushButton* ButtonReset = nullptr;
    QPushButton* ButtonStep = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QListWidget* ListRecord = nullptr;
    QLabel* LabelRecorded = nullptr;
    QPushButton* ButtonTrajectory = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* TimerNames = nullptr;
    HintSet hints_;
    bool hintsShown_ = false;
    TFormTrajectory* trajectoryWindow_ = nullptr;  // a child window, made when first shown
    const QWidget* mainWindow_ = nullptr;
};

}  // namespace quantaro
