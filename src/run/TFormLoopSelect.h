#pragma once

#include <QWidget>

#include <cstdint>

#include "interaction/HintSet.h"
#include "run/RunHost.h"

class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quantaro {

class RunControl;
class UserInteraction;

// The continuous loop window: runs the formula pass after pass, up to a number
// of loops set as a mantissa times a power of ten, with start, stop, reset,
// single step and a progress display.
//
// States: idle (stopped, timer off), running (not stopped, timer on) and
// paused (stopped, timer on: ticks do nothing until Start). Each tick runs
// passes back to back for up to a few milliseconds, so that the loop is not
// held to one pass per timer interval; a pass that stops the loop or shows a
// box ends the tick's batch.
class TFormLoopSelect : public QWidget, public HintTarget, public LoopSwitch {
    Q_OBJECT

  public:
    TFormLoopSelect(RunControl& run, UserInteraction& interaction, QWidget* parent = nullptr);

    // LoopSwitch
    void setTimerEnabled(bool enabled) override;
    void setLoopStopped() override { loopStopped_ = true; }

    void setHintsShown(bool shown) override;

    bool loopStopped() const { return loopStopped_; }
    bool timerEnabled() const;
    std::int64_t loopCounter() const { return loopCounter_; }
    std::int32_t loopEquation() const { return loopEquation_; }

    // Handlers.
    void FormCreate();
    void SpinEdit1Change();
    void ButtonStartClick();
    void ButtonStopClick();
    void ButtonResetClick();
    void ButtonStepClick();
    void SpinEditEquationChange();
    void BitBtnCancelClick();
    void Timer1Timer();

  protected:
    // The title bar's close button does what Cancel does, so that no loop
    // goes on running unseen.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void registerHints();
    void wireControls();

    // One pass of a tick; false when the batch must end.
    bool tickPass();
    // Runs the engine once and counts the pass; false on a floating-point fault.
    bool runPass();
    void showCompletedLoops();
    void stopIdle();

    RunControl& run_;
    UserInteraction& interaction_;

    // Wider than the 32-bit limit, so that the pass after the highest limit
    // still ends the loop.
    std::int64_t loopCounter_ = 1;
    bool loopStopped_ = true;
    std::int32_t loopEquation_ = 0;
    // The pass last counted, shown when the batch ends.
    std::int64_t completedLoops_ = 0;
    // Passes run by ticks, counted or not; a batch that ran one shows progress.
    std::uint64_t engineRuns_ = 0;

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
    QTimer* Timer1 = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
