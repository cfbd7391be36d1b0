#include "studywindows/StudyWindow.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "charts/ChartFile.h"
#include "charts/PlotView.h"
#include "interaction/ContextHelp.h"
#include "interaction/ItemFocus.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"

namespace quantaro {
namespace {

constexpr int kProgressMs = 50;
// The progress bar's steps: a share of the total, as it may exceed an int.
constexpr int kProgressSteps = 1000;

}  // namespace

StudyWindow::StudyWindow(const Session& session, UserInteraction& interaction,
                         std::span<const ControlEntry> layout, const char* name, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      interaction_(interaction),
      layout_(layout),
      stale_(session) {
    setObjectName(QLatin1String(name));
    setWindowTitle(FindControl(layout_, name).text);
    setFont(CaptionFont());
    connect(&session, &Session::namesChanged, this, [this] { refresh(); });
    connect(&session, &Session::rowsReplaced, this, [this] { refresh(); });
    connect(&stale_, &StaleResults::changed, this, &StudyWindow::onWorksheetChanged);
}

StudyWindow::~StudyWindow() = default;

void StudyWindow::stopStudy() {
    job_.cancel();
    job_.wait();
}

void StudyWindow::setUpStudyControls(const StudyButtons& buttons) {
    buttons_ = buttons;
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TimerProgress"));
    timer_->setInterval(kProgressMs);
    ApplyControlTable(this, layout_, hints_);
    ContextHelp::setNamesHelpFile(this);
    connect(timer_, &QTimer::timeout, this, &StudyWindow::progressTick);
    connect(buttons_.cancel, &QPushButton::clicked, this, [this] { job_.cancel(); });
    connect(buttons_.close, &QPushButton::clicked, this, &QWidget::close);
    if (buttons_.store) connect(buttons_.store, &QPushButton::clicked, this, &StudyWindow::store);
    if (buttons_.saveChart) {
        connect(buttons_.saveChart, &QPushButton::clicked, this, &StudyWindow::saveChart);
    }
    if (buttons_.exportCsv) {
        connect(buttons_.exportCsv, &QPushButton::clicked, this, &StudyWindow::exportCsv);
    }
    if (buttons_.copyCommand) {
        connect(buttons_.copyCommand, &QPushButton::clicked, this, &StudyWindow::copyCommand);
    }
}

QProgressBar* StudyWindow::makeProgressBar(const char* name) {
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, kProgressSteps);
    bar->setValue(0);
    return bar;
}

QTableView* StudyWindow::makeResultsTable(QAbstractItemModel* model, const char* name) {
    auto* table = new QTableView(this);
    table->setObjectName(QLatin1String(name));
    table->setModel(model);
    ReportItemFocusOnlyWithTheView(table);
    table->verticalHeader()->hide();
    // Rows of one height, set once, keep a hundred thousand points cheap to scroll.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setWordWrap(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Wide enough for any number's 15 digits, sign and exponent.
    table->horizontalHeader()->setDefaultSectionSize(
        table->fontMetrics().horizontalAdvance(QStringLiteral("-0.000123456789012345")) + 12);
    return table;
}

void StudyWindow::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

// A window opened again goes beside the main window wherever that is now.
void StudyWindow::showBeside(const QWidget* main, std::initializer_list<const QWidget*> others) {
    if (isHidden()) PlaceBeside(this, main, others);
    refresh();
    ShowWithoutModality(this);
}

bool StudyWindow::readyToStart() {
    if (job_.running()) return false;
    job_.wait();
    return true;
}

void StudyWindow::startStudy(std::function<void(StudyControl&)> study, std::uint64_t total) {
    stale_.reset();
    studied_ = true;
    storedSinceStudy_ = false;
    studyAngle_ = session_.angleUnit();
    total_ = total;
    job_.start(std::move(study));
    showProgressOf(0);
    showRunning(true);
    timer_->start();
}

void StudyWindow::showProgressOf(std::uint64_t done) {
    if (!buttons_.progress) return;
    buttons_.progress->setValue(int(done * kProgressSteps / std::max<std::uint64_t>(total_, 1)));
}

void StudyWindow::progressTick() {
    if (!job_.finished()) {
        showProgress(job_.done());
        return;
    }
    timer_->stop();
    job_.wait();
    showRunning(false);
    studyFinished();
    // A change while the study ran applies to what it found.
    if (stale_.stale()) onWorksheetChanged();
}

void StudyWindow::showProgress(std::uint64_t done) {
    showProgressOf(done);
}

void StudyWindow::showRunning(bool running) {
    buttons_.run->setEnabled(!running);
    buttons_.cancel->setEnabled(running);
    if (buttons_.store) buttons_.store->setEnabled(canStore());
    const bool results = !running && hasResults();
    if (buttons_.saveChart) buttons_.saveChart->setEnabled(results);
    if (buttons_.exportCsv) buttons_.exportCsv->setEnabled(results);
    if (buttons_.copyCommand) buttons_.copyCommand->setEnabled(!running);
}

bool StudyWindow::canStore() const {
    // What the study found is its thread's until it has finished.
    return buttons_.store && !job_.running() && !stale_.stale() && hasResultToStore();
}

// What a study found answers the worksheet as it was; once that changes, a
// result may no longer be right for it.
void StudyWindow::onWorksheetChanged() {
    if (buttons_.store) buttons_.store->setEnabled(canStore());
    worksheetChanged();
}

// Store's own change of the tables does not make what it stored stale.
void StudyWindow::store() {
    if (!canStore()) return;
    stale_.setIgnoring(true);
    const std::optional<QString> fault = storeResult();
    stale_.setIgnoring(false);
    if (fault) interaction_.showError(this, *fault);
    storedSinceStudy_ = storedSinceStudy_ || !fault;
    resultStored();
    buttons_.store->setEnabled(canStore());
}

void StudyWindow::saveChart() {
    AskToSaveChart(*buttons_.chart, interaction_, this, buttons_.fileStem + QStringLiteral(".png"),
                   chartTitle());
}

std::optional<QString> StudyWindow::saveCsv(const QString&) const {
    return std::nullopt;
}

void StudyWindow::exportCsv() {
    FileDialogOptions options;
    options.title = QStringLiteral("Export as CSV");
    options.filter = QStringLiteral("CSV File (*.csv)");
    options.defaultSuffix = QStringLiteral("csv");
    options.initialName = buttons_.fileStem + QStringLiteral(".csv");
    const QString path = interaction_.chooseFileToSave(this, options);
    if (path.isEmpty()) return;
    if (const std::optional<QString> error = saveCsv(path)) interaction_.showError(this, *error);
}

std::optional<ReplayCommand> StudyWindow::replayCommand(QString& fault) const {
    fault = QStringLiteral("Run the study first: the command repeats the last run.");
    return std::nullopt;
}

// A command reproduces the study only from the files as the study read them.
std::optional<QString> StudyWindow::commandLine(QString& fault) const {
    if (job_.running()) {
        fault = QStringLiteral("The study is still running: copy its command once it has ended.");
        return std::nullopt;
    }
    std::optional<ReplayCommand> command = studied_ ? replayCommand(fault) : std::nullopt;
    if (!command) {
        if (!studied_) StudyWindow::replayCommand(fault);
        return std::nullopt;
    }
    command->addAngle(studyAngle_);
    if (stale_.stale()) {
        fault = QStringLiteral(
                    "The worksheet changed after the study ran (%1): run it again, "
                    "save the worksheet and copy the command then.")
                    .arg(stale_.changes());
        return std::nullopt;
    }
    // What Store wrote is not what the study read, saved or not.
    if (storedSinceStudy_) {
        fault = QStringLiteral(
            "The study's result has been stored into the tables since it ran: run it again on "
            "the saved worksheet and copy the command then.");
        return std::nullopt;
    }
    const std::optional<SavedFiles> files = SavedWorksheetFiles(session_.documents(), fault);
    if (!files) return std::nullopt;
    return ReplayLine(*command, *files);
}

void StudyWindow::copyCommand() {
    QString fault;
    if (const std::optional<QString> line = commandLine(fault)) {
        interaction_.copyToClipboard(*line);
    } else {
        interaction_.showInformation(this, fault);
    }
}

void StudyWindow::closeEvent(QCloseEvent* event) {
    job_.cancel();
    QWidget::closeEvent(event);
}

}  // namespace quantaro
