#include "run/TFormSelectEquation.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"

namespace quantaro {
namespace {

constexpr int kSelectEquationHelp = 16;
constexpr int kHighestEquation = 100;

const ControlEntry kLayout[] = {
    {.name = "TFormSelectEquation",
     .text = QStringLiteral("Select Equation"),
     .hint = QStringLiteral("Test a single equation"),
     .helpContext = kSelectEquationHelp},
    {.name = "Label1", .text = QStringLiteral("Equation Number")},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number"),
     .helpContext = kSelectEquationHelp},
    {.name = "Label5", .text = QStringLiteral("0 = All equations")},
    {.name = "Label2", .text = QStringLiteral("WARNING: Running Equations in a ")},
    {.name = "Label3", .text = QStringLiteral("different order can change the overall ")},
    {.name = "Label4", .text = QStringLiteral("result if variables are used more than once")},
    {.name = "ButtonOK",
     .text = QStringLiteral("&OK"),
     .hint = QStringLiteral("Execute equation"),
     .helpContext = kSelectEquationHelp},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Return to main screen"),
     .helpContext = kSelectEquationHelp},
};

}  // namespace

TFormSelectEquation::TFormSelectEquation(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormSelectEquation"));
    setWindowTitle(FindControl(kLayout, "TFormSelectEquation").text);
    setFont(CaptionFont());
    setModal(true);

    SpinEditEquation = new QSpinBox(this);
    SpinEditEquation->setObjectName(QStringLiteral("SpinEditEquation"));
    SpinEditEquation->setRange(0, kHighestEquation);
    SpinEditEquation->setMinimumWidth(64);

    ButtonOK = MakeButton(kLayout, "ButtonOK", this);
    ButtonOK->setDefault(true);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormSelectEquation::ButtonCancelClick);

    auto* number = new QGridLayout;
    number->addWidget(MakeLabel(kLayout, "Label1", this), 0, 0);
    number->addWidget(SpinEditEquation, 0, 1);
    number->addWidget(MakeLabel(kLayout, "Label5", this), 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(number);
    layout->addSpacing(8);
    for (const char* line : {"Label2", "Label3", "Label4"}) {
        layout->addWidget(MakeLabel(kLayout, line, this));
    }
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ApplyControlTable(this, kLayout, hints_);
    ContextHelp::setNamesHelpFile(this);
}

std::span<const ControlEntry> TFormSelectEquation::Layout() {
    return kLayout;
}

bool TFormSelectEquation::choose() {
    adjustSize();
    CentreOnScreen(this);
    SpinEditEquation->setFocus();
    SpinEditEquation->selectAll();
    return exec() == QDialog::Accepted;
}

int TFormSelectEquation::equationNumber() const {
    return SpinEditEquation->value();
}

void TFormSelectEquation::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

void TFormSelectEquation::ButtonCancelClick() {
    SpinEditEquation->setValue(0);
    reject();
}

// Escape presses the Cancel button, so it too sets the number back to 0.
void TFormSelectEquation::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        ButtonCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace quantaro
