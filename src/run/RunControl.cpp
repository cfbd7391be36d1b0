#include "run/RunControl.h"

#include <QWidget>

#include "interaction/WindowLayout.h"
#include "run/TFormSelectEquation.h"
#include "session/ContinuousLoop.h"
#include "session/FormulaRuns.h"
#include "session/Session.h"

namespace quantaro {

void RunControl::setRunWindows(TFormSelectEquation* selectEquation, QWidget* loopWindow,
                               QWidget* variableScreen) {
    selectEquation_ = selectEquation;
    loopWindow_ = loopWindow;
    variableScreen_ = variableScreen;
}

void RunControl::ExecuteAllFormulas1Click() {
    session_.runs().runCommand(0);
    if (session_.options().showVariablesAfterExecuting) ShowWithoutModality(variableScreen_);
}

void RunControl::TestOneEquation1Click() {
    if (!selectEquation_ || !selectEquation_->choose()) return;
    session_.runs().runCommand(selectEquation_->equationNumber());
}

void RunControl::ContinuousLoop1Click() {
    // A window opened again goes beside the main window wherever that is now.
    if (loopWindow_ && loopWindow_->isHidden()) PlaceBeside(loopWindow_, mainWindow_);
    ShowWithoutModality(loopWindow_);
    session_.loop().shown();
}

}  // namespace quantaro
