#include "tables/TFormConstants.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <cmath>
#include <numbers>

#include "engine/Numbers.h"
#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"

namespace quantaro {
namespace {

constexpr int kConstantsHelp = 12;

QPushButton* MakeKnownConstantButton(const QString& caption, const QString& objectName, int left,
                                     QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setGeometry(left, 168, 49, 25);
    ContextHelp::setContext(button, kConstantsHelp);
    return button;
}

}  // namespace

EntryScreen::Setup TFormConstants::ScreenSetup() {
    Setup setup;
    setup.table = Document::Constants;
    setup.windowName = QStringLiteral("FormConstants");
    setup.title = QStringLiteral("QUANTARO - Constant Entry Screen");
    setup.texts = ConstantEntryTexts();
    setup.helpContext = kConstantsHelp;
    setup.editHelpContext = 18;
    setup.changeHelpContext = 20;
    setup.grid = {QStringLiteral("StringGridConstantsEntry"),
                  {},
                  QStringLiteral("Table of constants entered.  Click to change.")};
    setup.gridGeometry = QRect(8, 8, 473, 409);
    setup.columnWidths = {167, 180, 128};
    setup.labels = {QStringLiteral("Constant name"), QStringLiteral("Constant value"),
                    QStringLiteral("Units")};
    setup.edits = {{
        {QStringLiteral("EditConstantName"), QStringLiteral("CDEFAULT"),
         QStringLiteral("Enter unique name, then press ENTER")},
        {QStringLiteral("EditConstantValue"), QStringLiteral("0"),
         QStringLiteral("Enter valid real number, then press ENTER")},
        {QStringLiteral("EditConstantUnit"),
         {},
         QStringLiteral("Units are optional.  Press ENTER")},
    }};
    setup.commands = {{
        {QStringLiteral("ButtonConstantAdd"), QStringLiteral("&Add constant to list"),
         QStringLiteral("Appends new constant to bottom of table")},
        {QStringLiteral("ButtonInsertConstant"), QStringLiteral("&Insert Constant"),
         QStringLiteral("Inserts new constant at above selected position")},
        {QStringLiteral("ButtonConstantChange"), QStringLiteral("&Change Constant"),
         QStringLiteral("Changes name, value and units of selected constant")},
        {QStringLiteral("ButtonConstantRemove"), QStringLiteral("&Remove Constant"),
         QStringLiteral("Deletes selected constant")},
    }};
    setup.commandTops = {216, 248, 280, 312};
    setup.cancelHint = QStringLiteral("Return to original constant table");
    return setup;
}

TFormConstants::TFormConstants(Session& session, UserInteraction& interaction, QWidget* parent)
    : EntryScreen(ScreenSetup(), session, interaction, parent),
      StringGridConstantsEntry(grid()),
      Label1(label(0)),
      Label2(label(1)),
      Label3(label(2)),
      EditConstantName(nameEdit()),
      EditConstantValue(valueEdit()),
      EditConstantUnit(unitsEdit()),
      ButtonPi(
          MakeKnownConstantButton(QStringLiteral("&Pi"), QStringLiteral("ButtonPi"), 496, this)),
      ButtonE(MakeKnownConstantButton(QStringLiteral("&e"), QStringLiteral("ButtonE"), 568, this)),
      ButtonConstantAdd(addButton()),
      ButtonInsertConstant(insertButton()),
      ButtonConstantChange(changeButton()),
      ButtonConstantRemove(removeButton()),
      ButtonOK(okButton()),
      ButtonCancel(cancelButton()) {
    connect(ButtonPi, &QPushButton::clicked, this, [this] { ButtonPiClick(); });
    connect(ButtonE, &QPushButton::clicked, this, [this] { ButtonEClick(); });
    hints().add(ButtonPi, QStringLiteral("Adds Pi to constant table"));
    hints().add(ButtonE, QStringLiteral("Adds e to constant table"));
    ChainTabOrder({StringGridConstantsEntry, EditConstantName, EditConstantValue, EditConstantUnit,
                   ButtonConstantAdd, ButtonInsertConstant, ButtonConstantChange,
                   ButtonConstantRemove, ButtonPi, ButtonE, ButtonOK, ButtonCancel});
}

void TFormConstants::ButtonPiClick() {
    addKnownConstant(QStringLiteral("Pi"), std::numbers::pi_v<long double>);
}

void TFormConstants::ButtonEClick() {
    addKnownConstant(QStringLiteral("e"), std::exp(1.0L));
}

void TFormConstants::addKnownConstant(const QString& name, long double value) {
    EditConstantName->setText(name);
    EditConstantValue->setText(QString::fromStdString(FormatNumber(value)));
    EditConstantUnit->clear();
    addClick();
}

}  // namespace quantaro
