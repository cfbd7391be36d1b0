#pragma once

#include <optional>
#include <span>

#include "studies/GoalSeek.h"
#include "studywindows/StudyWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quantaro {

// The Goal Seek window: "Set RESULT to TARGET by changing INPUT". The search
// runs on a thread of its own over a copy of the session's worksheet, so
// nothing changes until the user stores the value found: then INPUT's value
// cell takes its text, as an inline edit writes it, and the formula runs so
// the tables show the solution. A change of the worksheet after the search
// withdraws Store, as the value no longer answers the question, and the
// window says which change.
//
// The session must outlive the window.
class TFormGoalSeek : public StudyWindow {
    Q_OBJECT

  public:
    TFormGoalSeek(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormGoalSeek() override;

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    void refresh() override;

    // Handlers.
    void ButtonSeekClick();
    void CheckBoxIntervalClick();

  private:
    void buildControls();
    std::optional<SeekSetup> readSetup(QString& fault) const;
    void showProgress(std::uint64_t done) override;
    void studyFinished() override;
    void worksheetChanged() override;
    std::optional<ReplayCommand> replayCommand(QString& fault) const override;
    bool hasResultToStore() const override;
    std::optional<QString> storeResult() override;
    void resultStored() override;
    void showOutcome(const QString& outcome);

    Session& session_;
    SeekSetup setup_;                  // of the last search
    std::optional<InputCell> cell_;    // INPUT's cell in the tables then
    std::optional<SeekResult> found_;  // written by the study's thread
    QString outcome_;                  // what the last search found, in words

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
    QPushButton* ButtonCopyCommand = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace quantaro
