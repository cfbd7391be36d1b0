#include "run/TFormLoopSelect.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "interaction/ContextHelp.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "run/LoopNumbers.h"
#include "run/RunControl.h"
#include "run/TFormTrajectory.h"

namespace quantaro {
namespace {

constexpr int kLoopHelp = 17;
constexpr int kTimerIntervalMs = 1;
constexpr int kNamesPollMs = 250;

constexpr char kBadLoopCount[] = "Number of loops must be a positive integer";

QSpinBox* MakeSpinEdit(const char* name, int highest, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(0, highest);
    spin->setMinimumWidth(64);
    return spin;
}

QLineEdit* MakeEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

}  // namespace

TFormLoopSelect::TFormLoopSelect(RunControl& run, UserInteraction& interaction, QWidget* parent)
    : QWidget(parent, Qt::Window),
      run_(run),
      interaction_(interaction),
      runner_(run, *this),
      recorder_(run.variables()) {
    runner_.setRecorder(&recorder_);
    setObjectName(QStringLiteral("TFormLoopSelect"));
    setWindowTitle(QStringLiteral("Quantaro - Continuous loop"));
    setFont(CaptionFont());
    buildControls();
    registerHints();
    wireControls();
    FormCreate();
}

void TFormLoopSelect::buildControls() {
    auto* GroupBox1 = new QGroupBox(QStringLiteral("Set Number of loops"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    SpinEdit1 = MakeSpinEdit("SpinEdit1", 999, GroupBox1);
    SpinEdit2 = MakeSpinEdit("SpinEdit2", 999, GroupBox1);
    QLabel* power = MakeLabel(QStringLiteral("X 10^"), "Label1", GroupBox1);
    QFont bold = power->font();
    bold.setBold(true);
    power->setFont(bold);
    auto* spins = new QGridLayout(GroupBox1);
    spins->addWidget(MakeLabel(QStringLiteral("0 - 999"), "Label4", GroupBox1), 0, 0);
    spins->addWidget(MakeLabel(QStringLiteral("0 - 999"), "Label5", GroupBox1), 0, 2);
    spins->addWidget(SpinEdit1, 1, 0);
    spins->addWidget(power, 1, 1, Qt::AlignCenter);
    spins->addWidget(SpinEdit2, 1, 2);

    EditLoops = MakeEdit("EditLoops", this);
    EditCompleteLoops = MakeEdit("EditCompleteLoops", this);
    EditCompleteLoops->setReadOnly(true);
    SpinEditEquation = MakeSpinEdit("SpinEditEquation", 100, this);

    ButtonStart = MakeButton(QStringLiteral("&Start loop"), "ButtonStart", this);
    ButtonStop = MakeButton(QStringLiteral("S&top loop"), "ButtonStop", this);
    ButtonReset = MakeButton(QStringLiteral("&Reset"), "ButtonReset", this);
    ButtonStep = MakeButton(QStringLiteral("Single st&ep"), "ButtonStep", this);
    BitBtnCancel = MakeButton(QStringLiteral("&Cancel"), "BitBtnCancel", this);
    BitBtnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    auto* counts = new QGridLayout;
    counts->addWidget(MakeLabel(QStringLiteral("Number of loops to execute"), "Label2", this), 0,
                      0);
    counts->addWidget(EditLoops, 0, 1);
    counts->addWidget(MakeLabel(QStringLiteral("Loops completed"), "Label3", this), 1, 0);
    counts->addWidget(EditCompleteLoops, 1, 1);
    auto* equation = new QHBoxLayout;
    equation->addWidget(MakeLabel(QStringLiteral("Equation Number"), "Label8", this));
    equation->addWidget(SpinEditEquation);
    equation->addWidget(MakeLabel(QStringLiteral("0 = All Equations"), "Label9", this));
    equation->addStretch();

    auto* record = new QGroupBox(QStringLiteral("Record variables"), this);
    record->setObjectName(QStringLiteral("GroupBoxRecord"));
    ListRecord = new QListWidget(record);
    ListRecord->setObjectName(QStringLiteral("ListRecord"));
    KeepIndicatorsVisible(ListRecord);
    ListRecord->setFixedHeight(ListRecord->fontMetrics().height() * 5 + 8);
    LabelRecorded = MakeLabel(QString(), "LabelRecorded", record);
    // Two lines kept, so that the window keeps its size when the second comes.
    LabelRecorded->setMinimumHeight(LabelRecorded->fontMetrics().lineSpacing() * 2);
    LabelRecorded->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ButtonTrajectory = MakeButton(QStringLiteral("Tra&jectory"), "ButtonTrajectory", this);
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
    layout->addWidget(MakeLabel(QStringLiteral("Results may change if variables containing the "),
                                "Label6", this));
    layout->addWidget(MakeLabel(
        QStringLiteral("results of equations are fed back into the equations."), "Label7", this));
    layout->addWidget(record);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ChainTabOrder({SpinEdit1, SpinEdit2, EditLoops, SpinEditEquation, ListRecord, ButtonStart,
                   ButtonStop, ButtonReset, ButtonStep, ButtonTrajectory, BitBtnCancel});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerIntervalMs);
    // The table's names change from other windows (a file opened, a row
    // renamed); the record list catches up a few times a second.
    TimerNames = new QTimer(this);
    TimerNames->setObjectName(QStringLiteral("TimerNames"));
    TimerNames->setInterval(kNamesPollMs);
}

void TFormLoopSelect::registerHints() {
    hints_.add(this, QStringLiteral("Run all equations many times"));
    hints_.add(SpinEdit1, QStringLiteral("Set number of loops to execute"));
    hints_.add(SpinEdit2, QStringLiteral("Multiply by powers of 10"));
    hints_.add(EditLoops, QStringLiteral("Contains value set by spin controls above"));
    hints_.add(EditCompleteLoops, QStringLiteral("Progress monitor"));
    hints_.add(SpinEditEquation, QStringLiteral("Click arrows to increase or decrease number"));
    hints_.add(ButtonStart, QStringLiteral("Only works if more than 0 loops selected"));
    hints_.add(ButtonStop, QStringLiteral("Interrupt execution"));
    hints_.add(ButtonReset, QStringLiteral("Loops completed set to 0"));
    hints_.add(ButtonStep, QStringLiteral("One loop only"));
    hints_.add(BitBtnCancel, QStringLiteral("Return to main screen"));
    hints_.add(ListRecord, QStringLiteral("Tick the variables to record after every loop"));
    hints_.add(ButtonTrajectory, QStringLiteral("Plot the recorded variables"));

    // The window names no help file, so F1 opens no help here; the numbers
    // are carried all the same.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             this, ButtonStart, BitBtnCancel, ButtonStop, EditCompleteLoops, ButtonReset,
             ButtonStep, EditLoops, SpinEdit1, SpinEdit2}) {
        ContextHelp::setContext(widget, kLoopHelp);
    }
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
    connect(Timer1, &QTimer::timeout, this, &TFormLoopSelect::Timer1Timer);
    connect(ListRecord, &QListWidget::itemChanged, this, &TFormLoopSelect::ListRecordItemChanged);
    connect(ButtonTrajectory, &QPushButton::clicked, this, &TFormLoopSelect::ButtonTrajectoryClick);
    connect(TimerNames, &QTimer::timeout, this, &TFormLoopSelect::refreshRecordList);
}

// The runner starts idle; it takes the controls' first values.
void TFormLoopSelect::FormCreate() {
    EditLoopsChange();
    SpinEditEquationChange();
}

void TFormLoopSelect::setActive(bool active) {
    if (!active) {
        Timer1->stop();
    } else if (!Timer1->isActive()) {
        Timer1->start();
    }
}

bool TFormLoopSelect::active() const {
    return Timer1->isActive();
}

void TFormLoopSelect::setHintsShown(bool shown) {
    hints_.setShown(shown);
    hintsShown_ = shown;
    if (trajectoryWindow_) trajectoryWindow_->setHintsShown(shown);
}

void TFormLoopSelect::showTrajectoryWindow() {
    if (!trajectoryWindow_) {
        trajectoryWindow_ =
            new TFormTrajectory(recorder_.trajectory(), run_.variables(), interaction_, this);
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
    runner_.setLimitText(EditLoops->text().toStdString());
}

void TFormLoopSelect::ButtonStartClick() {
    switch (runner_.start()) {
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
    runner_.stop();
}

void TFormLoopSelect::ButtonResetClick() {
    runner_.reset();
    recorder_.clear();
    recorder_.takeChoice();
    refreshRecordList();
    showCompletedCount();
}

void TFormLoopSelect::ButtonStepClick() {
    const LoopReport report = runner_.step();
    showProgress();
    // A step is a command of its own, so a fault is shown as the menu
    // commands show it.
    if (report.error) showError(*report.error);
}

void TFormLoopSelect::SpinEditEquationChange() {
    runner_.selectEquation(SpinEditEquation->value());
}

void TFormLoopSelect::BitBtnCancelClick() {
    runner_.cancel();
    showCompletedCount();
    SpinEditEquation->setValue(0);
    hide();
}

void TFormLoopSelect::closeEvent(QCloseEvent* event) {
    BitBtnCancelClick();
    event->accept();
}

void TFormLoopSelect::showEvent(QShowEvent* event) {
    refreshRecordList();
    TimerNames->start();
    QWidget::showEvent(event);
}

void TFormLoopSelect::hideEvent(QHideEvent* event) {
    TimerNames->stop();
    QWidget::hideEvent(event);
}

// One checkable item per named variable; rebuilt only when the names change.
void TFormLoopSelect::refreshRecordList() {
    const std::uint64_t stamp = run_.variables().namesStamp();
    if (stamp == recordListStamp_) return showRecordedCount();
    recordListStamp_ = stamp;
    recorder_.takeChoice();
    const QSignalBlocker quiet(ListRecord);
    ListRecord->clear();
    for (const RecordChoice& choice : recorder_.choices()) {
        auto* item = new QListWidgetItem(QString::fromStdString(choice.name), ListRecord);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(choice.recorded ? Qt::Checked : Qt::Unchecked);
    }
    showRecordedCount();
}

void TFormLoopSelect::ListRecordItemChanged(QListWidgetItem* item) {
    recorder_.setRecorded(item->text().toStdString(), item->checkState() == Qt::Checked);
    showRecordedCount();
}

// Says what is recorded, and whether rows have been dropped; the text changes
// seldom, so that a running loop does not lay the window out again.
void TFormLoopSelect::showRecordedCount() {
    const Trajectory& trajectory = recorder_.trajectory();
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

void TFormLoopSelect::Timer1Timer() {
    const LoopReport report = runner_.tick();
    // The error ended the batch, so its box comes before the batch's progress.
    if (report.error) showError(*report.error);
    if (report.showProgress) showProgress();
}

void TFormLoopSelect::showCompletedCount() {
    EditCompleteLoops->setText(QString::number(runner_.completedLoops()));
}

void TFormLoopSelect::showProgress() {
    showCompletedCount();
    showRecordedCount();  // the names are followed by TimerNames
    run_.showVariableValues();
}

void TFormLoopSelect::showError(const std::string& text) {
    interaction_.showError(this, QString::fromStdString(text));
}

}  // namespace quantaro
