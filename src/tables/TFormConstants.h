#pragma once

#include "tables/EntryScreen.h"

namespace quantaro {

// The editor of the constant table, with the Pi and e buttons that add the
// two best-known constants.
class TFormConstants : public EntryScreen {
    Q_OBJECT

  public:
    TFormConstants(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);

    QTableView* const StringGridConstantsEntry;
    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const Label3;
    QLineEdit* const EditConstantName;
    QLineEdit* const EditConstantValue;
    QLineEdit* const EditConstantUnit;
    QPushButton* const ButtonPi;
    QPushButton* const ButtonE;
    QPushButton* const ButtonConstantAdd;
    QPushButton* const ButtonInsertConstant;
    QPushButton* const ButtonConstantChange;
    QPushButton* const ButtonConstantRemove;
    QPushButton* const ButtonOK;
    QPushButton* const ButtonCancel;

    void StringGridConstantsEntryClick() { gridClick(); }
    void ButtonConstantAddClick() { addClick(); }
    void ButtonInsertConstantClick() { insertClick(); }
    void ButtonConstantChangeClick() { changeClick(); }
    void ButtonConstantRemoveClick() { removeClick(); }
    void ButtonPiClick();
    void ButtonEClick();
    bool EditConstantNameKeyPress(QKeyEvent& key) { return nameKeyPress(key); }
    bool EditConstantValueKeyPress(QKeyEvent& key) { return valueKeyPress(key); }
    bool EditConstantUnitKeyPress(QKeyEvent& key) { return unitsKeyPress(key); }
    void BitBtn1Click() { okClick(); }
    void BitBtn2Click() { cancelClick(); }

  private:
    static Setup ScreenSetup();
    // Puts a well-known constant into the edits and adds it.
    void addKnownConstant(const QString& name, long double value);
};

}  // namespace quantaro
