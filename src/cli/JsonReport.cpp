#include "cli/JsonReport.h"

#include <QCryptographicHash>
#include <QJsonDocument>

#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "documents/WorksheetFiles.h"

namespace quantaro {
namespace {

// The document's own version: a change that a reader of the old shape
// would misread raises it.
constexpr int kFormatVersion = 1;

constexpr std::string_view kProgramPrefix = "quantaro-cli: ";

QJsonArray TextArray(const std::vector<std::string>& texts) {
    QJsonArray array;
    for (const std::string& text : texts) array.append(JsonText(text));
    return array;
}

QJsonObject TableRow(const NameTable& table, int row) {
    return {{"name", JsonText(table.name(row))},
            {"value", JsonText(table.value(row))},
            {"units", JsonText(table.cell(UnitsColumn, row))}};
}

template <class T>
QJsonValue OrNull(const std::optional<T>& value) {
    if (!value) return QJsonValue::Null;
    if constexpr (std::is_same_v<T, std::string>) {
        return JsonText(*value);
    } else {
        return QJsonValue(*value);
    }
}

std::string_view WithoutProgramName(std::string_view line) {
    if (line.starts_with(kProgramPrefix)) line.remove_prefix(kProgramPrefix.size());
    return line;
}

// The lines written to standard error, without the program's name before them.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(WithoutProgramName(text.substr(0, end)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The failure's message when the mode named none: the last line on
// standard error that is not a warning.
std::optional<std::string> LastMessage(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!line->empty() && !line->starts_with("warning: ")) return *line;
    }
    return std::nullopt;
}

}  // namespace

QJsonValue JsonText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

JsonReport::Table::Table(std::string name, std::vector<std::string> columns)
    : name_(std::move(name)), columns_(std::move(columns)), values_(columns_.size()) {}

void JsonReport::Table::addRow(const std::vector<std::string>& fields) {
    for (std::size_t k = 0; k < columns_.size(); ++k)
        values_[k].append(k < fields.size() ? JsonText(fields[k]) : QString());
}

QJsonObject JsonReport::Table::json() const {
    QJsonArray columns;
    for (std::size_t k = 0; k < columns_.size(); ++k)
        columns.append(QJsonObject{{"name", JsonText(columns_[k])}, {"values", values_[k]}});
    return {{"name", JsonText(name_)}, {"columns", columns}};
}

JsonReport::JsonReport(QStringList arguments) : arguments_(std::move(arguments)) {}

void JsonReport::setMode(std::string_view mode) {
    mode_ = std::string(mode);
}

void JsonReport::setOptions(const QMap<QString, QStringList>& options) {
    for (auto option = options.begin(); option != options.end(); ++option) {
        QJsonArray values;
        for (const QString& value : option.value()) values.append(ShownFileName(value));
        options_.insert(option.key(), values);
    }
}

void JsonReport::addInputFile(std::string_view role, const QString& path) {
    const FileReadResult read = ReadDocumentFile(path);
    if (read.status == LoadStatus::Loaded) {
        addInputFile(role, path, read.bytes);
        return;
    }
    files_.append(QJsonObject{
        {"role", JsonText(role)}, {"name", ShownFileName(path)}, {"sha256", QJsonValue::Null}});
}

void JsonReport::addInputFile(std::string_view role, const QString& path, std::string_view bytes) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    files_.append(QJsonObject{{"role", JsonText(role)},
                              {"name", ShownFileName(path)},
                              {"sha256", QString::fromLatin1(digest.toHex())}});
}

void JsonReport::setRunFailure(const RunOutcome& outcome) {
    if (outcome.succeeded()) return;
    message_ = outcome.message;
    equation_ = outcome.equationNumber;
    if (!outcome.errorItem.empty()) item_ = outcome.errorItem;
}

void JsonReport::setMessage(std::string_view message) {
    message_ = std::string(WithoutProgramName(message));
}

void JsonReport::setVariables(const NameTable& variables) {
    variables_.emplace();
    for (int row = 1; row <= variables.rowCount(); ++row) {
        if (!variables.name(row).empty()) variables_->append(TableRow(variables, row));
    }
}

void JsonReport::addConstant(const NameTable& constants, int row) {
    constants_.append(TableRow(constants, row));
}

void JsonReport::setExplanation(const std::vector<std::string>& lines) {
    explanation_ = TextArray(lines);
}

JsonReport::Table& JsonReport::addTable(std::string name, std::vector<std::string> columns) {
    return tables_.emplace_back(std::move(name), std::move(columns));
}

void JsonReport::addTable(std::string name, const ResultTable& table) {
    Table& added = addTable(std::move(name), table.columns());
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto fields = table.row(row);
        added.addRow({fields.begin(), fields.end()});
    }
}

void JsonReport::setSummary(const char* key, const QJsonValue& value) {
    summary_.insert(QLatin1String(key), value);
}

QByteArray JsonReport::document(int exitCode, std::string_view standardError) const {
    const std::vector<std::string> errorLines = Lines(standardError);
    const std::optional<std::string> message = message_        ? message_
                                               : exitCode != 0 ? LastMessage(errorLines)
                                                               : std::nullopt;
    QJsonArray arguments;
    for (const QString& argument : arguments_) arguments.append(ShownFileName(argument));
    const QJsonObject inputs{{"program", "quantaro-cli"},
                             {"version", QUANTARO_VERSION},
                             {"arguments", arguments},
                             {"options", options_},
                             {"files", files_}};
    const QJsonObject outcome{
        {"exitCode", exitCode},       {"succeeded", exitCode == 0},
        {"message", OrNull(message)}, {"equation", OrNull(equation_)},
        {"item", OrNull(item_)},      {"standardError", TextArray(errorLines)}};
    QJsonObject results;
    if (variables_) results.insert("variables", *variables_);
    if (!constants_.isEmpty()) results.insert("constants", constants_);
    if (explanation_) results.insert("explanation", *explanation_);
    QJsonArray tables;
    for (const Table& table : tables_) tables.append(table.json());
    results.insert("tables", tables);
    const QJsonObject document{{"format", "quantaro-cli report"},
                               {"formatVersion", kFormatVersion},
                               {"mode", OrNull(mode_)},
                               {"inputs", inputs},
                               {"outcome", outcome},
                               {"results", results},
                               {"summary", summary_}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

}  // namespace quantaro
