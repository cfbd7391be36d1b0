#include "run/TFormLoopSelect.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "run/TFormTrajectory.h"
#include "session/ContinuousLoop.h"
#include "session/LoopNumbers.h"
#include "session/LoopReplay.h"
#include "session/Session.h"

namespace quantaro {
namespace {

// The window names no help file, so F1 opens no help here; the numbers are
// carried all the same.
constexpr int kLoopHelp = 17;

constexpr char kBadLoopCount[] = "Number of loops must be a positive integer";

const ControlEntry kLayout[] = {
    {.name = "TFormLoopSelect",
     .text = QStringLiteral("Quantaro - Continuous loop"),
     .hint = QStringLiteral("Run all equations many times"),
     .helpContext = kLoopHelp},
    {.name = "GroupBox1", .text = QStringLiteral("Set Number of loops")},
    {.name = "Label4", .text = QStringLiteral("0 - 999")},
    {.name = "Label5", .text = QStringLiteral("0 - 999")},
    {.name = "SpinEdit1",
     .hint = QStringLiteral("Set number of loops to execute"),
     .helpContext = kLoopHelp},
    {.name = "Label1", .text = QStringLiteral("X 10^")},
    {.name = "SpinEdit2",
     .hint = QStringLiteral("Multiply by powers of 10"),
     .helpContext = kLoopHelp},
    {.name = "Label2", .text = QStringLiteral("Number of loops to execute")},
    {.name = "EditLoops",
     .text = QStringLiteral("0"),
     .hint = QStringLiteral("Contains value set by spin controls above"),
     .helpContext = kLoopHelp},
    {.name = "Label3", .text = QStringLiteral("Loops completed")},
    {.name = "EditCompleteLoops",
     .text = QStringLiteral("0"),
     .hint = QStringLiteral("Progress monitor"),
     .helpContext = kLoopHelp},
    {.name = "Label8", .text = QStringLiteral("Equation Number")},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label9", .text = QStringLiteral("0 = All Equations")},
    {.name = "Label6", .text = QStringLiteral("Results may change if variables containing the ")},
    {.name = "Label7",
     .text = QStringLiteral("results of equations are fed back into the equations.")},
    {.name = "GroupBoxRecord", .text = QStringLiteral("Record variables")},
    {.name = "ListRecord", .hint = QStringLiteral("Tick the variables to record after every loop")},
    {.name = "LabelRecorded"},
    {.name = "ButtonStart",
     .text = QStringLiteral("&Start loop"),
     .hint = QStringLiteral("Only works if more than 0 loops selected"),
     .helpContext = kLoopHelp},
    {.name = "ButtonStop",
     .text = QStringLiteral("S&top loop"),
     .hint = QStringLiteral("Interrupt execution"),
     .helpContext = kLoopHelp},
    {.name = "ButtonReset",
     .text = QStringLiteral("&Reset"),
     .hint = QStringLiteral("Loops completed set to 0"),
     .helpContext = kLoopHelp},
    {.name = "ButtonStep",
     .text = QStringLiteral("Single st&ep"),
     .hint = QStringLiteral("One loop only"),
     .helpContext = kLoopHelp},
    {.name = "ButtonTrajectory",
     .text = QStringLiteral("Tra&jectory"),
     .hint = QStringLiteral("Plot the recorded variables")},
    {.name = "BitBtnCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Return to main screen"),
     .helpContext = kLoopHelp},
};

QSpinBox* MakeSpinEdit(const char* name, int highest, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(0, highest);
    spin->setMinimumWidth(64);
    return spin;
}

QLineEdit* MakeEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(FindControl(kLayout, name).text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

}  // namespace

std::span<const ControlEntry> TFormLoopSelect::Layout() {
    return kLayout;
}

TFormLoopSelect::TFormLoopSelect(Session& session, UserInteraction& interaction, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      loop_(session.loop()),
      interaction_(interaction) {
    setObjectName(QStringLiteral("TFormLoopSelect"));
    setWindowTitle(FindControl(kLayout, "TFormLoopSelect").text);
    setFont(CaptionFont());
    buildControls();
    ApplyControlTable(this, kLayout, hints_);
    wireControls();
    FormCreate();
}

void TFormLoopSelect::buildControls() {
    auto* GroupBox1 = new QGroupBox(FindControl(kLayout, "GroupBox1").text, this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    SpinEdit1 = MakeSpinEdit("SpinEdit1", 999, GroupBox1);
    SpinEdit2 = MakeSpinEdit("SpinEdit2", 999, GroupBox1);
    QLabel* power = MakeLabel(kLayout, "Label1", GroupBox1);
    QFont bold = power->font();
    bold.setBold(true);
    power->setFont(bold);
    auto* spins = new QGridLayout(GroupBox1);
    spins->addWidget(MakeLabel(kLayout, "Label4", GroupBox1), 0, 0);
    spins->addWidget(MakeLabel(kLayout, "Label5", GroupBox1), 0, 2);
    spins->addWidget(SpinEdit1, 1, 0);
    spins->addWidget(power, 1, 1, Qt::AlignCenter);
    spins->addWidget(SpinEdit2, 1, 2);

    EditLoops = MakeEdit("EditLoops", this);
    EditCompleteLoops = MakeEdit("EditCompleteLoops", this);
    EditCompleteLoops->setReadOnly(true);
    SpinEditEquation = MakeSpinEdit("SpinEditEquation", 100, this);

    ButtonStart = MakeButton(kLayout, "ButtonStart", this);
    ButtonStop = MakeButton(kLayout, "ButtonStop", this);
    ButtonReset = MakeButton(kLayout, "ButtonReset", this);
    ButtonStep = MakeButton(kLayout, "ButtonStep", this);
    BitBtnCancel = MakeButton(kLayout, "BitBtnCancel", this);
    BitBtnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    auto* counts = new QGridLayout;
    counts->addWidget(MakeLabel(kLayout, "Label2", this), 0, 0);
    counts->addWidget(EditLoops, 0, 1);
    counts->addWidget(MakeLabel(kLayout, "Label3", this), 1, 0);
    counts->addWidget(EditCompleteLoops, 1, 1);
    auto* equation = new QHBoxLayout;
    equation->addWidget(MakeLabel(kLayout, "Label8", this));
    equation->addWidget(SpinEditEquation);
    equation->addWidget(MakeLabel(kLayout, "Label9", this));
    equation->addStretch();

    auto* record = new QGroupBox(FindControl(kLayout, "GroupBoxRecord").text, this);
    record->setObjectName(QStringLiteral("GroupBoxRecord"));
    ListRecord = new QListWidget(record);
    ListRecord->setObjectName(QStringLiteral("ListRecord"));
    KeepIndicatorsVisible(ListRecord);
    ListRecord->setFixedHeight(ListRecord->fontMetrics().height() * 5 + 8);
    LabelRecorded = MakeLabel(kLayout, "LabelRecorded", record);
    // Two lines kept, so that the window keeps its size when the second comes.
    LabelRecorded->setMinimumHeight(LabelRecorded->fontMetrics().lineSpacing() * 2);
    LabelRecorded->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ButtonTrajectory = MakeButton(kLayout, "ButtonTrajectory", this);
    auto* recordLayout = new QVBoxLayout(record);
    recordLayout->addWidget(ListRecord);
    recordLayout->addWidget(LabelRecorded);

    auto* buttons = new QGridLayout;
    buttons->addWidget(ButtonStart, 0, 0);
    buttons->addWidget(ButtonStop, 0, 1);
    buttons->addWidget(ButtonReset, 0, 2);
    buttons->addWidget(ButtonStep, 1, 0);
    buttons->addWidget(ButtonTrajectory, 1, 1);
    buttons->addWidget(BitBtnCancel, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(GroupBox1);
    layout->addLayout(counts);
    layout->addLayout(equation);
    layout->addWidget(MakeLabel(kLayout, "Label6", this));
    layout->addWidget(MakeLabel(kLayout, "Label7", this));
    layout->addWidget(record);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ChainTabOrder({SpinEdit1, SpinEdit2, EditLoops, SpinEditEquation, ListRecord, ButtonStart,
                   ButtonStop, ButtonReset, ButtonStep, ButtonTrajectory, BitBtnCancel});
}

void TFormLoopSelect::wireControls() {
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TFormLoopSelect::SpinEdit1Change);
    connect(SpinEdit2, &QSpinBox::valueChanged, this, &TFormLoopSelect::SpinEdit1Change);
    connect(EditLoops, &QLineEdit::textChanged, this, &TFormLoopSelect::EditLoopsChange);
    connect(SpinEditEquation, &QSpinBox::valueChanged, this,
            &TFormLoopSelect::SpinEditEquationChange);
    connect(ButtonStart, &QPushButton::clicked, this, &TFormLoopSelect::ButtonStartClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TFormLoopSelect::ButtonStopClick);
    connect(ButtonReset, &QPushButton::clicked, this, &TFormLoopSelect::ButtonResetClick);
    connect(ButtonStep, &QPushButton::clicked, this, &TFormLoopSelect::ButtonStepClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormLoopSelect::BitBtnCancelClick);
    connect(ListRecord, &QListWidget::itemChanged, this, &TFormLoopSelect::ListRecordItemChanged);
    connect(ButtonTrajectory, &QPushButton::clicked, this, &TFormLoopSelect::ButtonTrajectoryClick);

    connect(&loop_, &ContinuousLoop::progressed, this, &TFormLoopSelect::showProgress);
    connect(&loop_, &ContinuousLoop::failed, this, &TFormLoopSelect::showError);
    // The table's names change from other windows (a file opened, a row
    // renamed); the record list follows them while it is shown.
    connect(&session_, &Session::namesChanged, this, [this](Document table) {
        if (table == Document::Variables && isVisible()) refreshRecordList();
    });
}

// The loop starts idle; it takes the controls' first values.
void TFormLoopSelect::FormCreate() {
    EditLoopsChange();
    SpinEditEquationChange();
}

bool TFormLoopSelect::loopStopped() const {
    return loop_.stopped();
}

bool TFormLoopSelect::timerEnabled() const {
    return loop_.timerEnabled();
}

std::int64_t TFormLoopSelect::loopCounter() const {
    return loop_.counter();
}

std::int32_t TFormLoopSelect::loopEquation() const {
    return loop_.equation();
}

const Trajectory& TFormLoopSelect::trajectory() const {
    return loop_.trajectory();
}

void TFormLoopSelect::setHintsShown(bool shown) {
    hints_.setShown(shown);
    hintsShown_ = shown;
    if (trajectoryWindow_) trajectoryWindow_->setHintsShown(shown);
}

void TFormLoopSelect::showTrajectoryWindow() {
    if (!trajectoryWindow_) {
        trajectoryWindow_ =
            new TFormTrajectory(loop_.trajectory(), session_.variables(), interaction_, this);
        connect(&loop_, &ContinuousLoop::trajectoryChanged, trajectoryWindow_,
                &TFormTrajectory::followTrajectory);
        trajectoryWindow_->setCommandSource(
            [this](QString& fault) { return LoopCommandLine(session_, fault); });
        trajectoryWindow_->setHintsShown(hintsShown_);
        PlaceBeside(trajectoryWindow_, mainWindow_ ? mainWindow_ : this, {this});
    }
    ShowWithoutModality(trajectoryWindow_);
}

void TFormLoopSelect::SpinEdit1Change() {
    EditLoops->setText(
        QString::fromStdString(LoopCountText(SpinEdit1->value(), SpinEdit2->value())));
}

void TFormLoopSelect::EditLoopsChange() {
    loop_.setLimitText(EditLoops->text().toStdString());
}

void TFormLoopSelect::ButtonStartClick() {
    switch (loop_.start()) {
        case LoopStart::Started:
            ButtonStop->setFocus();
            break;
        case LoopStart::LimitNotAnInteger:
            interaction_.showInformation(this, QString::fromLatin1(kBadLoopCount));
            break;
        case LoopStart::NothingToRun:
            break;
    }
}

void TFormLoopSelect::ButtonStopClick() {
    loop_.stop();
}

void TFormLoopSelect::ButtonResetClick() {
    loop_.reset();
    showRecordedCount();
    showCompletedCount();
}

void TFormLoopSelect::ButtonStepClick() {
    loop_.step();
}

void TFormLoopSelect::SpinEditEquationChange() {
    loop_.selectEquation(SpinEditEquation->value());
}

void TFormLoopSelect::BitBtnCancelClick() {
    loop_.cancel();
    showCompletedCount();
    SpinEditEquation->setValue(0);
    hide();
}

void TFormLoopSelect::closeEvent(QCloseEvent* event) {
    BitBtnCancelClick();
    event->accept();
}

// The names may have changed while the window was hidden. A window restored
// by the window system has followed them all along.
void TFormLoopSelect::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) refreshRecordList();
    QWidget::showEvent(event);
}

// One checkable item per named variable.
void TFormLoopSelect::refreshRecordList() {
    const QSignalBlocker quiet(ListRecord);
    ListRecord->clear();
    for (const RecordChoice& choice : loop_.recordChoices()) {
        auto* item = new QListWidgetItem(QString::fromStdString(choice.name), ListRecord);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(choice.recorded ? Qt::Checked : Qt::Unchecked);
    }
    showRecordedCount();
}

void TFormLoopSelect::ListRecordItemChanged(QListWidgetItem* item) {
    loop_.setRecorded(item->text().toStdString(), item->checkState() == Qt::Checked);
    showRecordedCount();
}

// Says what is recorded, and whether rows have been dropped; the text changes
// seldom, so that a running loop does not lay the window out again.
void TFormLoopSelect::showRecordedCount() {
    const Trajectory& trajectory = loop_.trajectory();
    const std::size_t chosen = trajectory.columnCount();
    QString text =
        chosen == 0
            ? QStringLiteral("Recording off")
            : QStringLiteral("Recording %1 variable%2").arg(chosen).arg(chosen == 1 ? "" : "s");
    if (trajectory.thinned()) {
        text += QStringLiteral("\nHistory thinned: one pass in %1 kept").arg(trajectory.stride());
    }
    if (LabelRecorded->text() != text) LabelRecorded->setText(text);
}

void TFormLoopSelect::showCompletedCount() {
    EditCompleteLoops->setText(QString::number(loop_.completedLoops()));
}

void TFormLoopSelect::showProgress() {
    showCompletedCount();
    showRecordedCount();
}

void TFormLoopSelect::showError(const QString& text) {
    interaction_.showError(this, text);
}

}  // namespace quantaro
