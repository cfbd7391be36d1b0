#include "tables/TFormVariables.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"

namespace quantaro {
namespace {

constexpr int kVariablesHelp = 13;
const QString kAdding = QStringLiteral("ADDING");
const QString kChanging = QStringLiteral("CHANGING");

QLabel* MakeEditModeLabel(QWidget* parent) {
    QLabel* label = MakeLabel(QStringLiteral("Edit Mode"), "Label4", parent);
    PlaceAt(label, 496, 304);
    return label;
}

QLineEdit* MakeEditMode(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("EditMode"));
    edit->setReadOnly(true);
    edit->setFont(FixedPitchFont(13));
    SetSignalColours(edit, QColor(0, 255, 0));
    edit->setGeometry(496, 320, 121, 24);
    ContextHelp::setContext(edit, kVariablesHelp);
    return edit;
}

}  // namespace

EntryScreen::Setup TFormVariables::ScreenSetup() {
    Setup setup;
    setup.table = Document::Variables;
    setup.windowName = QStringLiteral("FormVariables");
    setup.title = QStringLiteral("QUANTARO - Variable Entry Screen");
    setup.texts = VariableEntryTexts();
    setup.helpContext = kVariablesHelp;
    setup.editHelpContext = 19;
    setup.changeHelpContext = 21;
    setup.grid = {QStringLiteral("StringGridVariablesEntry"),
                  {},
                  QStringLiteral("Table of variables entered.  Click to change.")};
    setup.gridGeometry = QRect(8, 16, 473, 401);
    setup.columnWidths = {169, 180, 132};
    setup.labels = {QStringLiteral("Variable name"), QStringLiteral("Variable value"),
                    QStringLiteral("Units")};
    setup.edits = {{
        {QStringLiteral("EditVariableName"), QStringLiteral("VDEFAULT"),
         QStringLiteral("Enter unique name, then press ENTER")},
        {QStringLiteral("EditVariableValue"), QStringLiteral("0"),
         QStringLiteral("Enter valid real number, then press ENTER")},
        {QStringLiteral("EditVariableUnit"), {}, QStringLiteral("Units are optional, press ENTER")},
    }};
    setup.commands = {{
        {QStringLiteral("ButtonVariableAdd"), QStringLiteral("&Add variable to list"),
         QStringLiteral("Appends variable to bottom of table")},
        {QStringLiteral("ButtonInsertVariable"), QStringLiteral("&Insert Variable"),
         QStringLiteral("Inserts variable above selected position")},
        {QStringLiteral("ButtonVariableChange"), QStringLiteral("&Change Variable"),
         QStringLiteral("Changes name, value and units of selected variable")},
        {QStringLiteral("ButtonVariableRemove"), QStringLiteral("&Remove Variable"),
         QStringLiteral("Deletes selected variable")},
    }};
    setup.commandTops = {168, 200, 232, 264};
    setup.cancelHint = QStringLiteral("Return to original variable table");
    return setup;
}

TFormVariables::TFormVariables(Session& session, UserInteraction& interaction, QWidget* parent)
    : EntryScreen(ScreenSetup(), session, interaction, parent),
      StringGridVariablesEntry(grid()),
      Label1(label(0)),
      Label2(label(1)),
      Label3(label(2)),
      Label4(MakeEditModeLabel(this)),
      EditVariableName(nameEdit()),
      EditVariableValue(valueEdit()),
      EditVariableUnit(unitsEdit()),
      ButtonVariableAdd(addButton()),
      ButtonInsertVariable(insertButton()),
      ButtonVariableChange(changeButton()),
      ButtonVariableRemove(removeButton()),
      EditMode(MakeEditMode(this)),
      ButtonOK(okButton()),
      ButtonCancel(cancelButton()) {
    connect(EditMode, &QLineEdit::textChanged, this, [this] { EditModeChange(); });
    hints().add(EditMode, QStringLiteral("You are either adding a new variable or changing one"));
    ChainTabOrder({StringGridVariablesEntry, EditVariableName, EditVariableValue, EditVariableUnit,
                   ButtonVariableAdd, ButtonInsertVariable, ButtonVariableChange,
                   ButtonVariableRemove, ButtonOK, ButtonCancel, EditMode});
    FormCreate();
}

void TFormVariables::FormCreate() {
    // EditMode stays empty until the mode is first shown.
    mode_ = Mode::Adding;
}

void TFormVariables::setMode(Mode mode) {
    mode_ = mode;
    StringGridVariablesEntryDrawCell();
}

void TFormVariables::StringGridVariablesEntryDrawCell() {
    EditMode->setText(mode_ == Mode::Changing ? kChanging : kAdding);
}

void TFormVariables::EditModeChange() {
    SetTextColour(EditMode, EditMode->text() == kAdding ? QColor(0, 255, 0) : QColor(255, 0, 0));
}

void TFormVariables::EditVariableNameClick() {
    setMode(Mode::Adding);
}

void TFormVariables::afterShown() {
    setMode(Mode::Adding);
}

void TFormVariables::beforeAddOrInsert() {
    // Set before the checks, so that a refused Add still leaves adding mode.
    setMode(Mode::Adding);
}

void TFormVariables::afterGridSelection() {
    setMode(Mode::Changing);
    focusAndSelect(EditVariableValue);
}

void TFormVariables::nameEditClicked() {
    EditVariableNameClick();
}

void TFormVariables::valueEnterPressed() {
    if (mode_ == Mode::Adding) {
        EntryScreen::valueEnterPressed();
        return;
    }
    // Back to the grid for the next row, unless the change was refused and
    // the focus went to the edit that needs retyping.
    if (changeClick()) StringGridVariablesEntry->setFocus(Qt::OtherFocusReason);
}

void TFormVariables::unitsEnterPressed() {
    if (mode_ == Mode::Adding) {
        EntryScreen::unitsEnterPressed();
        return;
    }
    focusAndSelect(EditVariableValue);
    changeClick();
}

}  // namespace quantaro
