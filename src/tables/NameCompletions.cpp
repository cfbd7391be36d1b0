#include "tables/NameCompletions.h"

#include <string_view>
#include <utility>

#include "tables/NameTableModel.h"

namespace quantaro {
namespace {

QString OperandsText(int count) {
    return count == 1 ? QStringLiteral("Operator, 1 operand")
                      : QStringLiteral("Operator, %1 operands").arg(count);
}

bool BeginsWith(std::string_view name, std::string_view prefix) {
    return !name.empty() && name.size() >= prefix.size() &&
           NamesEqual(name.substr(0, prefix.size()), prefix);
}

// The rows whose names begin with prefix.
std::vector<int> MatchingRows(std::string_view prefix, const NameTable& table) {
    std::vector<int> rows;
    for (int row = 1; row <= table.rowCount(); ++row) {
        if (BeginsWith(table.name(row), prefix)) rows.push_back(row);
    }
    return rows;
}

}  // namespace

std::vector<NameCompletion> CompletionsFor(const QString& prefix, const NameTable& constants,
                                           const NameTable& variables,
                                           const OperatorRegistry& operators) {
    const std::string folded = prefix.toStdString();
    std::vector<NameCompletion> completions;
    for (const auto& [table, kind] : {std::pair{&constants, QStringLiteral("Constant")},
                                      std::pair{&variables, QStringLiteral("Variable")}}) {
        for (const int row : MatchingRows(folded, *table)) {
            completions.push_back({QString::fromStdString(table->name(row)),
                                   ShownCellText(table->value(row)),
                                   ShownCellText(table->cell(UnitsColumn, row)), kind});
        }
    }
    for (const OperatorDefinition& op : operators.all()) {
        if (!BeginsWith(op.name, folded)) continue;
        completions.push_back({QString::fromUtf8(op.name.data(), qsizetype(op.name.size())),
                               {},
                               {},
                               OperandsText(op.operandCount)});
    }
    return completions;
}

}  // namespace quantaro
