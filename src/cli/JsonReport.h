#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/NameTable.h"
#include "engine/RunOutcome.h"
#include "studies/ResultTable.h"

namespace quantaro {

// The one JSON document that --json writes for a run of quantaro-cli, in
// the shape doc/quantaro-cli.schema.json describes: what the run read, how
// it ended and what it found. Each mode fills in its own results; values
// stay the engine's texts, so nothing is reformatted on the way.
class JsonReport {
  public:
    // A table whose rows arrive in blocks, as a sweep's points do; kept by
    // column as the document writes it, each value once.
    class Table {
      public:
        Table(std::string name, std::vector<std::string> columns);
        void addRow(const std::vector<std::string>& fields);
        QJsonObject json() const;

      private:
        std::string name_;
        std::vector<std::string> columns_;
        std::vector<QJsonArray> values_;  // by column
    };

    explicit JsonReport(QStringList arguments);

    // --help and --version answer in text, and no document is written.
    void skip() { skipped_ = true; }
    bool skipped() const { return skipped_; }

    // "run", "explain" or the study's option name.
    void setMode(std::string_view mode);
    // Each option given with its values; a switch has none.
    void setOptions(const QMap<QString, QStringList>& options);
    // A file read, by the role it plays ("formula", "data", ...), with the
    // SHA-256 of its bytes; a file that could not be read has none.
    void addInputFile(std::string_view role, const QString& path);
    void addInputFile(std::string_view role, const QString& path, std::string_view bytes);

    // The failure of a run of the formula: its message, equation and item.
    void setRunFailure(const RunOutcome& outcome);
    // The message of a failure that is not a run's.
    void setMessage(std::string_view message);

    void setVariables(const NameTable& variables);
    // A constant a study changed, as the text output shows it before the variables.
    void addConstant(const NameTable& constants, int row);
    void setExplanation(const std::vector<std::string>& lines);
    Table& addTable(std::string name, std::vector<std::string> columns);
    void addTable(std::string name, const ResultTable& table);
    void setSummary(const char* key, const QJsonValue& value);

    // The document for a run that ended with exitCode, having written
    // standardError (whose last line that is not a warning is the message
    // of a failure that set none).
    QByteArray document(int exitCode, std::string_view standardError) const;

  private:
    QStringList arguments_;
    bool skipped_ = false;
    std::optional<std::string> mode_;
    QJsonObject options_;
    QJsonArray files_;
    std::optional<std::string> message_;
    std::optional<int> equation_;
    std::optional<std::string> item_;
    std::optional<QJsonArray> variables_;
    QJsonArray constants_;
    std::optional<QJsonArray> explanation_;
    std::deque<Table> tables_;  // a table handed out stays where it is
    QJsonObject summary_;
};

// A text of the engine's, or a name, as JSON: a string, whatever its bytes.
QJsonValue JsonText(std::string_view text);

}  // namespace quantaro
