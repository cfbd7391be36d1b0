#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>
#include <span>

#include "documents/DocumentState.h"
#include "interaction/ControlTable.h"
#include "interaction/HintSet.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace quantaro {

class DocumentCommands;
class FormulaCompletion;
class FormulaEditor;
class FormulaHighlighter;
class NameTableModel;
class OperatorTableModel;
class PrintCommands;
class RecentWorksheetsMenu;
class RunControl;
class Session;
class TFormExplain;
class TFormFit;
class TFormGoalSeek;
class TFormCheckUnits;
class FormulaUnitMarks;
class TFormOptimise;
class TFormSolve;
class TFormUncertainty;
class TFormSweep;
class TFormHelpAbout;
class TFormLoopSelect;
class TFormSelectEquation;
class UserInteraction;
class VariableValueEditor;

// The main window: shows the session's three tables, its formula in the
// editor with the buttons that feed it, and its angle unit; the menus,
// hints and help. It passes the user's commands on to the session and the
// commands that work on it, and follows the session's signals.
class TFormCalculator : public QMainWindow, public HintTarget {
    Q_OBJECT

  public:
    // The session and the interaction must outlive the window. The boxes
    // the session's runs call for show over this window.
    TFormCalculator(Session& session, UserInteraction& interaction, QWidget* parent = nullptr);
    ~TFormCalculator() override;

    // The window and its controls, each with its text, hint, help context
    // and classic place.
    static std::span<const ControlEntry> Layout();

    // The windows that the Constants and Variables commands and the About
    // item show, created after this one.
    void setEntryScreens(QWidget* constants, QWidget* variables);
    void setAboutBox(TFormHelpAbout* about);
    // The windows of the Run menu, created last.
    void setRunWindows(TFormSelectEquation* selectEquation, TFormLoopSelect* loop);
    // Gives the window the size and place it had when it last closed; false
    // when none was kept.
    bool restorePlacement();

    void setHintsShown(bool shown) override;

    Session& session() { return session_; }
    DocumentCommands& documentCommands() { return *documentCommands_; }
    PrintCommands& printCommands() { return *printCommands_; }
    RunControl& runControl() { return *runControl_; }
    FormulaEditor& formulaEditor() { return *formulaEditor_; }
    FormulaUnitMarks& formulaUnitMarks() { return *formulaUnitMarks_; }
    TFormCheckUnits* checkUnitsWindow() const { return checkUnitsWindow_; }
    FormulaHighlighter& formulaHighlighter() { return *formulaHighlighter_; }
    FormulaCompletion& formulaCompletion() { return *formulaCompletion_; }

    // Handlers.
    void ShowHintsNow();
    void Showhints1Click();
    void Options1Click();
    void File1Click();
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Print1Click();
    void RadioButtonDegreesClick();
    void RadioButtonRadiansClick();
    void Constants1Click();
    void Variables1Click();
    // Run menu: Trajectory shows the window that plots the loop's history.
    void Trajectory1Click();
    // Run menu: Explain Equations shows each step of a run of the formula,
    // made on a copy of the tables.
    void ExplainEquations1Click();
    // Run menu: Sweep and Goal Seek show the what-if studies' windows, which
    // work on copies of the worksheet.
    void Sweep1Click();
    void GoalSeek1Click();
    // Run menu: Check Units lists the units check's findings; choosing one
    // puts the editor's cursor on its step.
    void CheckUnits1Click();
    TFormSweep* sweepWindow() const { return sweepWindow_; }
    TFormGoalSeek* goalSeekWindow() const { return goalSeekWindow_; }
    // Run menu: Uncertainty shows how uncertain the results are, worked out
    // on a copy of the worksheet.
    void Uncertainty1Click();
    TFormUncertainty* uncertaintyWindow() const { return uncertaintyWindow_; }
    // Run menu: Solve and Optimise, the studies of several inputs at once.
    void Solve1Click();
    void Optimise1Click();
    TFormSolve* solveWindow() const { return solveWindow_; }
    TFormOptimise* optimiseWindow() const { return optimiseWindow_; }
    // Run menu: Fit estimates constants or variables from measured data.
    void Fit1Click();
    TFormFit* fitWindow() const { return fitWindow_; }
    void About1Click();
    void About2Click();
    void Exit1Click();
    void ButtonInsertOperatorClick();
    void ButtonInsertConstantClick();
    void ButtonInsertVariableClick();
    void TimerCreateTimer();

  signals:
    // The window has closed for good; the program ends.
    void closed();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    // Says, once in the window's life, why the user's settings cannot be
    // read, if they cannot.
    void reportUserSettingsProblem();
    // Whether the window may close; asks about unsaved documents.
    bool FormCloseQuery();
    // Shows one of the File menu's pop-up menus beside the File menu's item
    // that opens it.
    void PopUp(const char* menu, const char* fileItem);

    void buildControls();
    void buildFormulaEditor(QWidget* client);
    void wireControls();
    void followSession();
    QString selectedName(const QTableView* grid) const;
    NameTableModel* model(Document table) const;
    QTableView* grid(Document table) const;

    Session& session_;
    UserInteraction& interaction_;
    bool userSettingsProblemReported_ = false;

    OperatorTableModel* operatorModel_ = nullptr;
    NameTableModel* constantModel_ = nullptr;
    NameTableModel* variableModel_ = nullptr;

    QTableView* StringGridOperators = nullptr;
    QTableView* StringGridConstants = nullptr;
    QTableView* StringGridVariables = nullptr;
    QPushButton* ButtonInsertOperator = nullptr;
    QPushButton* ButtonInsertConstant = nullptr;
    QPushButton* ButtonInsertVariable = nullptr;
    QPushButton* ButtonTransfer = nullptr;
    QPushButton* ButtonClear = nullptr;
    QPushButton* ButtonNewLine = nullptr;
    QRadioButton* RadioButtonDegrees = nullptr;
    QRadioButton* RadioButtonRadians = nullptr;
    QLineEdit* EditVariable = nullptr;
    QPlainTextEdit* MemoFormula = nullptr;
    QTimer* TimerCreate = nullptr;

    std::unique_ptr<DocumentCommands> documentCommands_;
    std::unique_ptr<RunControl> runControl_;
    std::unique_ptr<PrintCommands> printCommands_;
    // Destroyed before the controls they watch.
    std::unique_ptr<FormulaEditor> formulaEditor_;
    std::unique_ptr<FormulaCompletion> formulaCompletion_;
    FormulaHighlighter* formulaHighlighter_ = nullptr;  // owned by MemoFormula
    FormulaUnitMarks* formulaUnitMarks_ = nullptr;      // owned by MemoFormula
    std::unique_ptr<VariableValueEditor> variableValueEditor_;
    RecentWorksheetsMenu* recentMenu_ = nullptr;  // owned by its menu
    HintSet hints_;
    QWidget* constantScreen_ = nullptr;
    QWidget* variableScreen_ = nullptr;
    TFormHelpAbout* aboutBox_ = nullptr;
    TFormLoopSelect* loopWindow_ = nullptr;
    TFormExplain* explainWindow_ = nullptr;          // created when first shown
    TFormSweep* sweepWindow_ = nullptr;              // created when first shown
    TFormGoalSeek* goalSeekWindow_ = nullptr;        // created when first shown
    TFormCheckUnits* checkUnitsWindow_ = nullptr;    // created when first shown
    TFormSolve* solveWindow_ = nullptr;              // created when first shown
    TFormOptimise* optimiseWindow_ = nullptr;        // created when first shown
    TFormUncertainty* uncertaintyWindow_ = nullptr;  // created when first shown
    TFormFit* fitWindow_ = nullptr;                  // created when first shown
};

}  // namespace quantaro
