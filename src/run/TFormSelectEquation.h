#pragma once

#include <QDialog>

#include <span>

#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"

class QPushButton;
class QSpinBox;

namespace quantaro {

// The modal dialog of "Test &One Equation": the number of the equation to
// run, 0 for all. Cancel (or Escape) sets the number back to 0; OK keeps it
// for the next time.
class TFormSelectEquation : public QDialog, public HintTarget {
    Q_OBJECT

  public:
    explicit TFormSelectEquation(QWidget* parent = nullptr);

    // The window and its controls, each with its text, hint and help context.
    static std::span<const ControlEntry> Layout();

    // Shows the dialog and waits for it to close; true when it closed with OK.
    bool choose();
    // The spin edit's number.
    int equationNumber() const;

    void setHintsShown(bool shown) override;

    void ButtonCancelClick();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QSpinBox* SpinEditEquation = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
