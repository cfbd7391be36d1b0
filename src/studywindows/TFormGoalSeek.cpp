#include "studywindows/TFormGoalSeek.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <string>
#include <utility>

#include "engine/Worksheet.h"
#include "interaction/ItemCheckStyle.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/FormulaRuns.h"
#include "session/Session.h"
#include "studywindows/StudyInputs.h"

namespace quantaro {
namespace {

// The run items' help context.
constexpr int kSeekHelp = 14;

const ControlEntry kLayout[] = {
    {.name = "TFormGoalSeek",
     .text = QStringLiteral("Quantaro - Goal Seek"),
     .hint = QStringLiteral("The input that gives a result its target, found without changing "
                            "the tables"),
     .helpContext = kSeekHelp},
    {.name = "Label1", .text = QStringLiteral("Set"), .labelFor = "ComboResult"},
    {.name = "ComboResult", .hint = QStringLiteral("The variable to bring to the target")},
    {.name = "Label2", .text = QStringLiteral("to"), .labelFor = "EditTarget"},
    {.name = "EditTarget",
     .hint = QStringLiteral("The value it is to take"),
     .accessibleName = QStringLiteral("Target value")},
    {.name = "Label3", .text = QStringLiteral("by changing"), .labelFor = "ComboInput"},
    {.name = "ComboInput", .hint = QStringLiteral("The constant or variable to change")},
    {.name = "CheckBoxInterval",
     .text = QStringLiteral("Search between"),
     .hint = QStringLiteral("Without an interval the search goes outward from the input's "
                            "value")},
    {.name = "EditLow",
     .hint = QStringLiteral("One end of the interval"),
     .accessibleName = QStringLiteral("Search between, one end")},
    {.name = "Label4", .text = QStringLiteral("and"), .labelFor = "EditHigh"},
    {.name = "EditHigh",
     .hint = QStringLiteral("The other end"),
     .accessibleName = QStringLiteral("Search between, other end")},
    {.name = "Label5", .text = QStringLiteral("Equation Number"), .labelFor = "SpinEditEquation"},
    {.name = "SpinEditEquation",
     .hint = QStringLiteral("Click arrows to increase or decrease number")},
    {.name = "Label6", .text = QStringLiteral("0 = All equations")},
    {.name = "Label7", .text = QStringLiteral("Passes per trial"), .labelFor = "SpinEditPasses"},
    {.name = "SpinEditPasses",
     .hint = QStringLiteral("Runs of the formula at each trial, at most 10000")},
    {.name = "ButtonSeek",
     .text = QStringLiteral("S&eek"),
     .hint = QStringLiteral("Search for the value")},
    {.name = "ButtonCancel",
     .text = QStringLiteral("&Cancel"),
     .hint = QStringLiteral("Stop the search")},
    {.name = "LabelOutcome"},
    {.name = "ButtonStore",
     .text = QStringLiteral("&Store"),
     .hint = QStringLiteral("Write the value found into the input's cell and run the formula")},
    {.name = "ButtonCopyCommand",
     .text = QStringLiteral("Cop&y as Command"),
     .hint =
         QStringLiteral("Copy the quantaro-cli line that runs this goal seek again on the saved "
                        "files")},
    {.name = "ButtonClose",
     .text = QStringLiteral("C&lose"),
     .hint = QStringLiteral("Return to main screen; nothing changes")},
};

Document DocumentOf(InputTable table) {
    return table == InputTable::Constants ? Document::Constants : Document::Variables;
}

}  // namespace

TFormGoalSeek::TFormGoalSeek(Session& session, UserInteraction& interaction, QWidget* parent)
    : StudyWindow(session, interaction, kLayout, "TFormGoalSeek", parent), session_(session) {
    buildControls();
    setUpStudyControls({.run = ButtonSeek,
                        .cancel = ButtonCancel,
                        .close = ButtonClose,
                        .store = ButtonStore,
                        .copyCommand = ButtonCopyCommand});
    connect(CheckBoxInterval, &QCheckBox::clicked, this, &TFormGoalSeek::CheckBoxIntervalClick);
    connect(ButtonSeek, &QPushButton::clicked, this, &TFormGoalSeek::ButtonSeekClick);
    showRunning(false);
    CheckBoxIntervalClick();
    // Placed beside the main window before it is first shown, at the size it shows at.
    adjustSize();
}

TFormGoalSeek::~TFormGoalSeek() {
    stopStudy();
}

std::span<const ControlEntry> TFormGoalSeek::Layout() {
    return kLayout;
}

void TFormGoalSeek::buildControls() {
    ComboResult = new QComboBox(this);
    ComboResult->setObjectName(QStringLiteral("ComboResult"));
    ComboResult->setMinimumContentsLength(10);
    EditTarget = MakeStudyEdit("EditTarget", this);
    ComboInput = new QComboBox(this);
    ComboInput->setObjectName(QStringLiteral("ComboInput"));
    ComboInput->setMinimumContentsLength(10);
    CheckBoxInterval = new QCheckBox(FindControl(kLayout, "CheckBoxInterval").text, this);
    CheckBoxInterval->setObjectName(QStringLiteral("CheckBoxInterval"));
    KeepIndicatorsVisible(CheckBoxInterval);
    EditLow = MakeStudyEdit("EditLow", this);
    EditHigh = MakeStudyEdit("EditHigh", this);
    SpinEditEquation = MakeStudySpinEdit("SpinEditEquation", 0, 100, 0, this);
    SpinEditPasses = MakeStudySpinEdit("SpinEditPasses", 1, kMaxStudyPasses, 1, this);
    ButtonSeek = MakeButton(kLayout, "ButtonSeek", this);
    ButtonCancel = MakeButton(kLayout, "ButtonCancel", this);
    LabelOutcome = MakeLabel(kLayout, "LabelOutcome", this);
    LabelOutcome->setWordWrap(true);
    LabelOutcome->setMinimumHeight(4 * LabelOutcome->fontMetrics().height());
    LabelOutcome->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ButtonStore = MakeButton(kLayout, "ButtonStore", this);
    ButtonCopyCommand = MakeButton(kLayout, "ButtonCopyCommand", this);
    ButtonClose = MakeButton(kLayout, "ButtonClose", this);

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(kLayout, "Label1", this), 0, 0);
    grid->addWidget(ComboResult, 0, 1);
    grid->addWidget(MakeLabel(kLayout, "Label2", this), 0, 2);
    grid->addWidget(EditTarget, 0, 3);
    grid->addWidget(MakeLabel(kLayout, "Label3", this), 1, 0);
    grid->addWidget(ComboInput, 1, 1);
    grid->addWidget(CheckBoxInterval, 2, 0);
    grid->addWidget(EditLow, 2, 1);
    grid->addWidget(MakeLabel(kLayout, "Label4", this), 2, 2);
    grid->addWidget(EditHigh, 2, 3);
    grid->addWidget(MakeLabel(kLayout, "Label5", this), 3, 0);
    grid->addWidget(SpinEditEquation, 3, 1);
    grid->addWidget(MakeLabel(kLayout, "Label6", this), 3, 2, 1, 2);
    grid->addWidget(MakeLabel(kLayout, "Label7", this), 4, 0);
    grid->addWidget(SpinEditPasses, 4, 1);

    auto* search = new QHBoxLayout;
    search->addWidget(ButtonSeek);
    search->addWidget(ButtonCancel);
    search->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonStore);
    buttons->addWidget(ButtonCopyCommand);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(grid);
    layout->addLayout(search);
    layout->addWidget(LabelOutcome, 1);
    layout->addLayout(buttons);
    ChainTabOrder({ComboResult, EditTarget, ComboInput, CheckBoxInterval, EditLow, EditHigh,
                   SpinEditEquation, SpinEditPasses, ButtonSeek, ButtonCancel, ButtonStore,
                   ButtonCopyCommand, ButtonClose});
}

void TFormGoalSeek::refresh() {
    OfferNames(ComboResult, VariableNames(session_.variables()));
    OfferNames(ComboInput, InputNames(session_.constants(), session_.variables()));
}

void TFormGoalSeek::CheckBoxIntervalClick() {
    EditLow->setEnabled(CheckBoxInterval->isChecked());
    EditHigh->setEnabled(CheckBoxInterval->isChecked());
}

std::optional<SeekSetup> TFormGoalSeek::readSetup(QString& fault) const {
    SeekSetup setup;
    setup.result = ComboResult->currentText().trimmed().toStdString();
    setup.input = ComboInput->currentText().trimmed().toStdString();
    const std::optional<long double> target = EditNumber(EditTarget);
    if (!target) {
        fault = QStringLiteral("The target must be a number");
        return std::nullopt;
    }
    setup.target = *target;
    if (CheckBoxInterval->isChecked()) {
        const std::optional<long double> low = EditNumber(EditLow);
        const std::optional<long double> high = EditNumber(EditHigh);
        if (!low || !high) {
            fault = QStringLiteral("Both ends of the interval must be numbers");
            return std::nullopt;
        }
        setup.interval = std::pair(*low, *high);
    }
    setup.run.equation = SpinEditEquation->value();
    setup.run.passes = SpinEditPasses->value();
    return setup;
}

void TFormGoalSeek::ButtonSeekClick() {
    if (!readyToStart()) return;
    QString fault;
    std::optional<SeekSetup> setup = readSetup(fault);
    Worksheet sheet = session_.worksheetCopy();
    if (setup && fault.isEmpty()) fault = QString::fromStdString(SeekSetupError(sheet, *setup));
    if (!fault.isEmpty()) {
        interaction().showError(this, fault);
        return;
    }
    setup_ = std::move(*setup);
    cell_ = FindInputCell(sheet, setup_.input);
    found_.reset();
    startStudy([this, sheet = std::move(sheet)](StudyControl& control) {
        found_ = GoalSeek(sheet, setup_, &control);
    });
    showOutcome(QStringLiteral("Searching\u2026"));
}

void TFormGoalSeek::showProgress(std::uint64_t done) {
    showOutcome(QStringLiteral("Searching\u2026 %1 trials").arg(done));
}

void TFormGoalSeek::studyFinished() {
    if (!job().error().empty()) {
        found_.reset();
        showOutcome(QString::fromStdString(job().error()));
    } else if (!found_ || !found_->succeeded()) {
        const QString message = found_ ? QString::fromStdString(found_->message) : QString();
        found_.reset();
        showOutcome(message);
    } else {
        showOutcome(QStringLiteral("%1 = %2\n%3 = %4\n%5 trials")
                        .arg(QString::fromStdString(setup_.input),
                             QString::fromStdString(found_->valueText),
                             QString::fromStdString(setup_.result),
                             QString::fromStdString(found_->resultText))
                        .arg(found_->trials));
    }
    showRunning(false);
}

bool TFormGoalSeek::hasResultToStore() const {
    return found_ && found_->succeeded() && cell_;
}

// The outcome, and, once the worksheet has changed, which change.
void TFormGoalSeek::showOutcome(const QString& outcome) {
    outcome_ = outcome;
    QString text = outcome;
    if (stale().stale() && !running()) {
        text += QStringLiteral(
                    "\nThe worksheet changed after the search (%1): seek again to "
                    "store a value.")
                    .arg(stale().changes());
    }
    LabelOutcome->setText(text);
}

// What the search found answers the worksheet as it was; once that changes,
// the value may no longer give the target.
void TFormGoalSeek::worksheetChanged() {
    if (running()) return;
    found_.reset();
    showOutcome(outcome_);
}

// The value's text goes into the cell as an inline edit writes it; the runs
// then show the solution in the tables, as the search's last trial did.
std::optional<QString> TFormGoalSeek::storeResult() {
    const Document document = DocumentOf(cell_->table);
    session_.setCell(document, ValueColumn, cell_->row, found_->valueText);
    FormulaRuns& runs = session_.runs();
    std::optional<std::string> fault;
    for (int pass = 0; pass < setup_.run.passes && !fault; ++pass) {
        fault = runs.runPass(setup_.run.equation);
        if (runs.lastRunFailed()) break;
    }
    session_.tableWritten(Document::Variables);
    if (!fault) return std::nullopt;
    return QString::fromStdString(*fault);
}

void TFormGoalSeek::resultStored() {
    found_.reset();
    showOutcome(outcome_ + QStringLiteral("\nStored in the tables."));
}

// The search as the last Seek read it; the batch runner prints what it found.
std::optional<ReplayCommand> TFormGoalSeek::replayCommand(QString&) const {
    ReplayCommand command;
    command.addRun(setup_.run);
    command.addOption("seek", setup_.result + '=' + ReplayNumber(setup_.target));
    command.addOption("by", setup_.input);
    if (setup_.interval) {
        command.addOption("between", ReplayRange(setup_.interval->first, setup_.interval->second));
    }
    return command;
}

}  // namespace quantaro
