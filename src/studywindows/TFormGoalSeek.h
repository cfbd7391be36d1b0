#pragma once

#include <QWidget>

#include <optional>
#include <span>

#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"
#include "studies/GoalSeek.h"
#include "studywindows/StaleResults.h"
#include "studywindows/StudyJob.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quantaro {

class Session;
class UserInteraction;

// The Goal Seek window: "Set RESULT to TARGET by changing INPUT". The search
// runs on a thread of its own over a copy of the session's worksheet, so
// nothing changes until the user stores the value found: then INPUT's value
// cell takes its text, as an inline edit writes it, and the formula runs so
// the tables show the solution. A change of the worksheet after the search
// withdraws Store, as the value no longer answers the question, and the
// window says which change.
//
// The session must outlive the window.
class TFormGoalSeek : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    TFormGoalSeek(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormGoalSeek() override;

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void setHintsShown(bool shown) override;

    // Offers the worksheet's names as they are now; the session's changes of
    // names and rows call it again.
    void refresh();
    bool running() const { return job_.running(); }
    // Whether Store would write the value found.
    bool canStore() const;

    // Handlers.
    void ButtonSeekClick();
    void ButtonCancelClick();
    void ButtonStoreClick();
    void CheckBoxIntervalClick();
    void TimerProgressTimer();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void wireControls();
    std::optional<SeekSetup> readSetup(QString& fault) const;
    void finish();
    void showRunning(bool running);
    void showOutcome(const QString& outcome);
    void worksheetChanged();

    Session& session_;
    UserInteraction& interaction_;
    SeekSetup setup_;                  // of the last search
    std::optional<InputCell> cell_;    // INPUT's cell in the tables then
    std::optional<SeekResult> found_;  // written by the study's thread
    StaleResults stale_;               // the worksheet's changes since the search began
    QString outcome_;                  // what the last search found, in words
    StudyJob job_;

    QComboBox* ComboResult = nullptr;
    QLineEdit* EditTarget = nullptr;
    QComboBox* ComboInput = nullptr;
    QCheckBox* CheckBoxInterval = nullptr;
    QLineEdit* EditLow = nullptr;
    QLineEdit* EditHigh = nullptr;
    QSpinBox* SpinEditEquation = nullptr;
    QSpinBox* SpinEditPasses = nullptr;
    QPushButton* ButtonSeek = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QLabel* LabelOutcome = nullptr;
    QPushButton* ButtonStore = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTimer* TimerProgress = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
