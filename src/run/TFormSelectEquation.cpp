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

}  // namespace

TFormSelectEquation::TFormSelectEquation(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormSelectEquation"));
    setWindowTitle(QStringLiteral("Select Equation"));
    setFont(CaptionFont());
    setModal(true);

    SpinEditEquation = new QSpinBox(this);
    SpinEditEquation->setObjectName(QStringLiteral("SpinEditEquation"));
    SpinEditEquation->setRange(0, kHighestEquation);
    SpinEditEquation->setMinimumWidth(64);

    ButtonOK = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormSelectEquation::ButtonCancelClick);

    auto* number = new QGridLayout;
    number->addWidget(MakeLabel(QStringLiteral("Equation Number"), "Label1", this), 0, 0);
    number->addWidget(SpinEditEquation, 0, 1);
    number->addWidget(MakeLabel(QStringLiteral("0 = All equations"), "Label5", this), 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(number);
    layout->addSpacing(8);
    layout->addWidget(
        MakeLabel(QStringLiteral("WARNING: Running Equations in a "), "Label2", this));
    layout->addWidget(
        MakeLabel(QStringLiteral("different order can change the overall "), "Label3", this));
    layout->addWidget(
        MakeLabel(QStringLiteral("result if variables are used more than once"), "Label4", this));
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    hints_.add(this, QStringLiteral("Test a single equation"));
    hints_.add(SpinEditEquation, QStringLiteral("Click arrows to increase or decrease number"));
    hints_.add(ButtonOK, QStringLiteral("Execute equation"));
    hints_.add(ButtonCancel, QStringLiteral("Return to main screen"));

    ContextHelp::setNamesHelpFile(this);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{this, SpinEditEquation, ButtonOK, ButtonCancel}) {
        ContextHelp::setContext(widget, kSelectEquationHelp);
    }
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
