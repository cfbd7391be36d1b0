#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

#include "commands/DocumentCommands.h"
#include "commands/DocumentCommandsHost.h"
#include "documents/DocumentState.h"
#include "engine/AngleUnit.h"
#include "engine/NameTable.h"
#include "engine/Worksheet.h"
#include "interaction/HelpFiles.h"
#include "interaction/HintSet.h"
#include "run/RunHost.h"
#include "tables/EntryScreenHost.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace quantaro {

class FormulaCompletion;
class FormulaEditor;
class FormulaHighlighter;
class NameTableModel;
class PrintCommands;
class RecentWorksheetsMenu;
class RunControl;
class TFormExplain;
class TFormHelpAbout;
class TFormLoopSelect;
class TFormSelectEquation;
class UserInteraction;
class VariableValueEditor;

// The main window: the three name tables, the formula editor and the
// buttons that feed it, the angle unit, the menus, options, hints and help.
// It shows and edits the worksheet it is given, which outlives it, and owns
// the document state and the run options for the whole run.
class TFormCalculator : public QMainWindow,
                        public EntryScreenHost,
                        public DocumentCommandsHost,
                        public RunHost {
    Q_OBJECT

  public:
    // Runs the start-up steps; startDirectory is the working directory at
    // start-up, the home of the settings and help files. Help falls back to
    // the user guide in guideDirectory when there is no help file.
    TFormCalculator(Worksheet& sheet, UserInteraction& interaction, const QString& startDirectory,
                    const QString& guideDirectory = QString(), QWidget* parent = nullptr);
    ~TFormCalculator() override;

    // The windows that the Constants and Variables commands and the About
    // item show, created after this one.
    void setEntryScreens(QWidget* constants, QWidget* variables);
    void setAboutBox(TFormHelpAbout* about);
    // The windows of the Run menu, created last.
    void setRunWindows(TFormSelectEquation* selectEquation, TFormLoopSelect* loop);
    // Run menu: Trajectory shows the window that plots the loop's history.
    void Trajectory1Click();
    // Run menu: Explain Equations shows each step of a run of the formula,
    // made on a copy of the tables.
    void ExplainEquations1Click();
    // A window whose hints "Show &hints" switches.
    void addHintTarget(HintTarget* target);
    // Gives the window the size and place it had when it last closed; false
    // when none was kept.
    bool restorePlacement();

    // EntryScreenHost
    const NameTable& operatorTable() const override { return *sheet_.operators; }
    const NameTable& constantTable() const override { return sheet_.constants; }
    const NameTable& variableTable() const override { return sheet_.variables; }
    int constantUsedRows() const override;
    int variableUsedRows() const override;
    void LoadConstantsFromEditor(const NameTable& grid, int entryCount) override;
    void LoadVariablesFromEditor(const NameTable& grid, int entryCount) override;

    NameTable& constants() { return sheet_.constants; }
    NameTable& variables() { return sheet_.variables; }
    // Redraws the grids after the tables were written directly, as a run does.
    void refreshTables();

    DocumentState& documents() { return documents_; }
    DocumentCommands& documentCommands() { return documentCommands_; }
    PrintCommands& printCommands() { return *printCommands_; }
    FormulaEditor& formulaEditor() { return *formulaEditor_; }
    FormulaHighlighter& formulaHighlighter() { return *formulaHighlighter_; }
    FormulaCompletion& formulaCompletion() { return *formulaCompletion_; }
    RunControl& runControl() { return *runControl_; }

    // DocumentCommandsHost and RunHost
    QString formulaText() const override;
    void setFormulaText(const QString& text) override;
    AngleUnit angleUnit() const override;
    void selectAngleUnit(AngleUnit unit) override;
    NameTable& documentTable(Document table) override;
    void refreshGrid(Document table) override;
    void enableClearFormula() override;
    void SetEdit(bool enabled) override;
    void popUpSaveMenu() override { SaveAs1Click(); }
    const Trajectory* trajectory() const override { return trajectory_; }
    // The trajectory that Export Trajectory as CSV writes; it must outlive
    // this window or be replaced first.
    void setTrajectory(const Trajectory* trajectory) { trajectory_ = trajectory; }

    // RunHost
    std::string runFormulaText() const override;
    std::uint64_t formulaRevision() const override;
    bool promptOnEveryLoop() const override;
    bool showVariablesAfterExecuting() const override;
    int promptAnswer() const override { return promptAnswer_; }
    void setPromptAnswer(int answer) override { promptAnswer_ = answer; }
    void markVariablesChanged() override;
    void showVariableValues() override;
    void showVariableScreen() override;
    QWidget* messageOwner() override { return this; }
    bool hintSetting() const { return hintSetting_; }

    const QString& settingsPath() const { return settingsPath_; }
    const QString& helpPath() const { return help_.helpPath(); }
    const HelpFiles& helpFiles() const { return help_; }

    // Handlers.
    void ShowHintsNow();
    void Showhints1Click();
    void HighlightEquations1Click();
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
    void readSettings();
    void writeSettings();
    // Says, once in the window's life, why the user's settings cannot be
    // read, if they cannot.
    void reportUserSettingsProblem();
    // Whether the window may close; asks about unsaved documents.
    bool FormCloseQuery();
    // Shows one of the File menu's pop-up menus at its fixed screen place.
    void PopUp(QMenu* menu);

    void buildControls();
    void buildGrids(QWidget* client);
    void buildButtons(QWidget* client);
    void buildFormulaEditor(QWidget* client);
    void buildMenus();
    void buildFileMenu();
    void registerHints();
    void setHelpContexts();
    void wireControls();
    QString selectedName(const QTableView* grid) const;

    UserInteraction& interaction_;
    QString settingsPath_;
    HelpFiles help_;

    Worksheet& sheet_;
    DocumentState documents_;
    DocumentCommands documentCommands_;
    int promptAnswer_ = 1;
    bool hintSetting_ = false;
    bool userSettingsProblemReported_ = false;

    NameTableModel* operatorModel_ = nullptr;
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
    QGroupBox* RadioGroupAngle = nullptr;
    QRadioButton* RadioButtonDegrees = nullptr;
    QRadioButton* RadioButtonRadians = nullptr;
    QLineEdit* EditVariable = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* MemoFormula = nullptr;

    QMenu* File1 = nullptr;
    QMenu* PopupMenuNew = nullptr;
    QMenu* PopupMenuOpen = nullptr;
    QMenu* PopupMenuSave = nullptr;
    QMenu* PopupMenuPrint = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* Run1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Save1 = nullptr;
    RecentWorksheetsMenu* recentMenu_ = nullptr;  // owned by its menu
    QAction* RunOption1 = nullptr;
    QAction* RunOption2 = nullptr;
    QAction* Showhints1 = nullptr;
    QAction* HighlightEquations1 = nullptr;
    QTimer* TimerCreate = nullptr;

    std::unique_ptr<RunControl> runControl_;
    std::unique_ptr<PrintCommands> printCommands_;
    // Destroyed before the controls they watch.
    std::unique_ptr<FormulaEditor> formulaEditor_;
    std::unique_ptr<FormulaCompletion> formulaCompletion_;
    FormulaHighlighter* formulaHighlighter_ = nullptr;  // owned by MemoFormula
    std::unique_ptr<VariableValueEditor> variableValueEditor_;
    HintSet hints_;
    std::vector<HintTarget*> hintTargets_;
    QWidget* constantScreen_ = nullptr;
    QWidget* variableScreen_ = nullptr;
    TFormHelpAbout* aboutBox_ = nullptr;
    const Trajectory* trajectory_ = nullptr;
    TFormLoopSelect* loopWindow_ = nullptr;
    TFormExplain* explainWindow_ = nullptr;  // created when first shown
};

}  // namespace quantaro
