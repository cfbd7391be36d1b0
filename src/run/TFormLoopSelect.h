#pragma once

#include <QWidget>

#include <cstdint>
#include <span>

#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

namespace quantaro {

class ContinuousLoop;
class Session;
class TFormTrajectory;
class Trajectory;
class UserInteraction;

// The continuous loop window: the controls of the session's continuous loop,
// which runs the formula pass after pass up to a number of loops set as a
// mantissa times a power of ten, with start, stop, reset, single step, a
// progress display and the choice of the variables recorded.
class TFormLoopSelect : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    TFormLoopSelect(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void setHintsShown(bool shown) override;

    bool loopStopped() const;
    bool timerEnabled() const;
    std::int64_t loopCounter() const;
    std::int32_t loopEquation() const;
    // The history of the recorded variables; the same object all along.
    const Trajectory& trajectory() const;
    // Shows the window that plots the history, made the first time and
    // placed beside the main window, or beside this one while none is set.
    void showTrajectoryWindow();
    void setMainWindow(const QWidget* window) { mainWindow_ = window; }

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
    void ListRecordItemChanged(QListWidgetItem* item);
    void ButtonTrajectoryClick() { showTrajectoryWindow(); }

  protected:
    // The title bar's close button does what Cancel does, so that no loop
    // goes on running unseen.
    void closeEvent(QCloseEvent* event) override;
    // While the window is shown, the list of variables to record follows the
    // table's names.
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void wireControls();

    // The completed loops alone, and with the recording after passes.
    void showCompletedCount();
    void showProgress();
    void showError(const QString& text);
    void refreshRecordList();
    void showRecordedCount();

    Session& session_;
    ContinuousLoop& loop_;
    UserInteraction& interaction_;
    const QWidget* mainWindow_ = nullptr;

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
    HintSet hints_;
    bool hintsShown_ = false;
    TFormTrajectory* trajectoryWindow_ = nullptr;  // a child window, made when first shown
};

}  // namespace quantaro
