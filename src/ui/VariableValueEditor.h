#pragma once

#include <QObject>

class QLineEdit;
class QTableView;
class QWidget;

namespace quantaro {

class NameTableModel;
class Session;
class UserInteraction;

// The two shortcuts that change a variable's value without the variable
// entry screen: the inline editor EditVariable over the value cell of the
// variable grid's selected row, and
// Transfer Const, which copies the selected constant's value into the
// selected variable. Both write only the value column, always into the row
// selected at the moment of the write, through the session.
class VariableValueEditor : public QObject {
    Q_OBJECT

  public:
    struct Grids {
        QTableView* constants;
        const NameTableModel& constantModel;
        QTableView* variables;
        const NameTableModel& variableModel;
    };

    VariableValueEditor(QLineEdit* editVariable, Grids grids, Session& session,
                        UserInteraction& interaction, QWidget* owner);

    void StringGridVariablesClick();
    void EditVariableChange(const QString& text);
    void EditVariableExit();
    void ButtonTransferClick();

    // Closes the editor without writing: the rows it was opened on have been
    // replaced, so what it shows belongs to no row of the table any more.
    void dismiss();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int selectedVariableRow() const;
    void placeOverSelectedRow();
    void writeValue(int row, const QString& text);

    QLineEdit* edit_;
    Grids grids_;
    Session& session_;
    UserInteraction& interaction_;
    QWidget* owner_;
    bool committing_ = false;
};

}  // namespace quantaro
