#include "session/Session.h"

#include <QDir>

#include "documents/SettingsFile.h"
#include "interaction/HintTarget.h"
#include "interaction/UserSettings.h"
#include "session/ContinuousLoop.h"
#include "session/FormulaRuns.h"
#include "session/FormulaText.h"

namespace quantaro {
namespace {

constexpr char kHelpFileName[] = "Quantaro.hlp";
// Kept for the user between runs; the settings file holds only its three options.
constexpr char kHighlightChoice[] = "Options/highlightEquations";

std::size_t TableSlot(Document table) {
    return table == Document::Constants ? 0 : 1;
}

}  // namespace

Session::Session(const QString& startDirectory, const QString& guideDirectory, QObject* parent)
    : QObject(parent),
      settingsPath_(SettingsFilePath(startDirectory)),
      help_(QDir(startDirectory).filePath(QLatin1String(kHelpFileName)), guideDirectory),
      runs_(std::make_unique<FormulaRuns>(*this, sheet_)) {
    loop_ = std::make_unique<ContinuousLoop>(*this, *runs_);
    toldNames_ = {sheet_.constants.namesStamp(), sheet_.variables.namesStamp()};
    // The editor keeps its own history of whole texts.
    formula_.setUndoRedoEnabled(false);
    // Only a change of characters signals contentsChange; colouring the text
    // ends an edit block too, which signals contentsChanged.
    connect(&formula_, &QTextDocument::contentsChange, this, &Session::formulaEdited);
    readSettings();
    options_.highlightEquations = UserChoice(QLatin1String(kHighlightChoice), true);
}

Session::~Session() = default;

const NameTable& Session::table(Document table) const {
    return table == Document::Constants ? sheet_.constants : sheet_.variables;
}

NameTable& Session::writableTable(Document table) {
    return table == Document::Constants ? sheet_.constants : sheet_.variables;
}

void Session::tableWritten(Document table) {
    const std::uint64_t names = this->table(table).namesStamp();
    if (std::uint64_t& told = toldNames_[TableSlot(table)]; told != names) {
        told = names;
        emit namesChanged(table);
    }
    emit valuesChanged(table);
}

void Session::setCell(Document table, int column, int row, const std::string& text) {
    writableTable(table).setCell(column, row, text);
    tableWritten(table);
    documents_.setChanged(table);
}

void Session::acceptRows(Document table, const NameTable& rows, int usedRows) {
    documents_.setChanged(table);
    writableTable(table).copyDataRowsFrom(rows);
    emit rowsReplaced(table);
    tableWritten(table);
    documents_.setUsedRows(table, usedRows);
}

void Session::emptyTable(Document table) {
    documents_.setUsedRows(table, 0);
    writableTable(table).clearDataRows();
    emit rowsReplaced(table);
    tableWritten(table);
    emit tableOpened(table);
}

void Session::openTable(Document table, const NameTable& rows) {
    writableTable(table).copyDataRowsFrom(rows);
    emit rowsReplaced(table);
    tableWritten(table);
    emit tableOpened(table);
}

Worksheet Session::worksheetCopy() const {
    Worksheet copy = sheet_;
    copy.setFormula(formulaText().toStdString());
    return copy;
}

QString Session::formulaText() const {
    return WithCrLf(EditorText(&formula_));
}

void Session::setFormulaText(const QString& text) {
    SetDocumentText(&formula_, WithoutCrLf(text));
    emit formulaReplaced();
}

void Session::formulaEditing() {
    documents_.setChanged(Document::Formula);
}

void Session::formulaEdited() {
    ++formulaRevision_;
    emit formulaChanged();
}

void Session::setAngleUnit(AngleUnit unit) {
    documents_.setChanged(Document::Formula);
    if (unit == sheet_.angle) return;
    sheet_.angle = unit;
    emit angleUnitChanged(unit);
}

void Session::selectAngleUnit(AngleUnit unit) {
    if (unit != sheet_.angle) setAngleUnit(unit);
    emit angleUnitSelected(unit);
}

void Session::setOption(bool SessionOptions::*option, bool on) {
    if (options_.*option == on) return;
    options_.*option = on;
    if (option == &SessionOptions::highlightEquations) {
        SetUserChoice(QLatin1String(kHighlightChoice), on);
    }
    emit optionsChanged();
}

void Session::readSettings() {
    const SettingsLoad load = LoadSettingsFile(settingsPath_);
    if (load.status == LoadStatus::Failed) settingsProblem_ = load.errorText;
    options_.promptOnEveryLoop = load.settings.promptOnEveryLoop;
    options_.showVariablesAfterExecuting = load.settings.showVariableTableAfterExecuting;
    options_.showHints = load.settings.showHints;
}

std::optional<QString> Session::writeSettings() const {
    Settings settings;
    settings.promptOnEveryLoop = options_.promptOnEveryLoop;
    settings.showVariableTableAfterExecuting = options_.showVariablesAfterExecuting;
    settings.showHints = options_.showHints;
    return SaveSettingsFile(settingsPath_, settings);
}

void Session::optionsMenuOpened() {
    if (promptAnswer_ != 2) return;
    promptAnswer_ = 1;
    setOption(&SessionOptions::promptOnEveryLoop, false);
}

void Session::showHintsNow() {
    hintsShown_ = options_.showHints;
    for (const HintWindow& window : hintWindows_) {
        if (window.alive()) window.target->setHintsShown(hintsShown_);
    }
}

void Session::addHintTarget(HintTarget* target) {
    auto* object = dynamic_cast<QObject*>(target);
    hintWindows_.push_back({target, object, object != nullptr});
    // Until hints are first applied, a window keeps the hints it was made with.
    if (hintsShown_) target->setHintsShown(true);
}

const Trajectory& Session::trajectory() const {
    return loop_->trajectory();
}

}  // namespace quantaro
