#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/BatchRunner.h"
#include "documents/TextEncoding.h"
#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

namespace quantaro {

class JsonReport;

// One option of quantaro-cli, as --help lists it, the manual page describes
// it and the shell completes it.
struct CommandOption {
    const char* name;
    const char* valueName;  // nullptr for a switch
    const char* description;
    const char* shortName = nullptr;
    int mostTimes = 1;  // for an option with a value
    // What a plain run keeps or repeats, which an explanation of one run refuses.
    bool runOnly = false;
};

// What a study takes from the plain options once the worksheet is loaded,
// and where it writes.
struct StudyContext {
    Worksheet& sheet;
    StudyRun run;  // --equation and --passes
    const std::optional<QString>& csvFile;
    const std::optional<QStringList>& recordNames;
    const QString& saveVariablesFile;  // empty when not asked for
    FileEncoding variablesEncoding;
    std::ostream& out;
    std::ostream& err;
    PendingStop pendingStop;
    // With --json, where the study puts its results besides the text; else null.
    JsonReport* report;
};

// A study read from its options: runs it and writes its results, returning
// the exit code.
using StudyJob = std::function<int(const StudyContext&)>;

// A rule of a study on the other options, checked in the row's order when
// the study is asked for.
struct StudyRule {
    enum Kind { Needs, Refuses } kind;
    const char* option;
    const char* needsText = nullptr;  // how "--STUDY needs ..." goes on
};

// A study of the batch runner: one row holds all it adds to the command line.
struct StudyRow {
    // Its own options; the first asks for the study, each other needs it
    // (or, for one that several studies list, one of them).
    std::vector<CommandOption> options;
    // The usage lines after "quantaro-cli [options] ", before the formula;
    // none when another study's lines show this one's too.
    std::vector<const char*> synopsis;
    std::vector<StudyRule> rules;
    // "--csv -" writes the study's results to standard output.
    bool csvToStandardOutput = false;
    // Options of another study's row that this study takes too.
    std::vector<const char*> borrowed = {};
    // False for a study of files that reads no worksheet: the arguments
    // after the options are its files, and no formula is given.
    bool readsWorksheet = true;
    // Reads the study's options, which fit together by then; nothing, with
    // the reason, when a value is bad.
    std::function<std::optional<StudyJob>(const QCommandLineParser&, std::string& fault)> read;

    const char* name() const { return options.front().name; }
};

// The options of a plain run, in the order --help lists them.
std::span<const CommandOption> PlainOptions();

// The studies, in the order --help lists their options. A new study adds
// its row here, a heading for each of its options to the manual page
// (doc/man/quantaro-cli.1.scd) and those that take a value to the bash
// completion's list of values (data/bash-completion/quantaro-cli); a test
// holds both to this table.
std::span<const StudyRow> Studies();

// The usage text that --help and every usage error show.
const std::string& UsageText();

}  // namespace quantaro
