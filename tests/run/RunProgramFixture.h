#pragma once

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <string>

#include "DesktopProgramFixture.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormSelectEquation.h"
#include "tables/TFormVariables.h"
#include "ui/FormulaEditor.h"

namespace quantaro::testing {

// The desktop program with helpers for the run commands and the loop window.
class RunProgramTest : public DesktopProgramFixture {
  protected:
    TFormLoopSelect& loop() { return program->loopWindow(); }
    TFormSelectEquation& selectEquation() { return program->selectEquation(); }

    QAction* action(const char* name) { return child<QAction>(main(), name); }
    QLineEdit* loopEdit(const char* name) { return child<QLineEdit>(loop(), name); }
    QSpinBox* loopSpin(const char* name) { return child<QSpinBox>(loop(), name); }
    QPushButton* loopButton(const char* name) { return child<QPushButton>(loop(), name); }

    void setFormula(const char* text) {
        main().formulaEditor().setFormulaText(QString::fromUtf8(text));
    }
    void setVariable(int row, const char* name, const char* value) {
        session().setCell(Document::Variables, NameColumn, row, name);
        session().setCell(Document::Variables, ValueColumn, row, value);
    }
    std::string value(int row) { return session().variables().value(row); }
    bool variablesChanged() { return session().documents().isChanged(Document::Variables); }
    void setOption(const char* name, bool checked) { action(name)->setChecked(checked); }

    QString completedLoops() { return loopEdit("EditCompleteLoops")->text(); }
    void setLoops(const char* text) { loopEdit("EditLoops")->setText(QString::fromUtf8(text)); }

    // Lets the loop's timer tick until the loop is idle again; generous, for
    // the sanitizer build.
    void waitUntilIdle() {
        QElapsedTimer waited;
        waited.start();
        while ((!loop().loopStopped() || loop().timerEnabled()) && waited.elapsed() < 120000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        ASSERT_TRUE(loop().loopStopped());
        ASSERT_FALSE(loop().timerEnabled());
    }

    // Clicks Start and waits for the loop to end.
    void runLoop() {
        loopButton("ButtonStart")->click();
        waitUntilIdle();
    }
};

}  // namespace quantaro::testing
