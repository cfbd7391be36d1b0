#include "ui/TFormCalculator.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include "commands/DocumentCommands.h"
#include "commands/PrintCommands.h"
#include "commands/RecentWorksheetsMenu.h"
#include "interaction/ContextHelp.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/UserSettings.h"
#include "interaction/WindowLayout.h"
#include "run/RunControl.h"
#include "run/TFormCheckUnits.h"
#include "run/TFormExplain.h"
#include "run/TFormLoopSelect.h"
#include "session/Session.h"
#include "studywindows/TFormFit.h"
#include "studywindows/TFormGoalSeek.h"
#include "studywindows/TFormOptimise.h"
#include "studywindows/TFormSolve.h"
#include "studywindows/TFormSweep.h"
#include "studywindows/TFormUncertainty.h"
#include "tables/NameTableModel.h"
#include "tables/OperatorTableModel.h"
#include "ui/FormulaCompletion.h"
#include "ui/FormulaEditor.h"
#include "ui/FormulaHighlighter.h"
#include "ui/FormulaUnitMarks.h"
#include "ui/MainMenus.h"
#include "ui/MainWindowControls.h"
#include "ui/MainWindowLayout.h"
#include "ui/RunPresenter.h"
#include "ui/TFormHelpAbout.h"
#include "ui/VariableValueEditor.h"

namespace quantaro {
namespace {

QTableView* MakeGrid(QAbstractItemModel* model, const char* name, const QFont& font,
                     std::initializer_list<int> columnWidths, QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    SetUpGrid(grid, model, QAbstractItemView::SelectRows, font, columnWidths);
    return grid;
}

template <typename Widget>
Widget* MakeCaptioned(const char* name, QWidget* parent) {
    auto* widget = new Widget(FindControl(MainWindowControls(), name).text, parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

std::span<const ControlEntry> TFormCalculator::Layout() {
    return MainWindowControls();
}

TFormCalculator::TFormCalculator(Session& session, UserInteraction& interaction, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      interaction_(interaction),
      documentCommands_(std::make_unique<DocumentCommands>(session, interaction, this)),
      runControl_(std::make_unique<RunControl>(session, this)),
      printCommands_(std::make_unique<PrintCommands>(
          PrintCommands::Sources{session.documents(), [&session] { return session.formulaText(); },
                                 session.constants(), session.variables()},
          interaction, this)) {
    // The settings file was read as the session started, before any window.
    if (const std::optional<QString>& problem = session.settingsProblem()) {
        interaction.showError(nullptr, *problem);
    }
    setObjectName(QStringLiteral("TFormCalculator"));
    new RunPresenter(session, interaction, this);
    buildControls();
    BuildMenus(*this, menuBar(), session, formulaEditor_->actions());
    recentMenu_ = new RecentWorksheetsMenu(findChild<QMenu*>(QStringLiteral("OpenRecent1")),
                                           *documentCommands_);
    ApplyControlTable(this, MainWindowControls(), hints_);
    ContextHelp::setNamesHelpFile(this);
    session.addHintTarget(this);
    wireControls();
    followSession();
    FormCreate();
}

TFormCalculator::~TFormCalculator() {
    // The formula document lives on with the session: it is handed back
    // without this window's colours, and without the editor that shows it.
    delete formulaHighlighter_;
    formulaUnitMarks_->setActive(false);
    MemoFormula->setDocument(nullptr);
}

// The session holds the paths, PromptAnswer, the change flags, the options
// read from the settings file and the empty formula; the headings are in its
// tables and the operator rows in the registry. What remains is the caption.
void TFormCalculator::FormCreate() {
    // Once the window shows: the program starts all the same.
    QMetaObject::invokeMethod(this, &TFormCalculator::reportUserSettingsProblem,
                              Qt::QueuedConnection);
    connect(&session_.documents(), &DocumentState::captionChanged, this,
            [this](const QString& caption) { setWindowTitle(PlainWindowTitle(caption)); });
    session_.documents().rebuildCaption();
    MemoFormula->setFocus();
}

void TFormCalculator::reportUserSettingsProblem() {
    if (userSettingsProblemReported_) return;
    if (const std::optional<QString> problem = UserSettingsProblem()) {
        userSettingsProblemReported_ = true;
        interaction_.showWarning(this, *problem);
    }
}

void TFormCalculator::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFont(CaptionFont());

    operatorModel_ = new OperatorTableModel(Operators(), this);
    constantModel_ = new NameTableModel(session_.constants(), this);
    variableModel_ = new NameTableModel(session_.variables(), this);
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
    EditVariable->resize(177, 28);  // placed over its row when it opens

    ButtonInsertOperator = MakeButton(MainWindowControls(), "ButtonInsertOperator", client);
    ButtonInsertConstant = MakeButton(MainWindowControls(), "ButtonInsertConstant", client);
    ButtonInsertVariable = MakeButton(MainWindowControls(), "ButtonInsertVariable", client);
    ButtonTransfer = MakeButton(MainWindowControls(), "ButtonTransfer", client);
    ButtonClear = MakeButton(MainWindowControls(), "ButtonClear", client);
    ButtonClear->setEnabled(false);
    ButtonNewLine = MakeButton(MainWindowControls(), "ButtonNewLine", client);
    MakeCaptioned<QGroupBox>("RadioGroupAngle", client);
    RadioButtonDegrees = MakeCaptioned<QRadioButton>("RadioButtonDegrees", client);
    RadioButtonDegrees->setChecked(session_.angleUnit() == AngleUnit::Degrees);
    RadioButtonRadians = MakeCaptioned<QRadioButton>("RadioButtonRadians", client);
    RadioButtonRadians->setChecked(session_.angleUnit() == AngleUnit::Radians);
    for (QRadioButton* button : {RadioButtonDegrees, RadioButtonRadians}) {
        KeepIndicatorsVisible(button);
    }

    buildFormulaEditor(client);
    new MainWindowLayout(client, {StringGridOperators, StringGridConstants, StringGridVariables,
                                  findChild<QLabel*>(QStringLiteral("Label1")), MemoFormula});
}

void TFormCalculator::buildFormulaEditor(QWidget* client) {
    MakeLabel(MainWindowControls(), "Label1", client)->adjustSize();

    MemoFormula = new QPlainTextEdit(client);
    MemoFormula->setObjectName(QStringLiteral("MemoFormula"));
    // The editor shows the session's formula; set before its font, which
    // becomes the document's font.
    QTextDocument* formula = session_.formulaDocument();
    formula->setDocumentLayout(new QPlainTextDocumentLayout(formula));
    MemoFormula->setDocument(formula);
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

    formulaEditor_ = std::make_unique<FormulaEditor>(MemoFormula, ButtonClear, session_, this);
    formulaHighlighter_ = new FormulaHighlighter(MemoFormula, session_);
    formulaHighlighter_->setActive(session_.options().highlightEquations);
    formulaUnitMarks_ = new FormulaUnitMarks(MemoFormula, session_);
    formulaUnitMarks_->setActive(session_.options().highlightEquations);
    formulaCompletion_ =
        std::make_unique<FormulaCompletion>(MemoFormula, *formulaEditor_, session_, interaction_);
    variableValueEditor_ = std::make_unique<VariableValueEditor>(
        EditVariable,
        VariableValueEditor::Grids{StringGridConstants, *constantModel_, StringGridVariables,
                                   *variableModel_},
        session_, interaction_, this);

    // The formula editor comes first in the tab order.
    ChainTabOrder({MemoFormula, StringGridOperators, ButtonInsertOperator, ButtonInsertConstant,
                   ButtonInsertVariable, ButtonTransfer, ButtonClear, ButtonNewLine,
                   RadioButtonDegrees, RadioButtonRadians, StringGridConstants,
                   StringGridVariables});
}

void TFormCalculator::wireControls() {
    using W = TFormCalculator;
    connect(ButtonInsertOperator, &QPushButton::clicked, this, &W::ButtonInsertOperatorClick);
    connect(ButtonInsertConstant, &QPushButton::clicked, this, &W::ButtonInsertConstantClick);
    connect(ButtonInsertVariable, &QPushButton::clicked, this, &W::ButtonInsertVariableClick);
    connect(StringGridOperators, &QTableView::doubleClicked, this, &W::ButtonInsertOperatorClick);
    connect(StringGridConstants, &QTableView::doubleClicked, this, &W::ButtonInsertConstantClick);
    connect(StringGridVariables, &QTableView::doubleClicked, this, &W::ButtonInsertVariableClick);
    connect(ButtonNewLine, &QPushButton::clicked, formulaEditor_.get(),
            &FormulaEditor::ButtonNewLineClick);
    connect(ButtonClear, &QPushButton::clicked, formulaEditor_.get(),
            &FormulaEditor::ButtonClearClick);
    connect(RadioButtonDegrees, &QRadioButton::clicked, this, &W::RadioButtonDegreesClick);
    connect(RadioButtonRadians, &QRadioButton::clicked, this, &W::RadioButtonRadiansClick);

    connect(ButtonTransfer, &QPushButton::clicked, variableValueEditor_.get(),
            &VariableValueEditor::ButtonTransferClick);
    // A row of the variable grid is selected by a click, or by moving the
    // selection with the keyboard.
    connect(StringGridVariables, &QTableView::clicked, variableValueEditor_.get(),
            &VariableValueEditor::StringGridVariablesClick);
    connect(StringGridVariables->selectionModel(), &QItemSelectionModel::currentRowChanged,
            variableValueEditor_.get(), &VariableValueEditor::StringGridVariablesClick);
    connect(formulaEditor_.get(), &FormulaEditor::completionRequested, formulaCompletion_.get(),
            &FormulaCompletion::open);

    TimerCreate = new QTimer(this);
    TimerCreate->setObjectName(QStringLiteral("TimerCreate"));
    TimerCreate->setSingleShot(true);
    TimerCreate->setInterval(1000);
    connect(TimerCreate, &QTimer::timeout, this, &W::TimerCreateTimer);
}

// What the window shows of the session follows its signals.
void TFormCalculator::followSession() {
    connect(&session_, &Session::valuesChanged, this,
            [this](Document table) { model(table)->refresh(); });
    // An editor still open on the rows replaced belongs to no row of the table any more.
    connect(&session_, &Session::rowsReplaced, this, [this](Document table) {
        if (table == Document::Variables) variableValueEditor_->dismiss();
    });
    // Rows read from a file are shown from the first.
    connect(&session_, &Session::tableOpened, this,
            [this](Document table) { grid(table)->scrollToTop(); });
    connect(&session_, &Session::angleUnitChanged, this, [this](AngleUnit unit) {
        (unit == AngleUnit::Radians ? RadioButtonRadians : RadioButtonDegrees)->setChecked(true);
    });
    connect(&session_, &Session::angleUnitSelected, this, [this](AngleUnit unit) {
        (unit == AngleUnit::Radians ? RadioButtonRadians : RadioButtonDegrees)->setFocus();
    });
    connect(&session_, &Session::optionsChanged, this, [this] {
        const bool highlight = session_.options().highlightEquations;
        if (formulaHighlighter_->isActive() != highlight) formulaHighlighter_->setActive(highlight);
        if (formulaUnitMarks_->isActive() != highlight) formulaUnitMarks_->setActive(highlight);
    });
    connect(documentCommands_.get(), &DocumentCommands::formulaOpened, this, [this] {
        ButtonClear->setEnabled(true);
        formulaEditor_->SetEdit(true);
    });
    connect(documentCommands_.get(), &DocumentCommands::documentOpened, this,
            [this] { formulaEditor_->SetEdit(true); });
    connect(documentCommands_.get(), &DocumentCommands::saveMenuRequested, this,
            &TFormCalculator::SaveAs1Click);
    connect(&session_.documents(), &DocumentState::changedFlagSet, this,
            [save = findChild<QAction*>(QStringLiteral("Save1"))](Document, bool changed) {
                if (changed) save->setEnabled(true);
            });
}

NameTableModel* TFormCalculator::model(Document table) const {
    return table == Document::Constants ? constantModel_ : variableModel_;
}

QTableView* TFormCalculator::grid(Document table) const {
    return table == Document::Constants ? StringGridConstants : StringGridVariables;
}

void TFormCalculator::setEntryScreens(QWidget* constants, QWidget* variables) {
    constantScreen_ = constants;
    variableScreen_ = variables;
}

void TFormCalculator::setAboutBox(TFormHelpAbout* about) {
    aboutBox_ = about;
}

void TFormCalculator::setRunWindows(TFormSelectEquation* selectEquation, TFormLoopSelect* loop) {
    runControl_->setRunWindows(selectEquation, loop, variableScreen_);
    loopWindow_ = loop;
    if (loop) loop->setMainWindow(this);
}

bool TFormCalculator::restorePlacement() {
    return RestoreWindowPlacement(this, objectName());
}

void TFormCalculator::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

void TFormCalculator::ShowHintsNow() {
    session_.showHintsNow();
}

void TFormCalculator::Showhints1Click() {
    // The action has already toggled its own check mark, and the option with it.
    ShowHintsNow();
}

void TFormCalculator::Options1Click() {
    session_.optionsMenuOpened();
}

// Save is enabled as soon as a document changes, so that Ctrl+S saves, and
// disabled only when the menu opens with nothing changed.
void TFormCalculator::File1Click() {
    findChild<QAction*>(QStringLiteral("Save1"))->setEnabled(session_.documents().anyChanged());
    recentMenu_->refresh();
}

void TFormCalculator::New1Click() {
    PopUp("PopupMenuNew", "New1");
}

void TFormCalculator::Open1Click() {
    PopUp("PopupMenuOpen", "Open1");
}

void TFormCalculator::Save1Click() {
    documentCommands_->Save1Click();
}

void TFormCalculator::SaveAs1Click() {
    PopUp("PopupMenuSave", "SaveAs1");
}

void TFormCalculator::Print1Click() {
    PopUp("PopupMenuPrint", "Print1");
}

// Beside the File menu's item, as a submenu would show, wherever the window
// is; from a shortcut, where the item would be with the menu open.
void TFormCalculator::PopUp(const char* menu, const char* fileItem) {
    const auto* file = findChild<QMenu*>(QStringLiteral("File1"));
    const QPoint fileMenuAt =
        menuBar()->mapToGlobal(menuBar()->actionGeometry(file->menuAction()).bottomLeft());
    const QRect item = file->actionGeometry(findChild<QAction*>(QLatin1String(fileItem)));
    // Not exec(): the item chosen runs its command from the event loop, and
    // nothing waits here for the menu to close.
    findChild<QMenu*>(QLatin1String(menu))->popup(fileMenuAt + item.topRight());
}

void TFormCalculator::RadioButtonDegreesClick() {
    session_.setAngleUnit(AngleUnit::Degrees);
}

void TFormCalculator::RadioButtonRadiansClick() {
    session_.setAngleUnit(AngleUnit::Radians);
}

void TFormCalculator::Constants1Click() {
    ShowWithoutModality(constantScreen_);
}

void TFormCalculator::Variables1Click() {
    ShowWithoutModality(variableScreen_);
}

void TFormCalculator::Trajectory1Click() {
    if (loopWindow_) loopWindow_->showTrajectoryWindow();
}

void TFormCalculator::ExplainEquations1Click() {
    if (!explainWindow_) {
        explainWindow_ = new TFormExplain(session_, this);
        session_.addHintTarget(explainWindow_);
    }
    // A window opened again goes beside the main window wherever that is now.
    if (explainWindow_->isHidden()) PlaceBeside(explainWindow_, this, {loopWindow_});
    explainWindow_->explain();
    ShowWithoutModality(explainWindow_);
}

void TFormCalculator::Sweep1Click() {
    if (!sweepWindow_) {
        sweepWindow_ = new TFormSweep(session_, interaction_, this);
        session_.addHintTarget(sweepWindow_);
    }
    sweepWindow_->showBeside(this, {loopWindow_, explainWindow_, goalSeekWindow_});
}

void TFormCalculator::GoalSeek1Click() {
    if (!goalSeekWindow_) {
        goalSeekWindow_ = new TFormGoalSeek(session_, interaction_, this);
        session_.addHintTarget(goalSeekWindow_);
    }
    goalSeekWindow_->showBeside(this, {loopWindow_, explainWindow_, sweepWindow_});
}

void TFormCalculator::CheckUnits1Click() {
    if (!checkUnitsWindow_) {
        checkUnitsWindow_ = new TFormCheckUnits(session_, this);
        session_.addHintTarget(checkUnitsWindow_);
        connect(checkUnitsWindow_, &TFormCheckUnits::placeChosen, this,
                [this](int from, int to, bool focus) {
                    QTextCursor cursor(MemoFormula->document());
                    cursor.setPosition(from);
                    cursor.setPosition(to, QTextCursor::KeepAnchor);
                    MemoFormula->setTextCursor(cursor);
                    MemoFormula->ensureCursorVisible();
                    if (!focus) return;
                    activateWindow();
                    MemoFormula->setFocus();
                });
    }
    if (checkUnitsWindow_->isHidden())
        PlaceBeside(checkUnitsWindow_, this, {loopWindow_, explainWindow_});
    checkUnitsWindow_->check();
    ShowWithoutModality(checkUnitsWindow_);
}

void TFormCalculator::Uncertainty1Click() {
    if (!uncertaintyWindow_) {
        uncertaintyWindow_ = new TFormUncertainty(session_, interaction_, this);
        session_.addHintTarget(uncertaintyWindow_);
    }
    uncertaintyWindow_->showBeside(
        this, {loopWindow_, explainWindow_, sweepWindow_, goalSeekWindow_, checkUnitsWindow_});
}

void TFormCalculator::Solve1Click() {
    if (!solveWindow_) {
        solveWindow_ = new TFormSolve(session_, interaction_, this);
        session_.addHintTarget(solveWindow_);
    }
    solveWindow_->showBeside(
        this, {loopWindow_, explainWindow_, sweepWindow_, goalSeekWindow_, checkUnitsWindow_});
}

void TFormCalculator::Optimise1Click() {
    if (!optimiseWindow_) {
        optimiseWindow_ = new TFormOptimise(session_, interaction_, this);
        session_.addHintTarget(optimiseWindow_);
    }
    optimiseWindow_->showBeside(this, {loopWindow_, explainWindow_, sweepWindow_, goalSeekWindow_,
                                       checkUnitsWindow_, solveWindow_});
}

void TFormCalculator::Fit1Click() {
    if (!fitWindow_) {
        fitWindow_ = new TFormFit(session_, interaction_, this);
        session_.addHintTarget(fitWindow_);
    }
    fitWindow_->showBeside(this, {loopWindow_, explainWindow_, sweepWindow_, goalSeekWindow_,
                                  checkUnitsWindow_, solveWindow_, optimiseWindow_});
}

void TFormCalculator::About1Click() {
    session_.helpFiles().open(interaction_, 0, this);
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
    formulaEditor_->InsertName(operatorModel_->selectedName(StringGridOperators));
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
    return documentCommands_->FormCloseQuery();
}

void TFormCalculator::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (const std::optional<QString> failure = session_.writeSettings()) {
        interaction_.showError(this, *failure);
    }
    SaveWindowPlacement(this, objectName());
    reportUserSettingsProblem();
    event->accept();
    emit closed();
}

}  // namespace quantaro
