#include "ui/TFormCalculator.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include "commands/PrintCommands.h"
#include "commands/RecentWorksheetsMenu.h"
#include "documents/SettingsFile.h"
#include "interaction/ContextHelp.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/UserSettings.h"
#include "interaction/WindowLayout.h"
#include "run/RunControl.h"
#include "run/TFormExplain.h"
#include "run/TFormLoopSelect.h"
#include "tables/NameTableModel.h"
#include "ui/FormulaCompletion.h"
#include "ui/FormulaEditor.h"
#include "ui/FormulaHighlighter.h"
#include "ui/MainWindowLayout.h"
#include "ui/TFormHelpAbout.h"
#include "ui/VariableValueEditor.h"

namespace quantaro {
namespace {

constexpr char kHelpFileName[] = "Quantaro.hlp";
// Where the File menu's pop-up menus show, wherever the window is.
constexpr QPoint kPopupPosition(100, 100);
// Kept for the user between runs; the settings file holds only its three options.
constexpr char kHighlightChoice[] = "Options/highlightEquations";

// Help context numbers of the main window's controls and menus.
enum HelpContext {
    kOperatorsHelp = 1,
    kConstantsHelp = 2,
    kVariablesHelp = 3,
    kEditVariableHelp = 4,
    kTransferHelp = 5,
    kFormulaHelp = 6,
    kClearHelp = 7,
    kNewLineHelp = 8,
    kAngleHelp = 9,
    kFileHelp = 10,
    kConstantScreenHelp = 12,
    kVariableScreenHelp = 13,
    kRunItemHelp = 14,
    kRunMenuHelp = 15,
    kHelpMenuHelp = 23,
};

QTableView* MakeGrid(NameTableModel* model, const char* name, const QFont& font,
                     std::initializer_list<int> columnWidths, QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    SetUpGrid(grid, model, QAbstractItemView::SelectRows, font, columnWidths);
    return grid;
}

QAction* MakeAction(QMenu* menu, const QString& text, const char* name, int helpContext,
                    const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    ContextHelp::setContext(action, helpContext);
    return action;
}

QAction* MakeCheckItem(QMenu* menu, const QString& text, const char* name) {
    QAction* action = MakeAction(menu, text, name, 0);
    action->setCheckable(true);
    return action;
}

template <typename Commands>
struct PopupItem {
    QString caption;
    const char* name;
    void (Commands::*command)();
};

// A pop-up menu of the File menu whose items run commands of one object.
template <typename Commands>
QMenu* MakePopupMenu(QWidget* window, Commands& commands, const char* name,
                     std::initializer_list<PopupItem<Commands>> items) {
    auto* menu = new QMenu(window);
    menu->setObjectName(QLatin1String(name));
    ContextHelp::setContext(menu, kFileHelp);
    for (const PopupItem<Commands>& item : items) {
        QAction* action = MakeAction(menu, item.caption, item.name, kFileHelp);
        QObject::connect(action, &QAction::triggered, menu,
                         [&commands, command = item.command] { (commands.*command)(); });
    }
    return menu;
}

}  // namespace

TFormCalculator::TFormCalculator(Worksheet& sheet, UserInteraction& interaction,
                                 const QString& startDirectory, const QString& guideDirectory,
                                 QWidget* parent)
    : QMainWindow(parent),
      interaction_(interaction),
      settingsPath_(SettingsFilePath(startDirectory)),
      help_(QDir(startDirectory).filePath(QLatin1String(kHelpFileName)), guideDirectory),
      sheet_(sheet),
      documentCommands_(*this, documents_, interaction, this),
      runControl_(std::make_unique<RunControl>(sheet, *this, interaction)),
      printCommands_(std::make_unique<PrintCommands>(
          PrintCommands::Sources{documents_, [this] { return formulaText(); }, sheet.constants,
                                 sheet.variables},
          interaction, this)) {
    setObjectName(QStringLiteral("TFormCalculator"));
    buildControls();
    buildMenus();
    registerHints();
    setHelpContexts();
    wireControls();
    FormCreate();
}

TFormCalculator::~TFormCalculator() = default;

// The paths, PromptAnswer, the change flags, the empty editor and stacks, the
// headings and the operator rows are already as start-up wants them once the
// members and controls exist; what remains are the settings and the caption.
void TFormCalculator::FormCreate() {
    readSettings();
    // Once the window shows: the program starts all the same.
    QMetaObject::invokeMethod(this, &TFormCalculator::reportUserSettingsProblem,
                              Qt::QueuedConnection);
    connect(&documents_, &DocumentState::captionChanged, this,
            [this](const QString& caption) { setWindowTitle(PlainWindowTitle(caption)); });
    documents_.rebuildCaption();
    MemoFormula->setFocus();
}

void TFormCalculator::readSettings() {
    const SettingsLoad load = LoadSettingsFile(settingsPath_);
    if (load.status == LoadStatus::Failed) interaction_.showError(nullptr, load.errorText);
    RunOption1->setChecked(load.settings.promptOnEveryLoop);
    RunOption2->setChecked(load.settings.showVariableTableAfterExecuting);
    Showhints1->setChecked(load.settings.showHints);
}

void TFormCalculator::reportUserSettingsProblem() {
    if (userSettingsProblemReported_) return;
    if (const std::optional<QString> problem = UserSettingsProblem()) {
        userSettingsProblemReported_ = true;
        interaction_.showWarning(this, *problem);
    }
}

void TFormCalculator::writeSettings() {
    Settings settings;
    settings.promptOnEveryLoop = RunOption1->isChecked();
    settings.showVariableTableAfterExecuting = RunOption2->isChecked();
    settings.showHints = Showhints1->isChecked();
    if (auto failure = SaveSettingsFile(settingsPath_, settings)) {
        interaction_.showError(this, *failure);
    }
}

void TFormCalculator::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFont(CaptionFont());
    buildGrids(client);
    buildButtons(client);
    buildFormulaEditor(client);
    new MainWindowLayout(client, {StringGridOperators, StringGridConstants, StringGridVariables,
                                  EditVariable, Label1, MemoFormula});
}

void TFormCalculator::buildGrids(QWidget* client) {
    operatorModel_ = new NameTableModel(*sheet_.operators, this);
    constantModel_ = new NameTableModel(sheet_.constants, this);
    variableModel_ = new NameTableModel(sheet_.variables, this);

    StringGridOperators =
        MakeGrid(operatorModel_, "StringGridOperators", FixedPitchFont(19), {81, 66}, client);

    StringGridConstants =
        MakeGrid(constantModel_, "StringGridConstants", FixedPitchFont(13), {93, 172, 113}, client);

    StringGridVariables =
        MakeGrid(variableModel_, "StringGridVariables", FixedPitchFont(13), {93, 173, 113}, client);

    EditVariable = new QLineEdit(client);
    EditVariable->setObjectName(QStringLiteral("EditVariable"));
    QFont valueFont = CaptionFont();
    valueFont.setPixelSize(16);
    valueFont.setBold(true);
    EditVariable->setFont(valueFont);
    EditVariable->setToolTip(QStringLiteral("Type in the selected variable's new value"));
}

void TFormCalculator::buildButtons(QWidget* client) {
    ButtonInsertOperator = MakeButton(tr("Insert &Operator"), "ButtonInsertOperator", client);
    ButtonInsertOperator->setGeometry(184, 8, 83, 25);
    ButtonInsertConstant = MakeButton(tr("Insert &Constant"), "ButtonInsertConstant", client);
    ButtonInsertConstant->setGeometry(184, 32, 83, 25);
    ButtonInsertVariable = MakeButton(tr("Insert &Variable"), "ButtonInsertVariable", client);
    ButtonInsertVariable->setGeometry(184, 56, 83, 25);
    ButtonTransfer = MakeButton(tr("Transfer Const"), "ButtonTransfer", client);
    ButtonTransfer->setGeometry(184, 88, 83, 25);
    ButtonClear = MakeButton(tr("C&lear Formula"), "ButtonClear", client);
    ButtonClear->setEnabled(false);
    ButtonClear->setGeometry(184, 120, 83, 25);
    ButtonNewLine = MakeButton(tr("&New Line"), "ButtonNewLine", client);
    ButtonNewLine->setGeometry(184, 152, 83, 25);

    RadioGroupAngle = new QGroupBox(tr("Angle units"), client);
    RadioGroupAngle->setObjectName(QStringLiteral("RadioGroupAngle"));
    RadioGroupAngle->setGeometry(184, 184, 81, 73);
    RadioButtonDegrees = new QRadioButton(tr("Degrees"), client);
    RadioButtonDegrees->setObjectName(QStringLiteral("RadioButtonDegrees"));
    RadioButtonDegrees->setChecked(true);
    RadioButtonDegrees->setGeometry(192, 208, 65, 17);
    RadioButtonRadians = new QRadioButton(tr("Radians"), client);
    RadioButtonRadians->setObjectName(QStringLiteral("RadioButtonRadians"));
    RadioButtonRadians->setGeometry(192, 232, 65, 17);
    for (QRadioButton* button : {RadioButtonDegrees, RadioButtonRadians}) {
        KeepIndicatorsVisible(button);
    }
}

void TFormCalculator::buildFormulaEditor(QWidget* client) {
    Label1 = MakeLabel(tr("Enter Equations"), "Label1", client);
    Label1->adjustSize();

    MemoFormula = new QPlainTextEdit(client);
    MemoFormula->setObjectName(QStringLiteral("MemoFormula"));
    // Qt lays out a line in full whenever it draws any of it, so a line of
    // megabytes left unwrapped would take a second for every blink of the
    // caret; wrapped lines are drawn piece by piece. Lines wrap only at
    // blanks, which separate words in a formula: breaking inside a word
    // would look like a blank, and costs time in the square of the word's
    // length. Formulas need no shaping of their text, which also halves the
    // cost of laying it out.
    QFont formulaFont = FixedPitchFont(13);
    formulaFont.setStyleStrategy(QFont::PreferNoShaping);
    MemoFormula->setFont(formulaFont);
    MemoFormula->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoFormula->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoFormula->setWordWrapMode(QTextOption::WordWrap);

    formulaEditor_ = std::make_unique<FormulaEditor>(MemoFormula, ButtonClear, documents_, this);
    formulaHighlighter_ = new FormulaHighlighter(MemoFormula, sheet_);
    formulaCompletion_ =
        std::make_unique<FormulaCompletion>(MemoFormula, *formulaEditor_, sheet_, interaction_);
    variableValueEditor_ = std::make_unique<VariableValueEditor>(
        EditVariable,
        VariableValueEditor::Grids{StringGridConstants, *constantModel_, StringGridVariables,
                                   *variableModel_},
        documents_, interaction_, this);

    // The formula editor comes first in the tab order.
    ChainTabOrder({MemoFormula, StringGridOperators, ButtonInsertOperator, ButtonInsertConstant,
                   ButtonInsertVariable, ButtonTransfer, ButtonClear, ButtonNewLine,
                   RadioButtonDegrees, RadioButtonRadians, StringGridConstants,
                   StringGridVariables});
}

void TFormCalculator::buildMenus() {
    buildFileMenu();

    Edit1 = menuBar()->addMenu(tr("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    const EditActions& edit = formulaEditor_->actions();
    Edit1->addActions({edit.undo, edit.redo});
    Edit1->addSeparator();
    Edit1->addActions({edit.cut, edit.copy, edit.paste, edit.del, edit.selectAll});

    QAction* constants = menuBar()->addAction(tr("&Constants"));
    constants->setObjectName(QStringLiteral("Constants1"));
    ContextHelp::setContext(constants, kConstantScreenHelp);
    connect(constants, &QAction::triggered, this, &TFormCalculator::Constants1Click);
    QAction* variables = menuBar()->addAction(tr("&Variables"));
    variables->setObjectName(QStringLiteral("Variables1"));
    ContextHelp::setContext(variables, kVariableScreenHelp);
    connect(variables, &QAction::triggered, this, &TFormCalculator::Variables1Click);

    Options1 = menuBar()->addMenu(tr("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    RunOption1 = MakeCheckItem(Options1, tr("&Prompt on every loop"), "RunOption1");
    RunOption2 =
        MakeCheckItem(Options1, tr("Show entire &variable table after executing"), "RunOption2");
    Showhints1 = MakeCheckItem(Options1, tr("Show &hints"), "Showhints1");
    connect(Showhints1, &QAction::triggered, this, &TFormCalculator::Showhints1Click);
    Options1->addSeparator();
    HighlightEquations1 =
        MakeCheckItem(Options1, tr("Highlight &Equations"), "HighlightEquations1");
    HighlightEquations1->setChecked(UserChoice(QLatin1String(kHighlightChoice), true));
    formulaHighlighter_->setActive(HighlightEquations1->isChecked());
    connect(HighlightEquations1, &QAction::triggered, this,
            &TFormCalculator::HighlightEquations1Click);
    connect(Options1, &QMenu::aboutToShow, this, &TFormCalculator::Options1Click);

    Run1 = menuBar()->addMenu(tr("&Run"));
    Run1->setObjectName(QStringLiteral("Run1"));
    ContextHelp::setContext(Run1, kRunMenuHelp);
    QAction* executeAll = MakeAction(Run1, tr("Execute &All Equations"), "ExecuteAllFormulas1",
                                     kRunItemHelp, Qt::Key_F9);
    QAction* testOne =
        MakeAction(Run1, tr("Test &One Equation"), "TestOneEquation1", kRunItemHelp, Qt::Key_F8);
    QAction* loop = MakeAction(Run1, tr("&Continuous Loop"), "ContinuousLoop1", kRunItemHelp);
    QAction* trajectory = MakeAction(Run1, tr("&Trajectory"), "Trajectory1", kRunItemHelp);
    connect(trajectory, &QAction::triggered, this, &TFormCalculator::Trajectory1Click);
    QAction* explain =
        MakeAction(Run1, tr("&Explain Equations"), "ExplainEquations1", kRunItemHelp);
    connect(explain, &QAction::triggered, this, &TFormCalculator::ExplainEquations1Click);
    RunControl* run = runControl_.get();
    connect(executeAll, &QAction::triggered, this, [run] { run->ExecuteAllFormulas1Click(); });
    connect(testOne, &QAction::triggered, this, [run] { run->TestOneEquation1Click(); });
    connect(loop, &QAction::triggered, this, [run] { run->ContinuousLoop1Click(); });

    Help1 = menuBar()->addMenu(tr("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    ContextHelp::setContext(Help1, kHelpMenuHelp);
    QAction* usingProgram = MakeAction(Help1, tr("&Using The Program"), "About1", kHelpMenuHelp);
    QAction* about = MakeAction(Help1, tr("&About"), "About2", kHelpMenuHelp);
    connect(usingProgram, &QAction::triggered, this, &TFormCalculator::About1Click);
    connect(about, &QAction::triggered, this, &TFormCalculator::About2Click);
}

void TFormCalculator::buildFileMenu() {
    File1 = menuBar()->addMenu(tr("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    ContextHelp::setContext(File1, kFileHelp);
    connect(MakeAction(File1, tr("&New"), "New1", kFileHelp), &QAction::triggered, this,
            &TFormCalculator::New1Click);
    connect(MakeAction(File1, tr("&Open"), "Open1", kFileHelp), &QAction::triggered, this,
            &TFormCalculator::Open1Click);
    QMenu* openRecent = File1->addMenu(tr("Open &Recent"));
    openRecent->setObjectName(QStringLiteral("OpenRecent1"));
    ContextHelp::setContext(openRecent, kFileHelp);
    recentMenu_ = new RecentWorksheetsMenu(openRecent, documentCommands_);
    Save1 = MakeAction(File1, tr("&Save"), "Save1", kFileHelp, QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(Save1, &QAction::triggered, this, &TFormCalculator::Save1Click);
    connect(MakeAction(File1, tr("Save &As"), "SaveAs1", kFileHelp), &QAction::triggered, this,
            &TFormCalculator::SaveAs1Click);
    DocumentCommands& commands = documentCommands_;
    connect(MakeAction(File1, tr("Export &Trajectory as CSV…"), "ExportTrajectory1", kFileHelp),
            &QAction::triggered, this, [&commands] { commands.ExportTrajectory1Click(); });
    connect(MakeAction(File1, tr("Export Ta&bles as CSV…"), "ExportTables1", kFileHelp),
            &QAction::triggered, this, [&commands] { commands.ExportTables1Click(); });
    File1->addSeparator();
    connect(MakeAction(File1, tr("&Print"), "Print1", kFileHelp), &QAction::triggered, this,
            &TFormCalculator::Print1Click);
    File1->addSeparator();
    QAction* exit = MakeAction(File1, tr("&Exit"), "Exit1", kFileHelp);
    connect(exit, &QAction::triggered, this, &TFormCalculator::Exit1Click);
    connect(File1, &QMenu::aboutToShow, this, &TFormCalculator::File1Click);

    using Commands = DocumentCommands;
    PopupMenuNew = MakePopupMenu(
        this, documentCommands_, "PopupMenuNew",
        {{tr("New &All"), "NewAll1", &Commands::NewAll1Click},
         {tr("New &Formula"), "NewFormula1", &Commands::NewFormula1Click},
         {tr("New &Constant Table"), "NewConstantTable1", &Commands::NewConstantTable1Click},
         {tr("New &VariableTable"), "NewVariableTable1", &Commands::NewVariableTable1Click}});
    PopupMenuOpen = MakePopupMenu(this, documentCommands_, "PopupMenuOpen",
                                  {{tr("Open &All"), "OpenAll1", &Commands::OpenAll1Click},
                                   {tr("Open &Formula File Only"), "OpenFormulaFileOnly1",
                                    &Commands::OpenFormulaFileOnly1Click},
                                   {tr("Open &Constant File Only"), "OpenConstantFileOnly1",
                                    &Commands::OpenConstantFileOnly1Click},
                                   {tr("Open &Variable File Only"), "OpenVariableFileOnly1",
                                    &Commands::OpenVariableFileOnly1Click}});
    PopupMenuSave = MakePopupMenu(
        this, documentCommands_, "PopupMenuSave",
        {{tr("Save &All"), "SaveAll1", &Commands::SaveAll1Click},
         {tr("Save &Formula File As"), "SaveFormulaFileAs1", &Commands::SaveFormulaFileAs1Click},
         {tr("Save &Constant File As"), "SaveConstantFileAs1", &Commands::SaveConstantFileAs1Click},
         {tr("Save &Variable File As"), "SaveVariableFileAs1",
          &Commands::SaveVariableFileAs1Click}});
    PopupMenuPrint = MakePopupMenu<PrintCommands>(
        this, *printCommands_, "PopupMenuPrint",
        {{tr("Print &All"), "PrintAll1", &PrintCommands::PrintAll1Click},
         {tr("Print &Formula Only"), "PrintFormulaOnly1", &PrintCommands::PrintFormulaOnly1Click},
         {tr("Print &Constants Only"), "PrintConstantsOnly1",
          &PrintCommands::PrintConstantsOnly1Click},
         {tr("Print &Variables Only"), "PrintVariablesOnly1",
          &PrintCommands::PrintVariablesOnly1Click}});
}

void TFormCalculator::registerHints() {
    hints_.add(this, tr("Click \"Options\" menu to switch hints on or off"));
    hints_.add(StringGridOperators, tr("Double click on the operator to place it in the formula"));
    hints_.add(StringGridConstants, tr("Double click on the constant to place it in the formula"));
    hints_.add(StringGridVariables, tr("Click on the variable to edit its value"));
    hints_.add(MemoFormula,
               tr("Enter equations terminated by \"=\" signs, followed by result variable"), true);
    hints_.add(ButtonInsertOperator, tr("Inserts selected operator into formula"));
    hints_.add(ButtonInsertConstant, tr("Inserts selected constant into the formula"));
    hints_.add(ButtonInsertVariable, tr("Inserts selected variable into the formula"));
    hints_.add(ButtonTransfer, tr("Sets selected variable to value of selected constant"));
    hints_.add(ButtonClear, tr("Clears entire formula"));
    hints_.add(ButtonNewLine, tr("Moves formula cursor to a new line"));
    hints_.add(RadioGroupAngle, tr("180 degrees = Pi radians"));
    hints_.add(RadioButtonDegrees, tr("Sets Trigonometric functions to degrees"));
    hints_.add(RadioButtonRadians, tr("Sets Trigonometric functions to radians"));
}

void TFormCalculator::setHelpContexts() {
    ContextHelp::setNamesHelpFile(this);
    ContextHelp::setContext(StringGridOperators, kOperatorsHelp);
    ContextHelp::setContext(ButtonInsertOperator, kOperatorsHelp);
    ContextHelp::setContext(StringGridConstants, kConstantsHelp);
    ContextHelp::setContext(ButtonInsertConstant, kConstantsHelp);
    ContextHelp::setContext(StringGridVariables, kVariablesHelp);
    ContextHelp::setContext(ButtonInsertVariable, kVariablesHelp);
    ContextHelp::setContext(EditVariable, kEditVariableHelp);
    ContextHelp::setContext(ButtonTransfer, kTransferHelp);
    ContextHelp::setContext(MemoFormula, kFormulaHelp);
    ContextHelp::setContext(ButtonClear, kClearHelp);
    ContextHelp::setContext(ButtonNewLine, kNewLineHelp);
    for (QWidget* angle :
         {static_cast<QWidget*>(RadioGroupAngle), static_cast<QWidget*>(RadioButtonDegrees),
          static_cast<QWidget*>(RadioButtonRadians)}) {
        ContextHelp::setContext(angle, kAngleHelp);
    }
}

void TFormCalculator::wireControls() {
    connect(ButtonInsertOperator, &QPushButton::clicked, this,
            &TFormCalculator::ButtonInsertOperatorClick);
    connect(ButtonInsertConstant, &QPushButton::clicked, this,
            &TFormCalculator::ButtonInsertConstantClick);
    connect(ButtonInsertVariable, &QPushButton::clicked, this,
            &TFormCalculator::ButtonInsertVariableClick);
    connect(StringGridOperators, &QTableView::doubleClicked, this,
            &TFormCalculator::ButtonInsertOperatorClick);
    connect(StringGridConstants, &QTableView::doubleClicked, this,
            &TFormCalculator::ButtonInsertConstantClick);
    connect(StringGridVariables, &QTableView::doubleClicked, this,
            &TFormCalculator::ButtonInsertVariableClick);
    connect(ButtonNewLine, &QPushButton::clicked, formulaEditor_.get(),
            &FormulaEditor::ButtonNewLineClick);
    connect(ButtonClear, &QPushButton::clicked, formulaEditor_.get(),
            &FormulaEditor::ButtonClearClick);
    connect(RadioButtonDegrees, &QRadioButton::clicked, this,
            &TFormCalculator::RadioButtonDegreesClick);
    connect(RadioButtonRadians, &QRadioButton::clicked, this,
            &TFormCalculator::RadioButtonRadiansClick);

    connect(ButtonTransfer, &QPushButton::clicked, variableValueEditor_.get(),
            &VariableValueEditor::ButtonTransferClick);
    // A row of the variable grid is selected by a click, or by moving the
    // selection with the keyboard.
    connect(StringGridVariables, &QTableView::clicked, variableValueEditor_.get(),
            &VariableValueEditor::StringGridVariablesClick);
    connect(StringGridVariables->selectionModel(), &QItemSelectionModel::currentRowChanged,
            variableValueEditor_.get(), &VariableValueEditor::StringGridVariablesClick);

    // A name added, removed or renamed changes how the formula is cut.
    for (NameTableModel* model : {constantModel_, variableModel_}) {
        connect(model, &NameTableModel::dataChanged, formulaHighlighter_,
                &FormulaHighlighter::tablesChanged);
    }
    connect(formulaEditor_.get(), &FormulaEditor::completionRequested, formulaCompletion_.get(),
            &FormulaCompletion::open);

    TimerCreate = new QTimer(this);
    TimerCreate->setObjectName(QStringLiteral("TimerCreate"));
    TimerCreate->setSingleShot(true);
    TimerCreate->setInterval(1000);
    connect(TimerCreate, &QTimer::timeout, this, &TFormCalculator::TimerCreateTimer);
}

void TFormCalculator::setEntryScreens(QWidget* constants, QWidget* variables) {
    constantScreen_ = constants;
    variableScreen_ = variables;
}

void TFormCalculator::setAboutBox(TFormHelpAbout* about) {
    aboutBox_ = about;
}

void TFormCalculator::setRunWindows(TFormSelectEquation* selectEquation, TFormLoopSelect* loop) {
    runControl_->setRunWindows(selectEquation, loop, &loop->loopSwitch());
    loop->setMainWindow(this);
    loopWindow_ = loop;
    setTrajectory(&loop->trajectory());
}

void TFormCalculator::Trajectory1Click() {
    if (loopWindow_) loopWindow_->showTrajectoryWindow();
}

void TFormCalculator::ExplainEquations1Click() {
    if (!explainWindow_) {
        explainWindow_ = new TFormExplain(sheet_, *this, this);
        explainWindow_->setHintsShown(hintSetting_);
        addHintTarget(explainWindow_);
    }
    // A window opened again goes beside the main window wherever that is now.
    if (explainWindow_->isHidden()) PlaceBeside(explainWindow_, this, {loopWindow_});
    explainWindow_->explain();
    ShowWithoutModality(explainWindow_);
}

bool TFormCalculator::restorePlacement() {
    return RestoreWindowPlacement(this, objectName());
}

void TFormCalculator::addHintTarget(HintTarget* target) {
    hintTargets_.push_back(target);
}

int TFormCalculator::constantUsedRows() const {
    return documents_.usedRows(Document::Constants);
}

int TFormCalculator::variableUsedRows() const {
    return documents_.usedRows(Document::Variables);
}

void TFormCalculator::LoadConstantsFromEditor(const NameTable& grid, int entryCount) {
    documents_.setChanged(Document::Constants);
    sheet_.constants.copyDataRowsFrom(grid);
    constantModel_->refresh();
    documents_.setUsedRows(Document::Constants, entryCount);
}

void TFormCalculator::LoadVariablesFromEditor(const NameTable& grid, int entryCount) {
    documents_.setChanged(Document::Variables);
    sheet_.variables.copyDataRowsFrom(grid);
    variableValueEditor_->dismiss();
    variableModel_->refresh();
    documents_.setUsedRows(Document::Variables, entryCount);
}

void TFormCalculator::refreshTables() {
    operatorModel_->refresh();
    constantModel_->refresh();
    variableModel_->refresh();
}

QString TFormCalculator::formulaText() const {
    return formulaEditor_->formulaText();
}

void TFormCalculator::setFormulaText(const QString& text) {
    formulaEditor_->setFormulaText(text);
}

std::string TFormCalculator::runFormulaText() const {
    return formulaText().toStdString();
}

std::uint64_t TFormCalculator::formulaRevision() const {
    return formulaEditor_->revision();
}

bool TFormCalculator::promptOnEveryLoop() const {
    return RunOption1->isChecked();
}

bool TFormCalculator::showVariablesAfterExecuting() const {
    return RunOption2->isChecked();
}

void TFormCalculator::markVariablesChanged() {
    documents_.setChanged(Document::Variables);
}

void TFormCalculator::showVariableValues() {
    variableModel_->refresh();
}

void TFormCalculator::showVariableScreen() {
    Variables1Click();
}

AngleUnit TFormCalculator::angleUnit() const {
    return RadioButtonRadians->isChecked() ? AngleUnit::Radians : AngleUnit::Degrees;
}

void TFormCalculator::selectAngleUnit(AngleUnit unit) {
    QRadioButton* button = unit == AngleUnit::Radians ? RadioButtonRadians : RadioButtonDegrees;
    // A click runs the button's click handler; selecting the button that is
    // already selected is no click, and leaves the formula's flag alone.
    if (!button->isChecked()) button->click();
    button->setFocus();
}

NameTable& TFormCalculator::documentTable(Document table) {
    return table == Document::Constants ? sheet_.constants : sheet_.variables;
}

void TFormCalculator::refreshGrid(Document table) {
    if (table == Document::Variables) variableValueEditor_->dismiss();
    (table == Document::Constants ? constantModel_ : variableModel_)->refresh();
    // Rows read from a file are shown from the first.
    (table == Document::Constants ? StringGridConstants : StringGridVariables)->scrollToTop();
}

void TFormCalculator::enableClearFormula() {
    ButtonClear->setEnabled(true);
}

void TFormCalculator::SetEdit(bool enabled) {
    formulaEditor_->SetEdit(enabled);
}

void TFormCalculator::ShowHintsNow() {
    hintSetting_ = Showhints1->isChecked();
    hints_.setShown(hintSetting_);
    for (HintTarget* target : hintTargets_) target->setHintsShown(hintSetting_);
}

void TFormCalculator::Showhints1Click() {
    // The action has already toggled its own check mark.
    ShowHintsNow();
}

void TFormCalculator::HighlightEquations1Click() {
    // The action has already toggled its own check mark.
    formulaHighlighter_->setActive(HighlightEquations1->isChecked());
    SetUserChoice(QLatin1String(kHighlightChoice), HighlightEquations1->isChecked());
}

void TFormCalculator::Options1Click() {
    if (promptAnswer_ == 2) {
        RunOption1->setChecked(false);
        promptAnswer_ = 1;
    }
}

void TFormCalculator::File1Click() {
    Save1->setEnabled(documents_.anyChanged());
    recentMenu_->refresh();
}

void TFormCalculator::New1Click() {
    PopUp(PopupMenuNew);
}

void TFormCalculator::Open1Click() {
    PopUp(PopupMenuOpen);
}

void TFormCalculator::Save1Click() {
    documentCommands_.Save1Click();
}

void TFormCalculator::SaveAs1Click() {
    PopUp(PopupMenuSave);
}

void TFormCalculator::Print1Click() {
    PopUp(PopupMenuPrint);
}

void TFormCalculator::PopUp(QMenu* menu) {
    // Not exec(): the item chosen runs its command from the event loop, and
    // nothing waits here for the menu to close.
    menu->popup(kPopupPosition);
}

void TFormCalculator::RadioButtonDegreesClick() {
    documents_.setChanged(Document::Formula);
}

void TFormCalculator::RadioButtonRadiansClick() {
    documents_.setChanged(Document::Formula);
}

void TFormCalculator::Constants1Click() {
    ShowWithoutModality(constantScreen_);
}

void TFormCalculator::Variables1Click() {
    ShowWithoutModality(variableScreen_);
}

void TFormCalculator::About1Click() {
    help_.open(interaction_, 0, this);
}

void TFormCalculator::About2Click() {
    if (aboutBox_) aboutBox_->showBox();
}

void TFormCalculator::Exit1Click() {
    close();
}

QString TFormCalculator::selectedName(const QTableView* grid) const {
    const auto* model = static_cast<const NameTableModel*>(grid->model());
    return model->cellText(NameColumn, NameTableModel::selectedRow(grid));
}

void TFormCalculator::ButtonInsertOperatorClick() {
    formulaEditor_->InsertName(selectedName(StringGridOperators));
}

void TFormCalculator::ButtonInsertConstantClick() {
    formulaEditor_->InsertName(selectedName(StringGridConstants));
}

void TFormCalculator::ButtonInsertVariableClick() {
    formulaEditor_->InsertName(selectedName(StringGridVariables));
}

void TFormCalculator::TimerCreateTimer() {
    TimerCreate->stop();
    ShowHintsNow();
}

bool TFormCalculator::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) TimerCreate->start();  // FormActivate
    return QMainWindow::event(event);
}

bool TFormCalculator::FormCloseQuery() {
    return documentCommands_.FormCloseQuery();
}

void TFormCalculator::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    writeSettings();
    SaveWindowPlacement(this, objectName());
    reportUserSettingsProblem();
    event->accept();
    emit closed();
}

}  // namespace quantaro
