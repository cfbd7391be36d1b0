#pragma once

#include "tables/EntryScreen.h"

namespace quantaro {

// The editor of the variable table. Besides the constant screen's commands it
// has an edit mode: after a row of the grid is selected (changing mode) ENTER
// in the value or units edit stores into that row; otherwise (adding mode)
// ENTER in the units edit adds a new entry. The read-only EditMode shows it.
class TFormVariables : public EntryScreen {
    Q_OBJECT

  public:
    enum class Mode { Adding, Changing };

    TFormVariables(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }

    QTableView* const StringGridVariablesEntry;
    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const Label3;
    QLabel* const Label4;
    QLineEdit* const EditVariableName;
    QLineEdit* const EditVariableValue;
    QLineEdit* const EditVariableUnit;
    QPushButton* const ButtonVariableAdd;
    QPushButton* const ButtonInsertVariable;
    QPushButton* const ButtonVariableChange;
    QPushButton* const ButtonVariableRemove;
    QLineEdit* const EditMode;
    QPushButton* const ButtonOK;
    QPushButton* const ButtonCancel;

    void FormCreate();
    void StringGridVariablesEntryClick() { gridClick(); }
    void ButtonVariableAddClick() { addClick(); }
    void ButtonInsertVariableClick() { insertClick(); }
    void ButtonVariableChangeClick() { changeClick(); }
    void ButtonVariableRemoveClick() { removeClick(); }
    bool EditVariableNameKeyPress(QKeyEvent& key) { return nameKeyPress(key); }
    bool EditVariableValueKeyPress(QKeyEvent& key) { return valueKeyPress(key); }
    bool EditVariableUnitKeyPress(QKeyEvent& key) { return unitsKeyPress(key); }
    void ButtonOKClick() { okClick(); }
    void ButtonCancelClick() { cancelClick(); }
    // Shows the mode in EditMode, as drawing the grid did.
    void StringGridVariablesEntryDrawCell();
    // Green text for "ADDING", red for anything else.
    void EditModeChange();
    void EditVariableNameClick();

  protected:
    void afterShown() override;
    void beforeAddOrInsert() override;
    void afterGridSelection() override;
    void nameEditClicked() override;
    void valueEnterPressed() override;
    void unitsEnterPressed() override;

  private:
    static Setup ScreenSetup();
    void setMode(Mode mode);

    Mode mode_ = Mode::Adding;
};

}  // namespace quantaro
